#include "interop/import_report.h"

#include <algorithm>
#include <string_view>

namespace {

std::string Counted(int n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string Reasons(const std::map<std::string, int>& reasons, std::string_view prefix) {
    std::string text;
    for (const auto& [reason, n] : reasons) {
        if (!text.empty()) text += ", ";
        text += std::to_string(n);
        text += ' ';
        text += prefix;
        text += reason;
    }
    return text;
}

// "A", "A and B", "A, B, C and 2 more".
std::string Names(const std::vector<std::string>& names) {
    constexpr std::size_t kShown = 3;
    std::string text;
    const std::size_t shown = names.size() > kShown + 1 ? kShown : names.size();
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += i + 1 == shown && shown == names.size() ? " and " : ", ";
        text += "\"" + names[i] + "\"";
    }
    if (shown < names.size()) text += " and " + std::to_string(names.size() - shown) + " more";
    return text;
}

// "line 4", "lines 4 and 9", "lines 4, 9, 12 and 3 more".
std::string LineNumbers(const std::vector<std::size_t>& at, std::size_t count) {
    constexpr std::size_t kShown = 3;
    const std::size_t shown = std::min({at.size(), count, kShown});
    std::string text = count == 1 ? "line " : "lines ";
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += i + 1 == shown && shown == count ? " and " : ", ";
        text += std::to_string(at[i]);
    }
    if (shown < count) text += " and " + std::to_string(count - shown) + " more";
    return text;
}

// GCC 12 takes "\n" + std::string for an overlapping copy (-Wrestrict).
void AddLine(std::string& text, const std::string& line) {
    text += '\n';
    text += line;
}

}  // namespace

void ImportReport::Count(const ImportNotes& notes, const std::string& title) {
    replacedCharacters += notes.replacedCharacters;
    shortened += notes.shortened;
    unknownZones += notes.unknownZone ? 1 : 0;
    launchesLeftOff += notes.launchLeftOff ? 1 : 0;
    refusedPaths += notes.refusedPaths;
    if (notes.firstOnly != nullptr) ++firstOnly[notes.firstOnly];
    if (notes.followsZone) zoneFollowers.push_back(title);
    firstDayOnly += notes.firstDayOnly ? 1 : 0;
}

int ImportReport::SkippedCount() const {
    int n = 0;
    for (const auto& entry : skipped) n += entry.second;
    return n;
}

std::string ImportReport::Text() const {
    std::string text = Counted(imported, "event imported", "events imported");
    if (updated > 0) text += ", " + std::to_string(updated) + " updated";
    if (const int n = SkippedCount(); n > 0) text += ", " + std::to_string(n) + " skipped: " + Reasons(skipped, "");
    text += ".";
    int first = 0;
    for (const auto& entry : firstOnly) first += entry.second;
    if (first > 0)
        AddLine(text, Counted(first, "recurring event", "recurring events") + " kept as a single occurrence: " +
                Reasons(firstOnly, "with ") + ".");
    if (firstDayOnly > 0)
        AddLine(text, Counted(firstDayOnly, "recurring event lasts", "recurring events last") +
                " several days: the calendar shows each occurrence on its first day only.");
    if (movedNotKept > 0)
        AddLine(text, Counted(movedNotKept, "moved occurrence was", "moved occurrences were") +
                " not kept: the series shows " + (movedNotKept == 1 ? "it" : "them") + " on the usual day.");
    if (todosLeftOut > 0)
        AddLine(text, Counted(todosLeftOut, "to-do was", "to-dos were") + " left out: the calendar keeps events only.");
    if (!zoneFollowers.empty())
        AddLine(text, Names(zoneFollowers) + (zoneFollowers.size() == 1 ? " follows" : " follow") +
                " the clock changes of another time zone: around those days " +
                (zoneFollowers.size() == 1 ? "it" : "they") + " may be an hour off.");
    if (replacedCharacters > 0)
        AddLine(text, Counted(static_cast<int>(replacedCharacters), "byte", "bytes") +
                " that were not UTF-8 text became \"?\".");
    if (shortened > 0)
        AddLine(text, Counted(shortened, "title, note or file name was", "titles, notes or file names were") +
                " too long and shortened or left out.");
    if (unknownZones > 0)
        AddLine(text, Counted(unknownZones, "event", "events") +
                " in a time zone the file does not describe kept the times as written.");
    if (launchesLeftOff > 0)
        AddLine(text, Counted(launchesLeftOff, "event", "events") + " asked to open a program at " +
                (launchesLeftOff == 1 ? "its reminder" : "their reminders") +
                "; that was left off: switch it on in the editor if you trust it.");
    if (refusedPaths > 0)
        AddLine(text, Counted(refusedPaths, "sound or program path was", "sound or program paths were") +
                " left out: only files on this computer are kept, and only WAV files as sounds.");
    if (replacedBytes > 0)
        AddLine(text, Counted(static_cast<int>(replacedBytes), "byte of text that was not UTF-8",
                              "bytes of text that were not UTF-8") + " became \"?\".");
    if (unreadLines > 0)
        AddLine(text, Counted(static_cast<int>(unreadLines), "line could not be read and was skipped: ",
                               "lines could not be read and were skipped: ") +
                LineNumbers(unreadAt, unreadLines) + ".");
    if (saveFailures > 0) AddLine(text, Counted(saveFailures, "event", "events") + " could not be saved.");
    return text;
}
