#pragma once
#include <cstdint>
#include <string>

#include "core/schedule_changes.h"

struct PendingReminder;

// The id of the main frame's reminder timer.
constexpr std::uintptr_t kReminderTimerId = 55;

// The main frame's timer 55.
class ReminderTimer {
public:
    virtual ~ReminderTimer() = default;
    // Replaces a running timer.
    virtual void Set(std::uint32_t milliseconds) = 0;
    virtual void Kill() = 0;
};

// What a reminder does.
class ReminderActions {
public:
    virtual ~ReminderActions() = default;
    // Not "PlaySound": <mmsystem.h> defines that name as a macro.
    virtual void PlaySoundFile(const std::string& soundfile) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual void OpenFile(const std::string& path) = 0;
};

// The scheduler's link to the upcoming-events window.
class UpcomingLink {
public:
    virtual ~UpcomingLink() = default;
    virtual bool IsOpen() const = 0;
    // Does nothing when it is already open.
    virtual void Open() = 0;
    // WM_SCHEDULECHANGED (code, record). A begun record is freed as soon as
    // this returns; the window copies what it keeps.
    virtual void Send(std::uintptr_t code, PendingReminder* record) = 0;
};
