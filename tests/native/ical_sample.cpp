// Writes the sample store's export and, for every exported event, the days
// of its occurrences with the exclusions left out, for the check by
// python3's icalendar readers (tests/native/ical_python_check.py).
#include <fstream>
#include <iostream>

#include "interop/exchange_id.h"
#include "interop/ics_values.h"
#include "native/ical_sample.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: ical_sample OUT.ics OUT-days.txt\n";
        return 2;
    }
    InteropStore s(Local(2026, 6, 15, 12));
    FillSample(s);
    std::ofstream(argv[1], std::ios::binary) << s.Export().text;
    std::ofstream days(argv[2]);
    const long long first = DaysFromCivil(kSampleYear, 1, 1);
    for (const auto& event : s.store.Events()) {
        const ScheduleFront& f = event->front;
        if (!FindOccurrence(*event, f.startDate, IsEndless(f) ? INT32_MAX : f.endDate, nullptr)) continue;
        days << EventUid(*event, InteropStore::kExchangeId);
        for (long long d = first; d < first + kSampleDays; ++d) {
            int y = 0, m = 0, day = 0;
            CivilFromDays(d, y, m, day);
            Instant at = 0;
            if (FindOccurrence(*event, Local(y, m, day), Local(y, m, day, 23, 59, 59), &at) &&
                !s.store.IsExcluded(f.id, MakeDateKey(y, m, day), f.recurKind))
                days << ' ' << FormatIcsDate(y, m, day);
        }
        days << '\n';
    }
    return 0;
}
