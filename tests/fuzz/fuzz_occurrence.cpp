// The occurrence engine on any stored "front" (every byte as it comes) and
// any window, in every test zone. What it finds lies in the window and is
// the earliest there; for a record the editor could have written and a window
// a scan can cover, it is what the day-by-day reference finds.
#include <optional>

#include "core/occurrence.h"
#include "fuzz_support.h"
#include "support/occurrence_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    SelectZone(in.Byte());
    const std::uint8_t mode = in.Byte();
    const std::string front = in.Bytes(ScheduleFront::kSize);
    ScheduleItem item;
    item.front = ScheduleFront::Decode(reinterpret_cast<const std::uint8_t*>(front.data()), front.size());
    const ScheduleFront& f = item.front;

    Instant from = 0;
    Instant to = 0;
    if (mode & 1) {
        from = in.I64();  // any window at all
        to = in.I64();
    } else {
        // A window near the event, as the callers ask: up to a year and a half long.
        from = f.startDate + static_cast<Instant>(in.I32());
        to = from + in.U32() % (550 * kSecondsPerDay);
    }

    Instant start = 0;
    const bool found = FindOccurrence(item, from, to, &start);
    if (found) {
        ORV_FUZZ_CHECK(start >= from && start <= to);
        // Nothing earlier in the window; the same start alone (an end date
        // before it refuses any window that begins after that date).
        if (start > from) ORV_FUZZ_CHECK(!FindOccurrence(item, from, start - 1, nullptr));
        Instant again = 0;
        if (IsEndless(f) || f.endDate >= start)
            ORV_FUZZ_CHECK(FindOccurrence(item, start, start, &again) && again == start);
    }

    // The rules start from the first occurrence: where the runtime cannot
    // build it (before 1970 in a zone east of UTC) there is nothing to compare.
    LocalFields sf;
    Instant first = 0;
    const bool plausible = f.startTime >= 0 && f.startTime < kSecondsPerDay && BreakDownLocal(f.startDate, sf) &&
                           TryOccurrenceStart(sf.year, sf.month, sf.day, f.startTime, first) &&
                           from >= kEarliestInstant && to <= kLatestInstant && from <= to &&
                           to - from <= 600 * kSecondsPerDay;
    if (plausible) {
        const std::optional<Instant> expected = reference::ScanDays(f, from, to);
        ORV_FUZZ_CHECK(found == expected.has_value());
        if (found) ORV_FUZZ_CHECK(start == *expected);
    }
    return 0;
}
