#include "dialogs/schedule_model.h"

#include <stdexcept>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "platform/text_codec.h"
#include "store/text_trim.h"

namespace {

CivilDate DateOf(Instant t, const Clock& clock) {
    LocalFields f;
    // A stored date the runtime cannot break down shows as today.
    if (!BreakDownLocal(t, f) && !BreakDownLocal(clock.Now(), f)) return {1970, 2, 1};
    return {f.year, f.month, f.day};
}

int TimeOfDay(std::int32_t seconds) {
    return static_cast<int>(((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
}

template <class T>
void Copy(T value, T& field, bool& changed) {
    if (field != value) {
        field = value;
        changed = true;
    }
}

}  // namespace

RepeatValues EditorFields::Repeat() const {
    return {startDate, endDate, recurFlags, recurKind, recurPattern, recurInterval};
}

void EditorFields::SetRepeat(const RepeatValues& v) {
    startDate = v.startDate;
    endDate = v.endDate;
    recurFlags = v.recurFlags;
    recurKind = v.recurKind;
    recurPattern = v.recurPattern;
    recurInterval = v.recurInterval;
}

EditorFields NewEventFields(const Clock& clock, CivilDate day) {
    EditorFields f;
    LocalFields soon;
    if (BreakDownLocal(clock.Now() + 1800, soon)) f.startTime = soon.hour * 3600 + (soon.minute < 30 ? 0 : 30) * 60;
    f.endTime = f.startTime;
    f.startDate = day;
    f.endDate = day;
    return f;
}

EditorFields EditedEventFields(const ScheduleItem& item, const Clock& clock) {
    const ScheduleFront& s = item.front;
    EditorFields f;
    f.title = TrimSpace(item.title);
    f.startDate = DateOf(s.startDate, clock);
    f.startTime = TimeOfDay(s.startTime);
    f.endDate = DateOf(s.endDate, clock);
    f.endTime = TimeOfDay(s.endTime);
    f.recurFlags = s.recurFlags;
    f.recurKind = s.recurKind;
    f.recurPattern = s.recurPattern;
    f.recurInterval = s.recurInterval;
    f.remindMinutes = item.remindMinutes;
    f.note = item.note;
    f.soundCheck = (item.actions & kActionPlaySound) != 0;
    f.launchCheck = (item.actions & kActionLaunchFile) != 0;
    return f;
}

const char* RefusalText(EditorRefusal refusal) {
    switch (refusal) {
        case EditorRefusal::TitleTooLong:
            return "Title cannot exceed 50 characters.";
        case EditorRefusal::NoteTooLong:
            return "Note cannot exceed 200 characters.";
        case EditorRefusal::DateOutOfRange:
            return "Date is out of range.";
        case EditorRefusal::NoOccurrence:
            return "No possible occurrence.\nPlease check recurrence settings.";
        case EditorRefusal::None:
            break;
    }
    return "";
}

EditorRefusal ApplyEditorFields(EditorFields& f, const Clock& clock, std::unique_ptr<ScheduleItem>& item,
                                bool& structureChanged, bool& actionsChanged) {
    f.title = TrimSpace(f.title);
    f.note = TrimSpace(f.note);
    // A long text already stored passes while it stays as it is.
    if (Utf16Length(f.title) > kMaxTitleLength && !(item && f.title == item->title)) return EditorRefusal::TitleTooLong;
    if (Utf16Length(f.note) > kMaxNoteLength && !(item && f.note == item->note)) return EditorRefusal::NoteTooLong;
    if (f.endDate < f.startDate) f.endDate = f.startDate;

    Instant startDate = 0;
    Instant endDate = 0;
    Instant windowStart = 0;
    Instant windowEnd = 0;
    if (!TryMakeLocalTime(f.startDate.year, f.startDate.month, f.startDate.day, 0, 0, 0, startDate) ||
        !TryMakeLocalTime(f.endDate.year, f.endDate.month, f.endDate.day, 23, 59, 59, endDate)) {
        return EditorRefusal::DateOutOfRange;
    }
    try {
        GetRollingWindow(clock, windowStart, windowEnd);
    } catch (const std::invalid_argument&) {
        return EditorRefusal::DateOutOfRange;
    }
    if ((!f.Endless() && endDate < windowStart) || startDate >= windowEnd) return EditorRefusal::DateOutOfRange;
    if (endDate > kLastStorableInstant) return EditorRefusal::DateOutOfRange;

    if (!item) {
        item = std::make_unique<ScheduleItem>();
        item->front = ScheduleFront::Decode(nullptr, 0);  // every fixed field zero
        item->SetActions(ActionsBlock::Decode(nullptr, 0));
        structureChanged = true;
        actionsChanged = true;
    }
    ScheduleFront& s = item->front;
    // Both before 2106-02-07: the stored fields hold them.
    Copy(static_cast<std::uint32_t>(startDate), s.startDate, structureChanged);
    Copy(static_cast<std::int32_t>(f.startTime), s.startTime, structureChanged);
    Copy(static_cast<std::uint32_t>(endDate), s.endDate, structureChanged);
    Copy(static_cast<std::int32_t>(f.endTime), s.endTime, structureChanged);
    Copy(f.recurKind, s.recurKind, structureChanged);
    Copy(f.recurPattern, s.recurPattern, structureChanged);
    Copy(f.recurInterval, s.recurInterval, structureChanged);
    Copy(f.recurFlags, s.recurFlags, structureChanged);
    // A rule without an end can never occur too (weekly on no weekday): it
    // would be stored and never shown.
    const Instant last = f.Endless() ? kLatestInstant : endDate;
    if (structureChanged && !FindOccurrence(*item, startDate, last, nullptr)) return EditorRefusal::NoOccurrence;

    const auto actions = static_cast<std::uint8_t>((f.launchCheck ? kActionLaunchFile : 0) |
                                                   (f.soundCheck ? kActionPlaySound : 0));
    Copy(actions, item->actions, actionsChanged);
    Copy(static_cast<std::int16_t>(f.remindMinutes), item->remindMinutes, actionsChanged);
    Copy(f.title, item->title, structureChanged);
    Copy(f.note, item->note, structureChanged);
    return EditorRefusal::None;
}
