#include "platform/win32/system_zone.h"

#include <windows.h>

#include <stdlib.h>
#include <time.h>

void UseSystemTimeZone() {
    // The runtime's own copy of the environment first: _tzset reads that one.
    _putenv("TZ=");
    // Programs a reminder opens inherit the process's.
    SetEnvironmentVariableW(L"TZ", nullptr);
    _tzset();
}
