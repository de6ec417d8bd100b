#include "app/calendar_app.h"

#include <commctrl.h>
#include <ole2.h>

#include <utility>

#include "app/command_line.h"
#include "app/exchange_request.h"
#include "app/ical_exchange.h"
#include "app/main_frame.h"
#include "dialogs/about_dlg.h"
#include "core/locale_names.h"
#include "platform/win32/win32_locale.h"
#include "ui/gdiplus.h"
#include "ui/message_loop.h"
#include "platform/win32/wide_text.h"

CCalendarApp::CCalendarApp(DWORD lastMutexError, Registry* registry)
    : lastMutexError_(lastMutexError), registry_(registry != nullptr ? *registry : win32Registry_) {}

CCalendarApp::~CCalendarApp() {
    ExitInstance();
    mainFrame_.reset();
}

int CCalendarApp::Run(const std::vector<std::string>& args) {
    const CommandLineRequest request = ParseCommandLine(args);
    if (request.action != CommandLineRequest::Action::Start) return RunExchange(request);
    // A second start, from the Start menu while the sign-in start runs in
    // the tray: the running copy shows its calendar. A quiet one stays quiet.
    if (lastMutexError_ == ERROR_ALREADY_EXISTS) {
        if (!request.quiet) ShowRunningCopy(CMainFrame::kClassName);
        return 0;
    }
    if (InitInstance(request.quiet)) {
        RunMessageLoop();
    } else if (mainFrame_ && mainFrame_->Hwnd() != nullptr) {
        mainFrame_->DestroyWindow();
    }
    const int code = ExitInstance();
    mainFrame_.reset();
    return code;
}

bool CCalendarApp::InitInstance(bool quiet) {
    if (lastMutexError_ == ERROR_ALREADY_EXISTS) return false;  // another instance runs

    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version)) return false;
    hasDropShadow_ = version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);

    InitCommonControls();

    quietStart_ = quiet;

    if (FAILED(OleInitialize(nullptr))) {
        MessageBoxW(nullptr, L"The system's OLE libraries could not be initialised.", Wide(kAppTitle).c_str(), MB_OK | MB_ICONERROR);
        return false;
    }
    oleInitialized_ = true;

    switch (OpenAppValues()) {
        case AppValuesCheck::Ok:
            break;
        case AppValuesCheck::Unreadable:
            return false;
        case AppValuesCheck::NewerVersion:
            MessageBoxW(nullptr, Wide(kNewerVersionText).c_str(), Wide(kAppTitle).c_str(), MB_OK);
            return false;
    }

    // Version 1, no callback, background thread and codecs on. A failure is
    // traced and the program goes on: only the wallpaper and washes need it.
    gdiplus_ = std::make_unique<GdiplusSession>();

    mainFrame_ = std::make_unique<CMainFrame>(*this, clock_);
    return mainFrame_->Create();
}

int CCalendarApp::RunExchange(const CommandLineRequest& request) {
    if (request.action == CommandLineRequest::Action::Invalid) {
        TellCaller(request.error, true);
        return kExchangeBadArguments;
    }
    if (lastMutexError_ == ERROR_ALREADY_EXISTS) return HandToRunningCopy(request, CMainFrame::kClassName);
    // The checks of a start, told to the caller instead of shown.
    switch (OpenAppValues()) {
        case AppValuesCheck::Ok:
            return RunWithoutWindows(registry_, values_, request);
        case AppValuesCheck::Unreadable:
            TellCaller("The calendar's settings could not be opened.", true);
            return kExchangeUnavailable;
        case AppValuesCheck::NewerVersion:
            TellCaller(kNewerVersionText, true);
            return kExchangeUnavailable;
    }
    return kExchangeUnavailable;
}

CCalendarApp::AppValuesCheck CCalendarApp::OpenAppValues() {
    Win32LocaleSource locale;
    if (!LoadAppValues(registry_, locale, values_, TheLocaleNames())) return AppValuesCheck::Unreadable;
    if (values_.dataVer >= 2) return AppValuesCheck::NewerVersion;
    if (values_.dataVer == 0) WriteDataVersion(registry_);
    return AppValuesCheck::Ok;
}

int CCalendarApp::ExitInstance() {
    if (exited_) return 0;
    exited_ = true;
    // The frame's window is gone by now (this may run from inside its last
    // handler, so the object itself is released later, by Run).
    if (mainFrame_ && mainFrame_->Hwnd() != nullptr) mainFrame_->DestroyWindow();
    gdiplus_.reset();
    if (oleInitialized_) OleUninitialize();
    oleInitialized_ = false;
    return 0;
}

void CCalendarApp::OnAppAbout() {
    // Owned by the main frame, as a box without a parent of its own is;
    // shown over the calendar when that is open.
    AboutContext context;
    context.anchor = mainFrame_ ? mainFrame_->ScheduleWnd() : nullptr;
    ShowAbout(std::move(context), mainFrame_ ? mainFrame_->Hwnd() : nullptr, aboutDlg_);
}
