#include "interop/ical_import.h"

#include <algorithm>
#include <climits>
#include <set>

#include "core/calendar.h"
#include "core/local_path.h"
#include "core/occurrence.h"
#include "core/recurrence_days.h"
#include "interop/exchange_id.h"
#include "interop/file_uri.h"
#include "interop/ics_text.h"
#include "interop/ics_values.h"
#include "interop/ics_zone.h"
#include "store/text_trim.h"

namespace r = import_reason;

namespace {

// What the store and the editor keep, in bytes.
constexpr std::size_t kMaxTitle = 50;
constexpr std::size_t kMaxNote = 200;
constexpr std::size_t kMaxPath = 259;
constexpr std::size_t kMaxExcludedPerEvent = 1000;
constexpr long long kMaxCount = 100000;
constexpr std::string_view kNoTitle = "(No title)";
// The earliest day whose midnight every runtime can build in every zone.
const long long kFirstDay = DaysFromCivil(1970, 1, 2);

// A wall-clock time of the local zone.
struct LocalTime {
    long long days = 0;
    int seconds = 0;
    long long Wall() const { return days * 86400 + seconds; }
};

long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

IcsTime FromWall(const IcsTime& like, long long wall) {
    IcsTime t = like;
    CivilFromDays(FloorDiv(wall, 86400), t.year, t.month, t.day);
    t.seconds = static_cast<int>(wall - FloorDiv(wall, 86400) * 86400);
    return t;
}

bool IsUtcName(std::string_view tzid) {
    const std::string name = UpperAscii(tzid);
    return name == "UTC" || name == "GMT" || name == "Z" || name == "ETC/UTC" || name == "ETC/GMT";
}

bool MidnightOf(long long days, int seconds, Instant& out) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    return TryMakeLocalTime(y, m, d, seconds / 3600, seconds / 60 % 60, seconds % 60, out);
}

DateKey KeyOfDays(long long days) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    return MakeDateKey(y, m, d);
}

int MinMonthLength(int month) { return month == 2 ? 28 : DaysInMonth(2001, month); }

// The day of the month a BYMONTHDAY (and BYSETPOS) names, as our rules
// store it: a day every month has, 31 for the last day (our rule lowers it
// to the month's length), or the last of a run of days from one every
// month has; 0 when it is none of these.
int RuleMonthDay(const IcsRecurRule& rule, int minLength) {
    const std::vector<int>& days = rule.byMonthDay;
    if (days.size() == 1 && rule.bySetPos.empty()) {
        if (days[0] == -1) return 31;
        return days[0] >= 1 && days[0] <= minLength ? days[0] : 0;
    }
    if (days.size() < 2 || rule.bySetPos != std::vector<int>{-1} || days.front() < 1 || days.front() > minLength)
        return 0;
    for (std::size_t i = 1; i < days.size(); ++i)
        if (days[i] != days[i - 1] + 1) return 0;
    return days.back() <= 31 ? days.back() : 0;
}

// The n-th weekday a BYDAY (and BYSETPOS) names as our pattern byte
// ((n-th index << 4) | weekday), or -1.
int RuleNthWeekday(const IcsRecurRule& rule) {
    if (rule.byDay.size() != 1 || !rule.byMonthDay.empty()) return -1;
    int ordinal = rule.byDay[0].ordinal;
    if (ordinal == 0 && rule.bySetPos.size() == 1) ordinal = rule.bySetPos[0];
    else if (!rule.bySetPos.empty()) return -1;
    if (ordinal == -1) ordinal = 5;
    if (ordinal < 1 || ordinal > 5 || (ordinal == 5 && rule.byDay[0].ordinal != -1 && rule.bySetPos != std::vector<int>{-1}))
        return -1;
    return (ordinal - 1) << 4 | rule.byDay[0].weekday;
}

// One of our rules as stored, starting on a calendar day that may lie before 1970.
struct MappedRule {
    std::uint8_t kind = 0;
    std::uint16_t pattern = 0;
    int interval = 1;
    long long startDays = 0;

    RecurrenceDays Days() const { return RecurrenceDays::FromDays(kind, pattern, interval, startDays); }
};

// An RRULE as one of our rules. The rule's days are those of DTSTART's own
// zone (source); `shift` is how many days the local date lies after it.
// Returns the reason when the rule has no exact form here.
const char* MapRule(const IcsRecurRule& rr, const IcsTime& source, long long shift, long long localStart,
                    MappedRule& out, std::vector<long long>& preExcluded) {
    if (!rr.unsupported.empty() || rr.interval > 200) return r::kRule;
    out = MappedRule{};
    out.interval = rr.interval;
    out.startDays = localStart;
    const int sourceWeekday = WeekdayIndexOfDays(DaysFromCivil(source.year, source.month, source.day));
    std::string freq = rr.freq;
    // Every weekday of a list, daily, is weekly on those days.
    if (freq == "DAILY" && !rr.byDay.empty() && rr.interval == 1) freq = "WEEKLY";
    if (freq == "DAILY") {
        if (!rr.byDay.empty() || !rr.byMonthDay.empty() || !rr.byMonth.empty() || !rr.bySetPos.empty()) return r::kRule;
        out.kind = kKindDaily;
        return nullptr;
    }
    if (freq == "WEEKLY") {
        if (!rr.byMonthDay.empty() || !rr.byMonth.empty() || !rr.bySetPos.empty()) return r::kRule;
        int mask = 0;
        for (const IcsByDay& d : rr.byDay) {
            if (d.ordinal != 0) return r::kRule;
            mask |= 1 << ((d.weekday + shift % 7 + 7) % 7);
        }
        if (mask == 0) mask = 1 << ((sourceWeekday + shift % 7 + 7) % 7);
        out.kind = kKindWeekly;
        out.pattern = static_cast<std::uint16_t>(mask);
        if (rr.interval > 1) {
            // Our weeks begin on the start date's weekday, the file's on
            // WKST: start on the file's first week day and leave out what
            // that week holds before DTSTART.
            const int weekStart = static_cast<int>((rr.weekStart + shift % 7 + 7) % 7);
            const long long back = (WeekdayIndexOfDays(localStart) - weekStart + 7) % 7;
            RecurrenceDays::FromDays(out.kind, out.pattern, out.interval, localStart - back)
                .ForEachIn(localStart - back, localStart - 1, [&](long long d) { preExcluded.push_back(d); });
            if (!preExcluded.empty()) out.startDays = localStart - back;
        }
        return nullptr;
    }
    const bool monthly = freq == "MONTHLY";
    if (!monthly && freq != "YEARLY") return r::kRule;
    if (monthly ? !rr.byMonth.empty() : rr.byMonth.size() > 1) return r::kRule;
    const int month = monthly ? 0 : (rr.byMonth.empty() ? source.month : rr.byMonth[0]);
    const int minLength = monthly ? 28 : MinMonthLength(month);
    int day = 0;
    int nth = -1;
    if (rr.byDay.empty() && rr.byMonthDay.empty()) {
        if (!rr.bySetPos.empty()) return r::kRule;
        day = source.day;
        if (day > minLength) return r::kMissingDay;
    } else if (rr.byDay.empty()) {
        if (!monthly && rr.byMonth.empty()) return r::kRule;  // every month's day, yearly
        day = RuleMonthDay(rr, minLength);
        if (day == 0) return rr.byMonthDay.size() == 1 && rr.byMonthDay[0] > 0 ? r::kMissingDay : r::kRule;
    } else {
        if (!monthly && rr.byMonth.empty()) return r::kRule;  // a weekday of the year
        nth = RuleNthWeekday(rr);
        if (nth < 0) return rr.byDay.size() == 1 && rr.byDay[0].ordinal == 5 ? r::kMissingDay : r::kRule;
    }
    if (shift != 0) {
        // A day of the month moved by the zone stays a rule only well inside the month.
        if (nth >= 0 || day > 28 || day + shift < 1 || day + shift > 28) return r::kZoneShift;
        day += static_cast<int>(shift);
    }
    const int low = nth >= 0 ? nth : day;
    out.kind = monthly ? (nth >= 0 ? kKindMonthlyNth : kKindMonthlyDay) : (nth >= 0 ? kKindYearlyNth : kKindYearlyDate);
    out.pattern = static_cast<std::uint16_t>(month << 8 | low);
    return nullptr;
}

// What the repeat rule of one event becomes.
struct SeriesPlan {
    bool series = false;
    const char* firstOnly = nullptr;  // why only the first occurrence is kept
    MappedRule rule;
    std::vector<long long> preExcluded;
    long long lastDay = LLONG_MAX;  // endless
};

class Mapper {
public:
    Mapper(const TextCodec& codec, ImportReport& report, Instant windowStart, Instant windowEnd)
        : codec_(codec), report_(report), windowStart_(windowStart), windowEnd_(windowEnd) {}

    std::map<std::string, IcsZone> zones;

    // The event as ours, or the reason it is skipped. uidKey is set first.
    const char* Map(const IcsComponent& event, PlannedEvent& out, std::string& uidKey);

private:
    bool ToLocal(const IcsTime& t, LocalTime& out);
    std::string Ansi(std::string_view utf8, std::size_t max);
    std::string Path(std::string_view utf8);
    // The path when `allowed` takes it, else empty and counted; `named`
    // counts a reference that gave no path at all (a web address).
    std::string LocalPath(std::string_view utf8, bool (*allowed)(std::string_view), bool named = false);
    void ReadAlarm(const IcsComponent& event, const LocalTime& first, const LocalTime& end, ScheduleItem& item);
    LocalTime ReadEnd(const IcsComponent& event, const IcsTime& start, const LocalTime& first);
    const char* ReadSeries(const IcsComponent& event, const IcsTime& start, const LocalTime& first, SeriesPlan& plan);
    static const char* ReadFront(const SeriesPlan& plan, const LocalTime& first, const LocalTime& end,
                                 ScheduleFront& f);
    const char* ReadExclusions(const IcsComponent& event, const IcsTime& start, const LocalTime& first,
                               const SeriesPlan& plan, std::set<DateKey>& excluded);
    void ReadTexts(const IcsComponent& event, ScheduleItem& item);

    const TextCodec& codec_;
    ImportReport& report_;
    Instant windowStart_;
    Instant windowEnd_;
    bool unknownZone_ = false;
};

bool Mapper::ToLocal(const IcsTime& t, LocalTime& out) {
    const long long wall = WallSeconds(t);
    long long instant = wall;
    bool absolute = t.utc;
    if (!t.tzid.empty()) {
        if (auto zone = zones.find(t.tzid); zone != zones.end()) {
            instant = wall - zone->second.OffsetAt(wall);
            absolute = true;
        } else if (IsUtcName(t.tzid)) {
            absolute = true;
        } else {
            unknownZone_ = true;
        }
    }
    if (!absolute) {
        out = {DaysFromCivil(t.year, t.month, t.day), t.seconds};
        return true;
    }
    LocalFields f;
    if (instant < kEarliestInstant || instant > kLatestInstant || !BreakDownLocal(instant, f)) return false;
    out = {DaysFromCivil(f.year, f.month, f.day), f.hour * 3600 + f.minute * 60 + f.second};
    return true;
}

std::string Mapper::Ansi(std::string_view utf8, std::size_t max) {
    std::size_t replaced = 0;
    std::string ansi = codec_.FromUtf8(utf8, replaced);
    if (ansi.size() > max) {
        ++report_.shortened;
        // Every character takes at least one byte: no more than `max` of them
        // fit; then drop whole characters until the bytes fit too.
        std::size_t cut = 0;
        for (std::size_t chars = 0; cut < utf8.size() && chars < max; ++chars)
            for (++cut; cut < utf8.size() && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80;) ++cut;
        for (;;) {
            replaced = 0;
            ansi = codec_.FromUtf8(utf8.substr(0, cut), replaced);
            if (ansi.size() <= max) break;
            while (cut > 0 && (static_cast<unsigned char>(utf8[--cut]) & 0xC0) == 0x80) {
            }
        }
    }
    report_.replacedCharacters += replaced;
    return ansi;
}

std::string Mapper::Path(std::string_view utf8) {
    std::size_t replaced = 0;
    std::string path = codec_.FromUtf8(utf8, replaced);
    // A path cut short names another file: leave it out.
    if (path.size() > kMaxPath) {
        ++report_.shortened;
        return {};
    }
    report_.replacedCharacters += replaced;
    return path;
}

std::string Mapper::LocalPath(std::string_view utf8, bool (*allowed)(std::string_view), bool named) {
    std::string path = Path(utf8);  // empty when too long, and counted then
    if (path.empty() ? named : !allowed(path)) {
        ++report_.refusedPaths;
        return {};
    }
    return path;
}

void Mapper::ReadAlarm(const IcsComponent& event, const LocalTime& first, const LocalTime& end, ScheduleItem& item) {
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
            ++report_.launchesLeftOff;
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

// The end of the first occurrence, as ours.
LocalTime Mapper::ReadEnd(const IcsComponent& event, const IcsTime& start, const LocalTime& first) {
    LocalTime end = first;
    bool hasEnd = false;
    IcsTime endTime;
    long long duration = 0;
    if (const IcsProperty* p = event.Find("DTEND"); p != nullptr && ParseIcsTime(*p, endTime)) {
        hasEnd = ToLocal(endTime, end);
    } else if (const IcsProperty* d = event.Find("DURATION"); d != nullptr && ParseIcsDuration(d->value, duration)) {
        hasEnd = ToLocal(FromWall(start, WallSeconds(start) + std::max(0LL, duration)), end);
    }
    if (start.dateOnly) {
        // Whole days: the end names the day after the last one.
        end.days = hasEnd ? std::max(first.days, end.days - 1) : first.days;
        end.seconds = 86399;
    } else if (!hasEnd || end.Wall() < first.Wall()) {
        end = first;
    }
    return end;
}

// The repeat rule, when it has one of our forms; the reason to skip the
// event, or null.
const char* Mapper::ReadSeries(const IcsComponent& event, const IcsTime& start, const LocalTime& first,
                               SeriesPlan& plan) {
    const std::vector<const IcsProperty*> rrules = event.FindAll("RRULE");
    IcsRecurRule rr;
    if (rrules.size() > 1 || event.Find("RDATE") != nullptr || event.Find("EXRULE") != nullptr) {
        plan.firstOnly = r::kExtraDates;
    } else if (!rrules.empty()) {
        if (!ParseRecurRule(rrules[0]->value, rr)) {
            plan.firstOnly = r::kRule;
        } else {
            const long long sourceDays = DaysFromCivil(start.year, start.month, start.day);
            plan.firstOnly = MapRule(rr, start, first.days - sourceDays, first.days, plan.rule, plan.preExcluded);
        }
        plan.series = plan.firstOnly == nullptr;
    }
    if (plan.series) {
        long long firstDay = 0;
        if (!plan.rule.Days().FirstIn(first.days, LLONG_MAX, firstDay)) return r::kNoOccurrence;
        if (rr.count != 0) {
            plan.lastDay = plan.rule.Days().Nth(firstDay, std::min(rr.count, kMaxCount));
        } else if (rr.hasUntil) {
            IcsTime until = rr.until;
            if (!until.utc && !until.dateOnly) until.tzid = start.tzid;
            LocalTime u;
            if (ToLocal(until, u)) plan.lastDay = u.days - (!until.dateOnly && u.seconds < first.seconds ? 1 : 0);
            else if (until.year < 1970) plan.lastDay = kFirstDay - 1;
        }
        if (plan.lastDay < firstDay) return r::kNoOccurrence;
        if (plan.lastDay < kFirstDay) return r::kOver;
        if (plan.rule.startDays < kFirstDay) {
            plan.rule.startDays = plan.rule.Days().PeriodStartFrom(kFirstDay);
            plan.preExcluded.clear();
        }
        // The start date this program wrote when it was not an occurrence.
        IcsTime written;
        if (const IcsProperty* p = event.Find("X-ORV-START"); p != nullptr && ParseIcsTime(p->value, written)) {
            MappedRule stored = plan.rule;
            stored.startDays = DaysFromCivil(written.year, written.month, written.day);
            long long storedFirst = 0;
            if (stored.startDays >= kFirstDay && stored.startDays <= first.days &&
                stored.Days().FirstIn(stored.startDays, LLONG_MAX, storedFirst) && storedFirst == firstDay &&
                stored.Days().Nth(firstDay, 8) == plan.rule.Days().Nth(firstDay, 8)) {
                plan.rule = stored;
                plan.preExcluded.clear();
            }
        }
    }
    return nullptr;
}

// The stored dates, times and rule; the reason to skip the event, or null.
const char* Mapper::ReadFront(const SeriesPlan& plan, const LocalTime& first, const LocalTime& end,
                              ScheduleFront& f) {
    Instant startDate = 0;
    if (!MidnightOf(plan.series ? plan.rule.startDays : first.days, 0, startDate) || startDate > kLastStorableInstant)
        return r::kOutOfRange;
    f.startDate = static_cast<std::uint32_t>(startDate);
    f.startTime = first.seconds;
    f.endTime = end.seconds;
    Instant endDate = 0;
    if (plan.series) {
        f.recurKind = plan.rule.kind;
        f.recurPattern = plan.rule.pattern;
        f.recurInterval = static_cast<std::uint8_t>(plan.rule.interval);
        if (plan.lastDay == LLONG_MAX || !MidnightOf(plan.lastDay, 86399, endDate) || endDate > kLastStorableInstant) {
            f.recurFlags = 1;
            endDate = EndOfDay(startDate);
        }
    } else {
        f.recurKind = kKindNone;
        if (!MidnightOf(end.days, 86399, endDate) || endDate > kLastStorableInstant) return r::kOutOfRange;
    }
    f.endDate = static_cast<std::uint32_t>(endDate);
    return nullptr;
}

// Excluded dates: those that are occurrences; for a single event, its own
// day, which leaves nothing to import (the reason, else null).
const char* Mapper::ReadExclusions(const IcsComponent& event, const IcsTime& start, const LocalTime& first,
                                   const SeriesPlan& plan, std::set<DateKey>& excluded) {
    for (long long d : plan.preExcluded) excluded.insert(KeyOfDays(d));
    for (const IcsProperty* p : event.FindAll("EXDATE")) {
        std::vector<IcsTime> dates;
        if (!ParseIcsTimeList(*p, dates)) continue;
        for (IcsTime t : dates) {
            if (!t.utc && !t.dateOnly && t.tzid.empty()) t.tzid = start.tzid;
            LocalTime local;
            if (!ToLocal(t, local)) continue;
            if (!plan.series && local.days == first.days) return r::kNoOccurrence;
            if (plan.series && excluded.size() < kMaxExcludedPerEvent && local.days >= plan.rule.startDays &&
                plan.rule.Days().Occurs(local.days))
                excluded.insert(KeyOfDays(local.days));
        }
    }
    return nullptr;
}

void Mapper::ReadTexts(const IcsComponent& event, ScheduleItem& item) {
    const IcsProperty* summary = event.Find("SUMMARY");
    std::string title = summary != nullptr ? TrimSpace(Ansi(UnescapeText(summary->value), kMaxTitle)) : std::string();
    item.title = title.empty() ? std::string(kNoTitle) : title;
    if (const IcsProperty* d = event.Find("DESCRIPTION")) {
        std::string note;
        for (char c : UnescapeText(d->value)) note += c == '\n' ? std::string("\r\n") : std::string(1, c);
        item.note = TrimSpace(Ansi(note, kMaxNote));
    }
}

const char* Mapper::Map(const IcsComponent& event, PlannedEvent& out, std::string& uidKey) {
    const IcsProperty* dtstart = event.Find("DTSTART");
    const IcsProperty* summary = event.Find("SUMMARY");
    const IcsProperty* uid = event.Find("UID");
    const std::string uidText = uid != nullptr ? UnescapeText(uid->value) : std::string();
    // Without a UID, the same start and title are the same event.
    uidKey = !uidText.empty() ? UidKey(uidText)
                              : UidKey("~" + (dtstart ? dtstart->value : "") + "\n" + (summary ? summary->value : ""));
    if (event.Find("RECURRENCE-ID") != nullptr) return r::kChangedOccurrence;
    if (const IcsProperty* status = event.Find("STATUS"); status != nullptr && UpperAscii(status->value) == "CANCELLED")
        return r::kCancelled;
    IcsTime start;
    if (dtstart == nullptr || !ParseIcsTime(*dtstart, start)) return r::kNoStart;
    unknownZone_ = false;
    LocalTime first;
    if (!ToLocal(start, first)) return r::kOutOfRange;

    const LocalTime end = ReadEnd(event, start, first);
    SeriesPlan plan;
    if (const char* skip = ReadSeries(event, start, first, plan)) return skip;
    auto item = std::make_unique<ScheduleItem>();
    ScheduleFront& f = item->front;
    if (const char* skip = ReadFront(plan, first, end, f)) return skip;
    std::set<DateKey> excluded;
    if (const char* skip = ReadExclusions(event, start, first, plan, excluded)) return skip;
    if (f.startDate >= windowEnd_) return r::kTooFarAhead;
    if (!IsEndless(f) && f.endDate < windowStart_) return r::kOver;
    if (plan.series && !FindOccurrence(*item, f.startDate, IsEndless(f) ? kLatestInstant : f.endDate, nullptr))
        return r::kNoOccurrence;

    // Texts last: only events that come in count their replaced characters.
    ReadTexts(event, *item);
    ReadAlarm(event, first, end, *item);
    item->uid = uidKey;
    if (unknownZone_) ++report_.unknownZones;
    if (plan.firstOnly != nullptr) ++report_.firstOnly[plan.firstOnly];
    out.item = std::move(item);
    out.exclusions.assign(excluded.begin(), excluded.end());
    return nullptr;
}

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

}  // namespace

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
        text += "\n" + Counted(first, "event", "events") + " kept as the first occurrence only: " +
                Reasons(firstOnly, "with ") + ".";
    if (replacedCharacters > 0)
        text += "\n" + Counted(static_cast<int>(replacedCharacters), "character", "characters") +
                " that Windows cannot show in its code page became \"?\".";
    if (shortened > 0)
        text += "\n" + Counted(shortened, "title, note or file name was", "titles, notes or file names were") +
                " too long and shortened or left out.";
    if (unknownZones > 0)
        text += "\n" + Counted(unknownZones, "event", "events") +
                " in a time zone the file does not describe kept the times as written.";
    if (launchesLeftOff > 0)
        text += "\n" + Counted(launchesLeftOff, "event", "events") + " asked to open a program at " +
                (launchesLeftOff == 1 ? "its reminder" : "their reminders") +
                "; that was left off: switch it on in the editor if you trust it.";
    if (refusedPaths > 0)
        text += "\n" + Counted(refusedPaths, "sound or program path was", "sound or program paths were") +
                " left out: only files on this computer are kept, and only WAV files as sounds.";
    if (unreadLines > 0)
        text += "\n" + Counted(static_cast<int>(unreadLines), "line could not be read and was skipped.",
                               "lines could not be read and were skipped.");
    if (saveFailures > 0) text += "\n" + Counted(saveFailures, "event", "events") + " could not be saved.";
    return text;
}

ImportPlan PlanImport(std::string_view fileText, EventStore& store, const TextCodec& codec, const Clock& clock,
                      std::string_view exchangeId, const IcsLimits& limits) {
    store.FinishLoad();  // matching goes by the "uid" values
    ImportPlan plan;
    IcsReadResult read = ReadIcs(fileText, limits);
    if (!read.Ok()) {
        plan.error = read.error;
        return plan;
    }
    plan.report.unreadLines = read.skippedLines;
    Instant windowStart = 0;
    Instant windowEnd = 0;
    GetRollingWindow(clock, windowStart, windowEnd);
    Mapper mapper(codec, plan.report, windowStart, windowEnd);
    for (const IcsComponent& calendar : read.calendars) {
        for (const IcsComponent& c : calendar.components) {
            const IcsProperty* tzid = c.Find("TZID");
            IcsZone zone;
            if (c.name == "VTIMEZONE" && tzid != nullptr && IcsZone::FromComponent(c, zone))
                mapper.zones[ZoneName(tzid->value)] = std::move(zone);
        }
    }
    std::map<std::string, std::uint32_t> known;
    for (const auto& event : store.Events()) known[UidKey(EventUid(*event, exchangeId))] = event->front.id;
    std::set<std::string> seen;
    int fresh = 0;
    for (const IcsComponent& calendar : read.calendars) {
        for (const IcsComponent& c : calendar.components) {
            if (c.name != "VEVENT") continue;
            PlannedEvent planned;
            std::string uidKey;
            const char* skip = mapper.Map(c, planned, uidKey);
            if (skip == nullptr && !seen.insert(uidKey).second) skip = r::kDuplicate;
            if (skip != nullptr) {
                ++plan.report.skipped[skip];
                continue;
            }
            if (auto match = known.find(uidKey); match != known.end()) {
                planned.replaces = match->second;
                // One of this installation's own events keeps its key as it was.
                const ScheduleItem* mine = store.FindEvent(match->second);
                if (mine != nullptr && mine->uid.empty()) planned.item->uid.clear();
                ++plan.report.updated;
            } else {
                ++fresh;
                ++plan.report.imported;
            }
            plan.events.push_back(std::move(planned));
        }
    }
    const std::size_t room = kMaxEvents - std::min(kMaxEvents, store.Count());
    if (static_cast<std::size_t>(fresh) > room) {
        plan.error = "The file holds " + Counted(fresh, "new event", "new events") +
                     ", but the calendar has room for only " + std::to_string(room) + " more (it keeps at most " +
                     std::to_string(kMaxEvents) + "). Nothing was imported.";
        plan.events.clear();
        plan.storeFull = true;
    }
    return plan;
}

void ApplyImport(ImportPlan& plan, EventStore& store) {
    if (!plan.error.empty()) return;
    bool excluded = false;
    for (PlannedEvent& planned : plan.events) {
        std::uint32_t id = planned.replaces;
        if (id == 0) id = store.NextEventId();
        planned.item->front.id = id;
        const std::uint8_t kind = planned.item->front.recurKind;
        if (!store.SaveEvent(planned.item, true, true)) ++plan.report.saveFailures;
        if (store.FindEvent(id) == nullptr) continue;
        store.RemoveExclusions(id);
        for (DateKey key : planned.exclusions)
            store.ToggleExclusion(id, static_cast<int>(key >> 16), (key >> 8) & 0xFF, key & 0xFF, kind);
        excluded = excluded || !planned.exclusions.empty() || planned.replaces != 0;
    }
    if (excluded) store.WriteExclusions();
}
