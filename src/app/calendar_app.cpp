#include "app/calendar_app.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/command_line.h"
#include "app/main_frame.h"
#include "dialogs/about_dlg.h"
#include "core/locale_names.h"
#include "platform/win32/win32_locale.h"
#include "ui/gdiplus.h"
#include "ui/message_loop.h"

CCalendarApp* CCalendarApp::instance_ = nullptr;

CCalendarApp::CCalendarApp(DWORD lastMutexError, Registry* registry)
    : lastMutexError_(lastMutexError), registry_(registry != nullptr ? *registry : win32Registry_) {}

CCalendarApp::~CCalendarApp() {
    ExitInstance();
    mainFrame_.reset();
    if (instance_ == this) instance_ = nullptr;
}

int CCalendarApp::Run(const char* commandLine) {
    instance_ = this;
    if (InitInstance(commandLine)) {
        RunMessageLoop();
    } else if (mainFrame_ && mainFrame_->Hwnd() != nullptr) {
        mainFrame_->DestroyWindow();
    }
    const int code = ExitInstance();
    mainFrame_.reset();
    return code;
}

bool CCalendarApp::InitInstance(const char* commandLine) {
    if (lastMutexError_ == ERROR_ALREADY_EXISTS) return false;  // another instance runs

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return false;
    hasDropShadow_ = version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
    if (version.dwMajorVersion < 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion < 10)) {
        MessageBoxA(nullptr, "Windows 98 or higher is required.", "Error", MB_ICONERROR);
        return false;
    }

    InitCommonControls();

    for (const std::string& arg : SplitCommandLine(commandLine)) {
        if (IsQuietStartArgument(arg)) quietStart_ = true;
    }

    if (FAILED(OleInitialize(nullptr))) {
        MessageBoxA(nullptr, "The system's OLE libraries could not be initialised.", kAppTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    oleInitialized_ = true;

    Win32LocaleSource locale;
    if (!LoadAppValues(registry_, locale, values_, TheLocaleNames())) return false;

    if (values_.dataVer >= 2) {
        MessageBoxA(nullptr, "Incorrect program version. The latest version is recommended", kAppTitle, MB_OK);
        return false;
    }
    if (values_.dataVer == 0) WriteDataVersion(registry_);

    // Version 1, no callback, background thread and codecs on. A failure is
    // traced and the program goes on: only the wallpaper and washes need it.
    gdiplus_ = std::make_unique<GdiplusSession>();

    mainFrame_ = std::make_unique<CMainFrame>(*this);
    return mainFrame_->Create();
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
    // Owned by the main frame, as a box without a parent of its own is.
    CAboutDlg().DoModal(mainFrame_ ? mainFrame_->Hwnd() : nullptr);
}
