#pragma once
// The event editor's rules without its window: the values a new or edited
// event starts with, and OK's checks and change flags. Dates are calendar
// days and times are times of day, as the pickers show them, so a time is
// never an hour off on a day the clock changes.
#include <cstdint>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/schedule_item.h"
#include "dialogs/sche_repeat_model.h"

struct EditorFields {
    std::string title;
    CivilDate startDate;
    int startTime = 0;  // seconds after midnight
    CivilDate endDate;
    int endTime = 0;
    std::uint8_t recurFlags = 0;
    std::uint8_t recurKind = kKindNone;
    std::uint16_t recurPattern = 0;
    std::uint8_t recurInterval = 1;
    int remindMinutes = 10;
    std::string note;
    bool soundCheck = true;
    bool launchCheck = false;

    bool Endless() const { return recurKind >= 30 && (recurFlags & 1) != 0; }
    RepeatValues Repeat() const;
    void SetRepeat(const RepeatValues& values);
};

// Longest title and note the editor takes, in characters (UTF-16 units, as
// the edit controls count them).
constexpr std::size_t kMaxTitleLength = 50;
constexpr std::size_t kMaxNoteLength = 200;

// A new event on a preset day: start and end at the next half hour after now
// (10:10 gives 10:30, 10:30 gives 11:00, 23:45 gives 00:00 of that day).
EditorFields NewEventFields(const Clock& clock, CivilDate day);
// The values of a stored event; its dates as calendar days, its times of day
// as hours, minutes and seconds.
EditorFields EditedEventFields(const ScheduleItem& item, const Clock& clock);

enum class EditorRefusal { None, TitleTooLong, NoteTooLong, DateOutOfRange, NoOccurrence };
const char* RefusalText(EditorRefusal refusal);

// OK's steps up to the sound and launch files: trims title and note, checks
// them in order, and copies the fields into the item (made when there is
// none), setting the change flags, which are never cleared. A refused attempt
// keeps what it had copied, as a later attempt compares against it.
EditorRefusal ApplyEditorFields(EditorFields& fields, const Clock& clock, std::unique_ptr<ScheduleItem>& item,
                                bool& structureChanged, bool& actionsChanged);
