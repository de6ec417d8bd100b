#pragma once
#include <windows.h>

#include <memory>

#include "app/command_line.h"
#include "core/clock.h"
#include "core/product.h"
#include "platform/win32/win32_registry.h"
#include "store/app_values.h"

class CAboutDlg;
class CMainFrame;
class GdiplusSession;

// The program's life: the start-up checks, the hidden main frame, the one
// message loop and the exit step.
class CCalendarApp {
public:
    // lastMutexError: GetLastError right after the instance mutex was created.
    // The registry is the system's unless a test hands in another.
    explicit CCalendarApp(DWORD lastMutexError, Registry* registry = nullptr);
    ~CCalendarApp();
    CCalendarApp(const CCalendarApp&) = delete;
    CCalendarApp& operator=(const CCalendarApp&) = delete;

    // InitInstance, the message loop while the main frame lives, ExitInstance.
    // args: the command line after the program's name.
    int Run(const std::vector<std::string>& args);

    // True to run the message loop.
    bool InitInstance(bool quiet);
    // Runs once in the process's life, whichever path ends it.
    int ExitInstance();
    // "/export FILE" or "/import FILE", or arguments that are neither: the
    // exit code, without a window of this process.
    int RunExchange(const CommandLineRequest& request);

    bool HasDropShadow() const { return hasDropShadow_; }
    bool QuietStart() const { return quietStart_; }
    const AppValues& Values() const { return values_; }
    Registry& GetRegistry() { return registry_; }
    void OnAppAbout();

private:
    // The application values every start reads first; a store written by a
    // newer version is left alone.
    enum class AppValuesCheck { Ok, Unreadable, NewerVersion };
    static constexpr char kNewerVersionText[] =
        "The calendar was saved by a newer version of OrvCalendar. This version cannot open it.";
    AppValuesCheck OpenAppValues();

    DWORD lastMutexError_;
    bool hasDropShadow_ = false;
    bool quietStart_ = false;
    std::unique_ptr<GdiplusSession> gdiplus_;
    bool oleInitialized_ = false;
    bool exited_ = false;
    AppValues values_;
    SystemClock clock_;
    Win32Registry win32Registry_;
    Registry& registry_;
    std::unique_ptr<CMainFrame> mainFrame_;
    CAboutDlg* aboutDlg_ = nullptr;  // the open About box
};
