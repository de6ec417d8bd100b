#include "platform/win32/win32_reminder_links.h"

#include <mmsystem.h>

#include "platform/win32/late_bound.h"
#include <shellapi.h>

#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE h) : handle_(h) {}
    ~FindHandle() {
        if (Valid()) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

}  // namespace

Win32ReminderTimer::~Win32ReminderTimer() { Kill(); }

void Win32ReminderTimer::Attach(HWND hwnd) {
    Kill();
    hwnd_ = hwnd;
}

void Win32ReminderTimer::Set(std::uint32_t milliseconds) {
    // Without a window SetTimer would make a thread timer with another id.
    if (hwnd_ != nullptr) ORV_CHECK(SetTimer(hwnd_, kReminderTimerId, milliseconds, nullptr) != 0);
}

void Win32ReminderTimer::Kill() {
    if (hwnd_ != nullptr) KillTimer(hwnd_, kReminderTimerId);
}

void Win32ReminderActions::PlaySoundFile(const std::string& soundfile) {
    PlayWaveFile(soundfile.c_str(), SND_FILENAME | SND_ASYNC);
}

bool FileIsThere(const std::string& path) {
    WIN32_FIND_DATAW data;
    const FindHandle found(FindFirstFileW(Wide(path).c_str(), &data));
    return found.Valid();
}

bool Win32ReminderActions::FileExists(const std::string& path) { return FileIsThere(path); }

void Win32ReminderActions::OpenFile(const std::string& path) {
    ShellExecuteW(nullptr, nullptr, Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
