#include "sync/kept_text_merge.h"

#include <algorithm>
#include <initializer_list>
#include <set>

#include "interop/ics_reader.h"
#include "interop/ics_values.h"
#include "interop/ics_writer.h"
#include "interop/ics_zone.h"

namespace {

IcsComponent* MasterEvent(std::vector<IcsComponent>& calendars) {
    for (IcsComponent& calendar : calendars)
        for (IcsComponent& c : calendar.components)
            if (c.name == "VEVENT" && c.Find("RECURRENCE-ID") == nullptr) return &c;
    return nullptr;
}

void Remove(IcsComponent& event, std::initializer_list<std::string_view> names) {
    std::erase_if(event.properties, [&](const IcsProperty& p) {
        return std::find(names.begin(), names.end(), p.name) != names.end();
    });
}

void Take(IcsComponent& event, const IcsComponent& from, std::initializer_list<std::string_view> names) {
    Remove(event, names);
    for (const IcsProperty& p : from.properties)
        if (std::find(names.begin(), names.end(), p.name) != names.end()) event.properties.push_back(p);
}

bool IsSeries(const IcsComponent& event) { return event.Find("RRULE") != nullptr || event.Find("RDATE") != nullptr; }

// A series whose rule stays keeps its first day: only the time of day and
// the length change, and the times become wall-clock times as exported.
void TakeTimeOfDay(IcsComponent& event, const IcsComponent& from) {
    const IcsProperty* keptStart = event.Find("DTSTART");
    const IcsProperty* start = from.Find("DTSTART");
    IcsTime kept, ours, oursEnd;
    if (keptStart == nullptr || start == nullptr || !ParseIcsTime(*keptStart, kept) || !ParseIcsTime(*start, ours))
        return Take(event, from, {"DTSTART", "DTEND", "DURATION"});
    long long length = 0;
    if (const IcsProperty* end = from.Find("DTEND"); end != nullptr && ParseIcsTime(*end, oursEnd))
        length = std::max(0LL, WallSeconds(oursEnd) - WallSeconds(ours));
    IcsProperty newStart;
    newStart.name = "DTSTART";
    newStart.value = FormatIcsDateTime(kept.year, kept.month, kept.day, ours.seconds);
    IcsProperty duration;
    duration.name = "DURATION";
    duration.value = FormatIcsDuration(length);
    Remove(event, {"DTSTART", "DTEND", "DURATION"});
    event.properties.push_back(std::move(newStart));
    event.properties.push_back(std::move(duration));
}

// Exported dates the server does not exclude yet, leaving out days it
// holds a changed occurrence for.
void AddExclusions(IcsComponent& event, const IcsComponent& from, const std::vector<IcsComponent>& siblings) {
    std::set<std::string> days;
    auto day = [](const std::string& value) { return value.substr(0, 8); };
    for (const IcsProperty* p : event.FindAll("EXDATE")) {
        std::string_view list = p->value;
        while (!list.empty()) {
            const std::size_t comma = list.find(',');
            days.insert(day(std::string(list.substr(0, comma))));
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        }
    }
    for (const IcsComponent& c : siblings)
        if (const IcsProperty* id = c.Find("RECURRENCE-ID"); id != nullptr && c.name == "VEVENT")
            days.insert(day(id->value));
    std::string added;
    if (const IcsProperty* ours = from.Find("EXDATE")) {
        std::string_view list = ours->value;
        while (!list.empty()) {
            const std::size_t comma = list.find(',');
            const std::string item(list.substr(0, comma));
            if (days.insert(day(item)).second) added += (added.empty() ? "" : ",") + item;
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        }
    }
    if (added.empty()) return;
    IcsProperty p;
    p.name = "EXDATE";
    p.value = added;
    event.properties.push_back(std::move(p));
}

void Write(IcsWriter& w, const IcsComponent& c) {
    w.Begin(c.name);
    for (const IcsProperty& p : c.properties) {
        if (p.name == "BEGIN" || p.name == "END") continue;
        std::string name = p.name;
        for (const IcsParam& param : p.params) {
            name += ';';
            name += param.name;
            name += '=';
            for (std::size_t i = 0; i < param.values.size(); ++i) {
                if (i != 0) name += ',';
                name += ParamValue(param.values[i]);
            }
        }
        w.Property(name, p.value);
    }
    for (const IcsComponent& child : c.components) Write(w, child);
    w.End(c.name);
}

}  // namespace

ChangedParts Compare(const EventPrint& synced, const EventPrint& now) {
    auto differs = [&](PrintPart p) { return synced.Part(p) != now.Part(p); };
    ChangedParts c;
    c.title = differs(PrintPart::Title);
    c.note = differs(PrintPart::Note);
    c.times = differs(PrintPart::Times);
    c.alarm = differs(PrintPart::Alarm);
    c.rule = differs(PrintPart::Rule);
    c.exclusions = differs(PrintPart::Exclusions);
    return c;
}

std::string MergeIntoKeptText(std::string_view kept, std::string_view exported, const ChangedParts& changed) {
    IcsReadResult server = ReadIcs(kept);
    const IcsReadResult ours = ReadIcs(exported);
    // A line the reader left out would be lost when the text is written again.
    if (!server.Ok() || !ours.Ok() || server.skippedLines != 0) return {};
    IcsComponent* event = MasterEvent(server.calendars);
    std::vector<IcsComponent> oursCopy = ours.calendars;
    const IcsComponent* from = MasterEvent(oursCopy);
    if (event == nullptr || from == nullptr) return {};

    if (changed.title) Take(*event, *from, {"SUMMARY"});
    if (changed.note) Take(*event, *from, {"DESCRIPTION"});
    if (changed.rule) {
        Take(*event, *from, {"RRULE", "RDATE", "EXRULE", "EXDATE", "DTSTART", "DTEND", "DURATION", "X-ORV-START"});
    } else {
        if (changed.times) {
            if (IsSeries(*event)) TakeTimeOfDay(*event, *from);
            else Take(*event, *from, {"DTSTART", "DTEND", "DURATION"});
        }
        if (changed.exclusions && IsSeries(*event)) {
            for (const IcsComponent& calendar : server.calendars)
                if (std::any_of(calendar.components.begin(), calendar.components.end(),
                                [&](const IcsComponent& c) { return &c == event; }))
                    AddExclusions(*event, *from, calendar.components);
        }
    }
    if (changed.alarm) {
        std::erase_if(event->components, [](const IcsComponent& c) { return c.name == "VALARM"; });
        for (const IcsComponent& c : from->components)
            if (c.name == "VALARM") event->components.push_back(c);
    }
    Take(*event, *from, {"DTSTAMP"});
    IcsWriter w;
    for (const IcsComponent& calendar : server.calendars) Write(w, calendar);
    return w.Result();
}
