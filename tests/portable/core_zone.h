#pragma once
#include <cstdlib>
#include <ctime>
#include <string>

#include "core/calendar.h"
#include "core/local_zone.h"

// The Windows test runner clears TZ before the runtime reads it, so the zone
// is recognised by its offsets in January and July rather than by name.
enum class TestZone { Utc, Berlin, NewYork, Santiago, LordHowe, Kolkata, Other };

inline Instant UtcInstant(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DaysFromCivil(y, mo, d) * kSecondsPerDay + h * 3600 + mi * 60 + s;
}

inline Instant Local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return MakeLocalTime(y, mo, d, h, mi, s);
}

inline long long OffsetAt(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return -1;
    return UtcInstant(f.year, f.month, f.day, f.hour, f.minute, f.second) - t;
}

inline TestZone CurrentZone() {
    const long long jan = OffsetAt(UtcInstant(2025, 1, 15, 12));
    const long long jul = OffsetAt(UtcInstant(2025, 7, 15, 12));
    if (jan == 0 && jul == 0) return TestZone::Utc;
    if (jan == 3600 && jul == 7200) return TestZone::Berlin;
    if (jan == -18000 && jul == -14400) return TestZone::NewYork;
    if (jan == -10800 && jul == -14400) return TestZone::Santiago;
    if (jan == 39600 && jul == 37800) return TestZone::LordHowe;
    if (jan == 19800 && jul == 19800) return TestZone::Kolkata;
    return TestZone::Other;
}

#define ORV_REQUIRE_ZONE(zone) \
    if (CurrentZone() != (zone)) GTEST_SKIP() << "checked only in its own zone"

// Changes the zone for a while, as a user changing it in the control panel
// would; both runtimes read a POSIX TZ string such as "IST-5:30".
class ScopedZone {
public:
    explicit ScopedZone(const char* tz) {
        const char* old = std::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        Switch(tz);
    }
    ~ScopedZone() {
        if (had_) {
            Switch(old_.c_str());
        } else {
#ifdef _WIN32
            _putenv("TZ=");
            _tzset();
#else
            unsetenv("TZ");
            tzset();
#endif
            ResetLocalTimeCache();
        }
    }
    ScopedZone(const ScopedZone&) = delete;
    ScopedZone& operator=(const ScopedZone&) = delete;

    static void Switch(const char* tz) {
#ifdef _WIN32
        _putenv_s("TZ", tz);
        _tzset();
#else
        setenv("TZ", tz, 1);
        tzset();
#endif
        ResetLocalTimeCache();
    }

private:
    bool had_ = false;
    std::string old_;
};
