#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/reminder_links.h"

// Timer 55 of a window; the window receives WM_TIMER with that id.
class Win32ReminderTimer final : public ReminderTimer {
public:
    explicit Win32ReminderTimer(HWND hwnd = nullptr) : hwnd_(hwnd) {}
    ~Win32ReminderTimer() override;
    Win32ReminderTimer(const Win32ReminderTimer&) = delete;
    Win32ReminderTimer& operator=(const Win32ReminderTimer&) = delete;

    // Until a window is attached, Set and Kill do nothing.
    void Attach(HWND hwnd);
    void Set(std::uint32_t milliseconds) override;
    void Kill() override;

private:
    HWND hwnd_ = nullptr;
};

// True when a file or folder of that name (a pattern, as FindFirstFileA takes it) exists.
bool FileIsThere(const std::string& path);

// Sound through PlaySoundA, files through the shell.
class Win32ReminderActions final : public ReminderActions {
public:
    void PlaySoundFile(const std::string& soundfile) override;
    bool FileExists(const std::string& path) override;
    void OpenFile(const std::string& path) override;
};
