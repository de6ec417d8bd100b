#include <gtest/gtest.h>
#include <libical/ical.h>

#include <map>
#include <set>
#include <string>

#include "interop/exchange_id.h"
#include "native/ical_sample.h"

namespace {

// Every exported event, expanded by libical's own recurrence iterator, falls
// on the days the occurrence engine finds, day by day for two years.
TEST(IcalLibical, ExpandsEveryExportedRuleOnTheEnginesDays) {
    InteropStore s(Local(2026, 6, 15, 12));
    FillSample(s);
    const ExportResult out = s.Export();
    ASSERT_GT(out.exported, 250);

    const long long firstDay = DaysFromCivil(kSampleYear, 1, 1);
    const long long lastDay = firstDay + kSampleDays - 1;
    std::map<std::string, std::set<long long>> expanded;
    icalcomponent* calendar = icalparser_parse_string(out.text.c_str());
    ASSERT_NE(calendar, nullptr);
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        std::set<long long>& days = expanded[icalcomponent_get_uid(event)];
        const icaltimetype start = icalcomponent_get_dtstart(event);
        ASSERT_FALSE(icaltime_is_utc(start));  // floating local times
        icalproperty* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
        if (rrule == nullptr) {
            days.insert(DaysFromCivil(start.year, start.month, start.day));
            continue;
        }
        icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start);
        ASSERT_NE(it, nullptr) << icalproperty_as_ical_string(rrule);
        for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t); t = icalrecur_iterator_next(it)) {
            const long long d = DaysFromCivil(t.year, t.month, t.day);
            if (d > lastDay) break;
            days.insert(d);
        }
        icalrecur_iterator_free(it);
    }
    icalcomponent_free(calendar);
    EXPECT_EQ(static_cast<int>(expanded.size()), out.exported);

    int occurrences = 0;
    for (const auto& event : s.store.Events()) {
        const auto found = expanded.find(EventUid(*event, InteropStore::kExchangeId));
        if (found == expanded.end()) continue;
        for (long long d = firstDay; d <= lastDay; ++d) {
            int y = 0, m = 0, day = 0;
            CivilFromDays(d, y, m, day);
            const bool engine = FindOccurrence(*event, Local(y, m, day), Local(y, m, day, 23, 59, 59), nullptr);
            ASSERT_EQ(found->second.count(d) == 1, engine)
                << event->title << " kind " << int(event->front.recurKind) << " pattern " << event->front.recurPattern
                << " interval " << int(event->front.recurInterval) << " on " << y << "-" << m << "-" << day;
            occurrences += engine;
        }
    }
    EXPECT_GT(occurrences, 5000);
}

}  // namespace
