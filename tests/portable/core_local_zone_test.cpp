#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/calendar.h"
#include "core/local_zone.h"
#include "portable/core_zone.h"

namespace {

// Wall-clock readings around the changes of the test zones: at midnight
// (Santiago), at 02:00 (Berlin, New York, Lord Howe's half hour) and 03:00.
constexpr int kReadings[][3] = {{12, 0, 0}, {0, 0, 0},  {0, 30, 0}, {1, 30, 0},  {2, 0, 0},
                                {2, 15, 0}, {2, 30, 0}, {3, 0, 0},  {23, 30, 0}, {23, 59, 59}};

const long long kFirstDay = DaysFromCivil(1970, 1, 1);
const long long kLastDay = DaysFromCivil(3000, 12, 31);

long long RuntimeOffsetOfDay(long long days) {
    long long offset = 0;
    return RuntimeUtcOffset(std::clamp<Instant>(days * kSecondsPerDay, kEarliestInstant, kLatestInstant), offset) ? offset : -1;
}

// The remembered answers against the runtime's for one day: the offset at
// the day's UTC start and the instant of noon's reading; near a change
// (within two days) also every reading, the fields of an instant, the offset
// at the day's end and the second of the change found by bisection on each
// side; the fields also on the first of every month. `startOffset` is the
// runtime's offset at the day's start.
void CheckDay(long long days, long long startOffset, bool nearChange) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    const Instant dayStart = std::max<Instant>(days * kSecondsPerDay, kEarliestInstant);
    long long cachedStart = 0;
    ASSERT_TRUE(UtcOffset(dayStart, cachedStart));
    ASSERT_EQ(cachedStart, startOffset) << y << "-" << m << "-" << d;
    for (const auto& r : kReadings) {
        Instant cached = -1, uncached = -1;
        const bool ok = TryMakeLocalTime(y, m, d, r[0], r[1], r[2], cached);
        ASSERT_EQ(ok, TryMakeLocalTimeUncached(y, m, d, r[0], r[1], r[2], uncached)) << y << "-" << m << "-" << d;
        ASSERT_EQ(cached, uncached) << y << "-" << m << "-" << d << " " << r[0] << ":" << r[1];
        if (!nearChange) break;
    }
    if (!nearChange && d != 1) return;
    LocalFields cachedFields, runtimeFields;
    const Instant t = dayStart + 43210;
    ASSERT_EQ(BreakDownLocal(t, cachedFields), BreakDownLocalUncached(t, runtimeFields));
    ASSERT_EQ(cachedFields.year * 10000 + cachedFields.month * 100 + cachedFields.day,
              runtimeFields.year * 10000 + runtimeFields.month * 100 + runtimeFields.day);
    ASSERT_EQ(cachedFields.hour * 3600 + cachedFields.minute * 60 + cachedFields.second,
              runtimeFields.hour * 3600 + runtimeFields.minute * 60 + runtimeFields.second);
    ASSERT_EQ(cachedFields.weekdayIndex, runtimeFields.weekdayIndex);
    const Instant dayEnd = std::min<Instant>(dayStart + kSecondsPerDay - 1, kLatestInstant);
    long long runtimeEnd = 0, cachedEnd = 0;
    ASSERT_EQ(RuntimeUtcOffset(dayEnd, runtimeEnd), UtcOffset(dayEnd, cachedEnd));
    ASSERT_EQ(cachedEnd, runtimeEnd) << y << "-" << m << "-" << d;
    if (startOffset != runtimeEnd) {
        auto changeAt = [&](bool (*offsetAt)(Instant, long long&)) {
            Instant lo = dayStart, hi = dayEnd;
            while (hi - lo > 1) {
                const Instant mid = lo + (hi - lo) / 2;
                long long o = 0;
                EXPECT_TRUE(offsetAt(mid, o));
                (o == startOffset ? lo : hi) = mid;
            }
            return hi;
        };
        ASSERT_EQ(changeAt(UtcOffset), changeAt(RuntimeUtcOffset)) << y << "-" << m << "-" << d;
    }
}

TEST(LocalTimeCacheTest, AgreesWithTheRuntimeOnEveryDay) {
    ResetLocalTimeCache();
    long long offsets[5] = {};  // the runtime's at the start of the UTC days from two before to two after
    for (int i = 0; i < 5; ++i) offsets[i] = RuntimeOffsetOfDay(kFirstDay - 2 + i);
    for (long long days = kFirstDay; days <= kLastDay; ++days) {
        CheckDay(days, offsets[2], offsets[0] != offsets[4]);
        if (HasFatalFailure()) return;
        std::copy(offsets + 1, offsets + 5, offsets);
        offsets[4] = RuntimeOffsetOfDay(days + 3);
    }
    // What is remembered must not depend on the order of the questions.
    ResetLocalTimeCache();
    std::mt19937 rng(1031);
    std::uniform_int_distribution<long long> anyDay(kFirstDay, kLastDay);
    for (int i = 0; i < 2000; ++i) {
        const long long days = anyDay(rng);
        CheckDay(days, RuntimeOffsetOfDay(days), true);
        if (HasFatalFailure()) return;
    }
}

// A search walking the whole range and back, as a yearly rule every 200
// years does, learns each span once: the runtime is asked about a span
// only the first time.
TEST(LocalTimeCacheTest, EachSpanIsLearnedOnce) {
    ResetLocalTimeCache();
    const Instant step = 30 * kSecondsPerDay;
    long long offset = 0;
    std::size_t learned = 0;
    for (int round = 0; round < 3; ++round) {
        for (Instant t = kEarliestInstant; t <= kLatestInstant; t += step) ASSERT_TRUE(UtcOffset(t, offset));
        ASSERT_TRUE(UtcOffset(UtcInstant(2026, 7, 1), offset));
        if (round == 0) learned = LearnedSpanCount();
    }
    EXPECT_GT(learned, 0u);
    EXPECT_EQ(LearnedSpanCount(), learned);
}

// A changed zone is seen once the cache is reset, as the main frame does on
// a time change.
TEST(LocalTimeCacheTest, ResetFollowsAZoneChange) {
    LocalFields f;
    const Instant noon = UtcInstant(2026, 7, 1, 12);
    ASSERT_TRUE(BreakDownLocal(noon, f));
    ScopedZone zone("IST-5:30");
    ASSERT_TRUE(BreakDownLocal(noon, f));
    EXPECT_EQ(f.hour * 60 + f.minute, 17 * 60 + 30);
}

}  // namespace
