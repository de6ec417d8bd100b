// The occurrence engine against libical's recurrence iterator on a random
// mix of rules and windows, in the zone of the run (TZ, an Olson name).
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "support/ical_oracle.h"
#include "support/occurrence_queries.h"

namespace {

TEST(LibicalAgreementTest, SameFirstOccurrenceForARandomMix) {
    const char* tz = std::getenv("TZ");
    if (tz == nullptr || *tz == '\0') GTEST_SKIP() << "needs TZ set to the zone's Olson name";
    icaltimezone* zone = IcalZone(tz);
    ASSERT_NE(zone, nullptr) << tz;
    const Comparison c = CompareWithLibical(MakeOccurrenceQueries(20000, 14), zone);
    for (std::size_t i = 0; i < c.disagreements.size() && i < 20; ++i) ADD_FAILURE() << c.disagreements[i];
    EXPECT_EQ(c.disagreements.size(), 0u) << "of " << c.queries << " queries";
    // Agreement is not mostly on "none".
    EXPECT_GT(c.found, c.queries / 4);
    std::cout << c.queries << " queries, " << c.found << " found alike; libical differs on " << c.readings
              << " in reading a gap or overlap, " << c.zoneData << " by its zone data, " << c.shiftedByGap
              << " in times of day moved by a gap, " << c.weekStart
              << " in placing the weeks of a weekly rule with an interval\n";
}

}  // namespace
