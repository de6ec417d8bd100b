// The runtime's zone after start-up: the system's, whatever TZ the
// launching shell left. The test runs with an Olson TZ that Wine maps to a
// Windows zone; the runtime would misread it.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>

#include "platform/win32/system_zone.h"

namespace {

// The hour of an instant as the system's zone reads it.
int SystemHour(int year, int month, int day, int hour) {
    SYSTEMTIME utc = {};
    utc.wYear = static_cast<WORD>(year);
    utc.wMonth = static_cast<WORD>(month);
    utc.wDay = static_cast<WORD>(day);
    utc.wHour = static_cast<WORD>(hour);
    SYSTEMTIME local = {};
    EXPECT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    return local.wHour;
}

int RuntimeHour(time_t t) {
    const tm* local = localtime(&t);
    return local != nullptr ? local->tm_hour : -1;
}

TEST(SystemZone, TheRuntimeReadsTheSystemZoneWhateverTzSays) {
    // 2025-01-15 and 2025-07-15, 12:00 UTC: standard and daylight time.
    const time_t winter = 1736942400;
    const time_t summer = 1752580800;
    const char* odd[] = {"TZ=XYZ-13", "TZ=America/New_York", "TZ=UTC"};
    for (const char* tz : odd) {
        _putenv(tz);
        _tzset();
        UseSystemTimeZone();
        EXPECT_EQ(RuntimeHour(winter), SystemHour(2025, 1, 15, 12)) << tz;
        EXPECT_EQ(RuntimeHour(summer), SystemHour(2025, 7, 15, 12)) << tz;
        char value[64];
        EXPECT_EQ(GetEnvironmentVariableA("TZ", value, sizeof value), 0u) << tz;
        EXPECT_EQ(getenv("TZ"), nullptr) << tz;
    }
    // The odd zone does mislead the runtime, so the check above can fail.
    _putenv("TZ=XYZ-13");
    _tzset();
    EXPECT_NE(RuntimeHour(summer), SystemHour(2025, 7, 15, 12));
    UseSystemTimeZone();
}

}  // namespace
