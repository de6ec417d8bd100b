#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/time_types.h"

// One occurrence a tray notification names.
struct NoticeEntry {
    std::string title;
    Instant start = 0;
    std::string note;
};

// The balloon's title and text, within the shell's limits (63 and 255
// characters and their terminators).
struct NoticeText {
    std::string title;
    std::string text;
};
constexpr std::size_t kNoticeTitleLength = 63;
constexpr std::size_t kNoticeTextLength = 255;

// One occurrence: its title, then its start and the note's first line.
// Several: "3 events: Standup, Review, Lunch", then a line for each. Missed
// ones say so; their starts carry their dates. startText formats a start,
// with its date when asked.
NoticeText MakeNoticeText(const std::vector<NoticeEntry>& entries, bool missed,
                          const std::function<std::string(Instant start, bool withDate)>& startText);

// The tray notification of the reminders that fire in one check, and of the
// occurrences missed while away.
class ReminderNotice {
public:
    virtual ~ReminderNotice() = default;
    virtual void ShowNotice(const std::vector<NoticeEntry>& entries, bool missed) = 0;
};
