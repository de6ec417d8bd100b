// Imports every .ics file of a directory into a fresh store, as a user
// would on the given day, and writes what the calendar then holds: the
// report's counts and, for each event, its UID, its kind, its first
// occurrence and its occurrences on the days asked about (exclusions
// applied), in local time. tests/native/ical_corpus_check.py compares them
// with python3's icalendar readers.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "interop/exchange_id.h"
#include "portable/interop_fixture.h"

namespace {

bool ParseDay(const std::string& text, int& y, int& m, int& d) {
    if (text.size() != 8 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    y = std::stoi(text.substr(0, 4));
    m = std::stoi(text.substr(4, 2));
    d = std::stoi(text.substr(6, 2));
    return true;
}

std::string Stamp(Instant at) {
    LocalFields f;
    if (!BreakDownLocal(at, f)) return "?";
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
    return text;
}

// Tabs and line ends would split the record.
std::string OneField(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

bool Shown(const EventStore& store, const ScheduleItem& item, Instant at) {
    return !store.IsExcluded(item.front.id, DateKeyOf(at), item.front.recurKind);
}

// The first occurrence the calendar shows, or "-".
std::string FirstShown(const EventStore& store, const ScheduleItem& item) {
    const ScheduleFront& f = item.front;
    const Instant last = IsEndless(f) ? kLatestInstant : f.endDate;
    Instant from = f.startDate;
    Instant at = 0;
    for (int guard = 0; guard < 5000 && from <= last && FindOccurrence(item, from, last, &at); ++guard) {
        if (Shown(store, item, at)) return Stamp(at);
        from = EndOfDay(at) + 1;
    }
    return "-";
}

void WriteFile(std::ostream& out, const std::string& name, const std::string& text, Instant importAt,
               long long firstDay, long long endDay) {
    InteropStore s(importAt);
    ImportPlan plan = s.Import(text);
    out << "FILE\t" << name << '\n';
    if (!plan.error.empty()) out << "ERROR\t" << OneField(plan.error) << '\t' << (plan.storeFull ? 1 : 0) << '\n';
    const ImportReport& r = plan.report;
    out << "COUNT\timported\t" << r.imported << "\nCOUNT\tupdated\t" << r.updated << "\nCOUNT\tunknownZones\t"
        << r.unknownZones << "\nCOUNT\tsaveFailures\t" << r.saveFailures << '\n';
    for (const auto& [reason, n] : r.skipped) out << "SKIP\t" << reason << '\t' << n << '\n';
    for (const auto& [reason, n] : r.firstOnly) out << "FIRSTONLY\t" << reason << '\t' << n << '\n';
    const std::set<std::string> follows(r.zoneFollowers.begin(), r.zoneFollowers.end());
    for (const auto& event : s.store.Events()) {
        const std::string uid = event->uid.empty() ? EventUid(*event, InteropStore::kExchangeId) : event->uid;
        out << "EVENT\t" << OneField(uid) << '\t' << static_cast<int>(event->front.recurKind) << '\t'
            << FirstShown(s.store, *event) << '\t';
        const char* gap = "";
        for (long long day = firstDay; day < endDay; ++day) {
            int y = 0, m = 0, d = 0;
            CivilFromDays(day, y, m, d);
            Instant at = 0;
            if (FindOccurrence(*event, Local(y, m, d), Local(y, m, d, 23, 59, 59), &at) && Shown(s.store, *event, at)) {
                out << gap << Stamp(at);
                gap = " ";
            }
        }
        out << '\t' << (follows.count(event->title) != 0 ? 1 : 0) << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    int iy = 0, im = 0, id = 0, fy = 0, fm = 0, fd = 0, ty = 0, tm = 0, td = 0;
    if (argc != 6 || !ParseDay(argv[3], iy, im, id) || !ParseDay(argv[4], fy, fm, fd) || !ParseDay(argv[5], ty, tm, td)) {
        std::cerr << "usage: ical_corpus_import CORPUS-DIR OUT.txt IMPORT-DAY FIRST-DAY END-DAY (YYYYMMDD, end excluded)\n";
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.path().extension() == ".ics") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::cerr << "no .ics files in " << argv[1] << '\n';
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    const Instant importAt = Local(iy, im, id, 12);
    for (const auto& path : files) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        WriteFile(out, path.filename().string(), text.str(), importAt, DaysFromCivil(fy, fm, fd),
                  DaysFromCivil(ty, tm, td));
    }
    out.flush();
    return out ? 0 : 1;
}
