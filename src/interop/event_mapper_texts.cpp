#include "interop/event_mapper.h"

#include <algorithm>

#include "core/local_path.h"
#include "interop/file_uri.h"
#include "interop/ics_text.h"
#include "platform/text_codec.h"
#include "store/text_trim.h"

namespace {

// What the store and the editor keep, in characters.
constexpr std::size_t kMaxTitle = 50;
constexpr std::size_t kMaxNote = 200;
constexpr std::size_t kMaxPath = 259;
constexpr std::string_view kNoTitle = "(No title)";

}  // namespace

std::string EventMapper::Text(std::string_view utf8, std::size_t max) {
    std::string text = ValidUtf8(utf8, notes_.replacedCharacters);
    const std::string_view kept = CutUtf8(text, max);
    if (kept.size() == text.size()) return text;
    ++notes_.shortened;
    return std::string(kept);
}

std::string EventMapper::Path(std::string_view utf8) {
    std::size_t replaced = 0;
    std::string path = ValidUtf8(utf8, replaced);
    // A path cut short names another file: leave it out.
    if (Utf16Length(path) > kMaxPath) {
        ++notes_.shortened;
        return {};
    }
    notes_.replacedCharacters += replaced;
    return path;
}

std::string EventMapper::LocalPath(std::string_view utf8, bool (*allowed)(std::string_view), bool named) {
    std::string path = Path(utf8);  // empty when too long, and counted then
    if (path.empty() ? named : !allowed(path)) {
        ++notes_.refusedPaths;
        return {};
    }
    return path;
}

void EventMapper::ReadAlarm(const IcsComponent& event, const LocalTime& first, const LocalTime& end, ScheduleItem& item) {
    item.actions = 0;
    item.remindMinutes = 0;
    // Whoever wrote the file chose these paths, not the user: a program is
    // never switched on, and only files of this computer are kept.
    item.filesChosen = false;
    if (const IcsProperty* p = event.Find("X-ORV-SOUNDFILE"))
        item.soundfile = LocalPath(UnescapeText(p->value), IsLocalWavePath);
    if (const IcsProperty* p = event.Find("X-ORV-LAUNCHFILE")) {
        item.launchfile = LocalPath(UnescapeText(p->value), IsLocalFilePath);
        if (const std::string* on = p->Param("X-ORV-LAUNCH"); on != nullptr && UpperAscii(*on) == "TRUE")
            notes_.launchLeftOff = true;
    }
    for (const IcsComponent& alarm : event.components) {
        if (alarm.name != "VALARM") continue;
        long long lead = 0;
        if (const IcsProperty* trigger = alarm.Find("TRIGGER")) {
            IcsTime at;
            long long offset = 0;
            LocalTime local;
            if (ParseIcsTime(*trigger, at) && ToLocal(at, local)) {
                lead = first.Wall() - local.Wall();
            } else if (ParseIcsDuration(trigger->value, offset)) {
                const std::string* related = trigger->Param("RELATED");
                const bool fromEnd = related != nullptr && UpperAscii(*related) == "END";
                lead = -offset - (fromEnd ? end.Wall() - first.Wall() : 0);
            }
        }
        item.remindMinutes = static_cast<std::int16_t>(std::clamp<long long>((lead + 59) / 60, 0, 999));
        const IcsProperty* action = alarm.Find("ACTION");
        if (action != nullptr && UpperAscii(action->value) == "AUDIO") {
            item.actions |= kActionPlaySound;
            const IcsProperty* attach = alarm.Find("ATTACH");
            if (item.soundfile.empty() && attach != nullptr && attach->Param("ENCODING") == nullptr)
                item.soundfile = LocalPath(FileUriToPath(attach->value), IsLocalWavePath, !attach->value.empty());
        }
        break;  // the first alarm is the event's reminder
    }
}

void EventMapper::ReadTexts(const IcsComponent& event, ScheduleItem& item) {
    const IcsProperty* summary = event.Find("SUMMARY");
    std::string title = summary != nullptr ? TrimSpace(Text(UnescapeText(summary->value), kMaxTitle)) : std::string();
    item.title = title.empty() ? std::string(kNoTitle) : title;
    if (const IcsProperty* d = event.Find("DESCRIPTION")) {
        std::string note;
        for (char c : UnescapeText(d->value)) note += c == '\n' ? std::string("\r\n") : std::string(1, c);
        item.note = TrimSpace(Text(note, kMaxNote));
    }
}
