#include "support/occurrence_queries.h"

#include <algorithm>
#include <climits>
#include <random>

#include "core/calendar.h"
#include "support/local_midnight.h"

std::vector<OccurrenceQuery> MakeOccurrenceQueries(int count, unsigned seed, Reach reach) {
    std::mt19937 rng(seed);
    auto pick = [&](Instant lo, Instant hi) { return std::uniform_int_distribution<Instant>(lo, hi)(rng); };
    // The last day whose end a stored 32-bit date can hold in every zone.
    const Instant lastEnd = EndOfDay(MakeLocalTime(2038, 1, 17, 0, 0, 0));
    // libical, the reference, iterates no further than 2582.
    const Instant farEnd = EndOfDay(MakeLocalTime(2582, 12, 31, 0, 0, 0));
    std::vector<OccurrenceQuery> queries;
    queries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        OccurrenceQuery q;
        ScheduleFront& f = q.item.front;
        const int low = static_cast<int>(pick(1, 31));
        const int nth = static_cast<int>(pick(0, 4) << 4 | pick(0, 6));
        const int month = static_cast<int>(pick(1, 12));
        switch (i % 7) {  // every kind equally often, each anywhere in its range
            case 0:
                f.recurKind = static_cast<std::uint8_t>(pick(0, 29));
                break;
            case 1:
                f.recurKind = static_cast<std::uint8_t>(pick(30, 59));
                break;
            case 2:
                f.recurKind = static_cast<std::uint8_t>(pick(60, 89));
                f.recurPattern = static_cast<std::uint16_t>(pick(1, 127) | pick(0, 1) << 7);
                break;
            case 3:
                f.recurKind = static_cast<std::uint8_t>(pick(90, 118));
                if (f.recurKind == kKindMonthlyNth) f.recurKind = 119;
                f.recurPattern = static_cast<std::uint16_t>(low);
                break;
            case 4:
                f.recurKind = kKindMonthlyNth;
                f.recurPattern = static_cast<std::uint16_t>(nth);
                break;
            case 5:
                f.recurKind = static_cast<std::uint8_t>(pick(120, 254));
                if (f.recurKind == kKindYearlyNth) f.recurKind = 255;
                f.recurPattern = static_cast<std::uint16_t>(month << 8 | low);
                break;
            default:
                f.recurKind = kKindYearlyNth;
                f.recurPattern = static_cast<std::uint16_t>(month << 8 | nth);
                break;
        }
        const long long r = pick(0, 9);
        const Instant largest = reach == Reach::Everything ? 255 : 200;
        f.recurInterval = static_cast<std::uint8_t>(r < 5 ? 1 : r < 8 ? pick(2, 12) : pick(0, largest));
        Instant startDay = 0;  // local midnight; 1970-01-01 has none in zones east of UTC
        for (bool ok = false; !ok;) {
            const int year = static_cast<int>(pick(1970, 2037));
            const int month = static_cast<int>(pick(1, 12));
            ok = TryMakeLocalTime(year, month, static_cast<int>(pick(1, DaysInMonth(year, month))), 0, 0, 0, startDay);
        }
        f.startDate = static_cast<std::int32_t>(startDay);
        f.startTime = static_cast<std::int32_t>(pick(0, 2) == 0 ? pick(0, 86399) : pick(0, 95) * 900);
        f.endTime = std::min(f.startTime + 3600, 86399);
        f.recurFlags = static_cast<std::uint8_t>(pick(0, 1));
        const bool endless = IsEndless(f);
        const long long spanDays = IsRecurring(f.recurKind) ? pick(0, 3000) : pick(0, 3);
        const Instant endDate = std::min(EndOfDay(startDay + spanDays * kSecondsPerDay), lastEnd);
        f.endDate = static_cast<std::int32_t>(std::max(endDate, EndOfDay(startDay)));

        // `from` anywhere from a month before the start to a month after the
        // end, or up to ten years on for an event without end (or to 2582).
        const bool farAhead = endless && reach == Reach::Everything && pick(0, 1) == 1;
        const Instant last = farAhead ? farEnd - 400 * kSecondsPerDay
                             : endless ? std::min(startDay + 3650 * kSecondsPerDay, lastEnd)
                                       : f.endDate;
        const Instant at = std::clamp(pick(startDay - 30 * kSecondsPerDay, last + 30 * kSecondsPerDay),
                                      kEarliestInstant + 2 * kSecondsPerDay, farAhead ? last : lastEnd);
        const Instant endOrNever = farAhead ? farEnd : endless ? Instant{INT_MAX} : Instant{f.endDate};
        q.from = at;
        switch (pick(0, 3)) {
            case 0:  // the rest of a day; a day's window needs no clipping, its day is before the end or after it
                q.to = EndOfDay(at);
                break;
            case 1:  // a whole day
                q.from = LocalMidnight(at);
                q.to = EndOfDay(at);
                break;
            case 2:  // the next occurrence
                q.to = endOrNever;
                break;
            default:
                q.to = std::min(at + pick(0, 400 * kSecondsPerDay), endOrNever);
                break;
        }
        queries.push_back(std::move(q));
    }
    return queries;
}
