// Prepares the current user's settings for a start-up measurement: replaces
// the stored events with COUNT events of the shared realistic mix, around the
// current month, and sets the wallpaper (empty: none).
// Usage: fill_store COUNT [WALLPAPER]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/event_mix.h"
#include "core/clock.h"
#include "platform/win32/win32_registry.h"
#include "store/event_store.h"
#include "store/registry_paths.h"

int main(int argc, char** argv) {
    _putenv("TZ=");
    _tzset();
    if (argc < 2) return 2;
    const int count = std::atoi(argv[1]);
    RegDeleteTreeA(HKEY_CURRENT_USER, std::string(kEventsKeyPath).c_str());

    Win32Registry registry;
    SystemClock clock;
    NoScheduleLinks none;
    EventStore store(registry, clock, none, none);
    LocalFields now;
    if (!BreakDownLocal(clock.Now(), now)) return 1;
    // Within the rolling window, so that the load keeps every one.
    EventList mix = MakeEventMix(count, now.year, now.month - 2, 6);
    for (auto& item : mix) {
        if (!store.SaveEvent(item, true, true)) {
            std::fprintf(stderr, "event not saved\n");
            return 1;
        }
    }
    const RegKey user = OpenUserKey(registry, RegAccess::All);
    const std::string wallpaper = argc > 2 ? argv[2] : "";
    if (!user.WriteString("BkgImgFile", wallpaper)) return 1;
    std::printf("%zu events stored, wallpaper \"%s\"\n", store.Count(), wallpaper.c_str());
    return 0;
}
