#include "core/local_zone.h"

#include <algorithm>
#include <cstdint>
#include <ctime>

#include "core/calendar.h"

namespace {

// Every conversion used to ask localtime at least twice; the runtime's answer
// only changes at a zone's few offset changes a year. So the range is cut
// into spans of about 388 days, and the first question about a span learns
// its offset at the start and every change within it, probing a day apart
// and bisecting to the second where two probes differ. This assumes, as the
// conversion itself does, that the offset changes at most once between two
// probes a day apart; a span that seems to change more often than any real
// zone does is not remembered and every question about it goes to the runtime.
constexpr int kSpanBits = 25;
constexpr Instant kSpanLength = Instant{1} << kSpanBits;
// One slot for every span of the range (about 970, 62 KB): a slot shared by
// two spans made a search walking past 2106 learn a span again at each step.
constexpr long long kSlots = (kLatestInstant >> kSpanBits) + 1;
constexpr int kMaxChanges = 6;

struct Span {
    long long index = -1;  // the span held; -1 none
    int changes = -1;      // -1: ask the runtime for every instant
    std::int32_t startOffset = 0;
    std::uint32_t changeAt[kMaxChanges] = {};  // seconds after the span's start
    std::int32_t offsetFrom[kMaxChanges] = {};
};

Span theSpans[kSlots];
std::size_t theLearnedSpans = 0;
std::uint64_t theGeneration = 0;

// Learns span `index`; leaves `changes` at -1 when the runtime fails or the
// offsets change too often.
void Learn(long long index, Span& span) {
    ++theLearnedSpans;
    span = Span{};
    span.index = index;
    const Instant begin = index << kSpanBits;
    const Instant last = std::min(begin + kSpanLength - 1, kLatestInstant);
    long long before = 0;
    if (!RuntimeUtcOffset(begin, before)) return;
    span.startOffset = static_cast<std::int32_t>(before);
    int changes = 0;
    for (Instant a = begin; a < last;) {
        const Instant b = std::min(a + kSecondsPerDay, last);
        long long after = 0;
        if (!RuntimeUtcOffset(b, after)) return;
        if (after != before) {
            if (changes == kMaxChanges) return;
            Instant lo = a;
            Instant hi = b;
            while (hi - lo > 1) {
                const Instant mid = lo + (hi - lo) / 2;
                long long probe = 0;
                if (!RuntimeUtcOffset(mid, probe)) return;
                if (probe == before) {
                    lo = mid;
                } else {
                    hi = mid;
                }
            }
            span.changeAt[changes] = static_cast<std::uint32_t>(hi - begin);
            span.offsetFrom[changes] = static_cast<std::int32_t>(after);
            ++changes;
        }
        before = after;
        a = b;
    }
    span.changes = changes;
}

}  // namespace

bool RuntimeLocalFields(Instant t, LocalFields& out) {
    if (t < kEarliestInstant || t > kLatestInstant) return false;
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &tt) != 0) return false;
#else
    if (localtime_r(&tt, &tm) == nullptr) return false;
#endif
    out.year = tm.tm_year + 1900;
    out.month = tm.tm_mon + 1;
    out.day = tm.tm_mday;
    out.hour = tm.tm_hour;
    out.minute = tm.tm_min;
    out.second = tm.tm_sec;
    out.weekdayIndex = tm.tm_wday;
    return true;
}

bool RuntimeUtcOffset(Instant t, long long& offset) {
    LocalFields f;
    if (!RuntimeLocalFields(t, f)) return false;
    const long long local = DaysFromCivil(f.year, f.month, f.day) * kSecondsPerDay + f.hour * 3600LL +
                            f.minute * 60LL + f.second;
    offset = local - t;
    return true;
}

bool UtcOffset(Instant t, long long& offset) {
    if (t < kEarliestInstant || t > kLatestInstant) return false;
    const long long index = t >> kSpanBits;
    Span& span = theSpans[index];
    if (span.index != index) Learn(index, span);
    if (span.changes < 0) return RuntimeUtcOffset(t, offset);
    const auto within = static_cast<std::uint32_t>(t - (index << kSpanBits));
    std::int32_t result = span.startOffset;
    for (int i = 0; i < span.changes && span.changeAt[i] <= within; ++i) result = span.offsetFrom[i];
    offset = result;
    return true;
}

void ResetLocalTimeCache() {
    for (Span& span : theSpans) span = Span{};
    theLearnedSpans = 0;
    ++theGeneration;
}

std::uint64_t LocalTimeGeneration() { return theGeneration; }

std::size_t LearnedSpanCount() { return theLearnedSpans; }
