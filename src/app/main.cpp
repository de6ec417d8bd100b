// Program entry point.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/calendar_app.h"
#include "platform/win32/system_zone.h"
#include "platform/win32/wide_text.h"

namespace {

// One instance at a time: created while the program loads, closed at its end.
struct InstanceMutex {
    InstanceMutex() : handle(CreateMutexW(nullptr, FALSE, L"Kesh's Calendar")), lastError(GetLastError()) {}
    ~InstanceMutex() {
        if (handle != nullptr) CloseHandle(handle);
    }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    HANDLE handle;
    DWORD lastError;
};

InstanceMutex theInstanceMutex;

// The arguments after the program's name, in UTF-8: the narrow command line
// would carry only what the code page holds.
std::vector<std::string> Arguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &count),
                                                             &LocalFree);
    std::vector<std::string> args;
    for (int i = 1; argv && i < count; ++i) args.push_back(Utf8(argv.get()[i]));
    return args;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    UseSystemTimeZone();
    CCalendarApp app(theInstanceMutex.lastError);
    return app.Run(Arguments());
}
