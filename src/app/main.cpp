// Program entry point.
#include <windows.h>

#include "app/calendar_app.h"
#include "platform/win32/system_zone.h"

namespace {

// One instance at a time: created while the program loads, closed at its end.
struct InstanceMutex {
    InstanceMutex() : handle(CreateMutexA(nullptr, FALSE, "Kesh's Calendar")), lastError(GetLastError()) {}
    ~InstanceMutex() {
        if (handle != nullptr) CloseHandle(handle);
    }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    HANDLE handle;
    DWORD lastError;
};

InstanceMutex theInstanceMutex;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    UseSystemTimeZone();
    CCalendarApp app(theInstanceMutex.lastError);
    return app.Run(commandLine);
}
