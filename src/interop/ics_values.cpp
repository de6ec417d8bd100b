#include "interop/ics_values.h"

#include <charconv>
#include <cstdio>

#include "core/calendar.h"
#include "interop/ics_text.h"

namespace {

constexpr const char* kWeekdayCodes[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& out) {
    if (at + count > text.size()) return false;
    out = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

bool ParseInt(std::string_view text, long long& out) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseInt(std::string_view text, int& out) {
    long long value = 0;
    if (!ParseInt(text, value) || value < -100000 || value > 100000) return false;
    out = static_cast<int>(value);
    return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

int WeekdayFromCode(std::string_view code) {
    for (int i = 0; i < 7; ++i)
        if (code == kWeekdayCodes[i]) return i;
    return -1;
}

bool ParseIntList(std::string_view text, std::vector<int>& out, int lo, int hi) {
    for (std::string_view item : Split(text, ',')) {
        int value = 0;
        if (!ParseInt(item, value) || value == 0 || value < lo || value > hi) return false;
        out.push_back(value);
    }
    return true;
}

}  // namespace

const char* WeekdayCode(int weekdayIndex) { return kWeekdayCodes[((weekdayIndex % 7) + 7) % 7]; }

bool ParseIcsTime(std::string_view text, IcsTime& out) {
    IcsTime t;
    if (!Digits(text, 0, 4, t.year) || !Digits(text, 4, 2, t.month) || !Digits(text, 6, 2, t.day)) return false;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return false;
    if (text.size() == 8) {
        t.dateOnly = true;
    } else {
        int h = 0, m = 0, s = 0;
        if (text.size() < 15 || text[8] != 'T' || !Digits(text, 9, 2, h) || !Digits(text, 11, 2, m) ||
            !Digits(text, 13, 2, s))
            return false;
        // A leap second is read as the last second of its minute.
        if (h > 23 || m > 59 || s > 60) return false;
        t.seconds = h * 3600 + m * 60 + (s == 60 ? 59 : s);
        if (text.size() == 16 && text[15] == 'Z') t.utc = true;
        else if (text.size() != 15) return false;
    }
    out = t;
    return true;
}

std::string ZoneName(std::string_view tzid) { return tzid.empty() ? kEmptyTzid : std::string(tzid); }

bool ParseIcsTime(const IcsProperty& property, IcsTime& out) {
    if (!ParseIcsTime(property.value, out)) return false;
    if (const std::string* tzid = property.Param("TZID"); tzid != nullptr && !out.utc && !out.dateOnly)
        out.tzid = ZoneName(*tzid);
    return true;
}

bool ParseIcsTimeList(const IcsProperty& property, std::vector<IcsTime>& out) {
    const std::string* tzid = property.Param("TZID");
    for (std::string_view item : Split(property.value, ',')) {
        IcsTime t;
        if (!ParseIcsTime(item, t)) return false;
        if (tzid != nullptr && !t.utc && !t.dateOnly) t.tzid = ZoneName(*tzid);
        out.push_back(t);
    }
    return true;
}

std::string FormatIcsDate(int year, int month, int day) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", year, month, day);
    return buffer;
}

std::string FormatIcsDateTime(int year, int month, int day, int seconds, bool utc) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d%02d%02d%s", year, month, day, seconds / 3600,
                  seconds / 60 % 60, seconds % 60, utc ? "Z" : "");
    return buffer;
}

bool ParseIcsDuration(std::string_view text, long long& seconds) {
    long long sign = 1;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        if (text.front() == '-') sign = -1;
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() != 'P') return false;
    text.remove_prefix(1);
    long long total = 0;
    bool inTime = false;
    bool any = false;
    bool anyTime = false;
    while (!text.empty()) {
        if (text.front() == 'T') {
            if (inTime) return false;
            inTime = true;
            text.remove_prefix(1);
            continue;
        }
        std::size_t digits = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
        if (digits == 0 || digits > 9 || digits == text.size()) return false;
        long long n = 0;
        ParseInt(text.substr(0, digits), n);
        const char unit = text[digits];
        text.remove_prefix(digits + 1);
        long long scale = 0;
        if (!inTime && unit == 'W') scale = 7 * 86400;
        else if (!inTime && unit == 'D') scale = 86400;
        else if (inTime && unit == 'H') scale = 3600;
        else if (inTime && unit == 'M') scale = 60;
        else if (inTime && unit == 'S') scale = 1;
        else return false;
        total += n * scale;
        any = true;
        anyTime = inTime;
    }
    if (!any || (inTime && !anyTime)) return false;
    seconds = sign * total;
    return true;
}

std::string FormatIcsDuration(long long seconds) {
    std::string out = seconds < 0 ? "-P" : "P";
    long long s = seconds < 0 ? -seconds : seconds;
    if (s != 0 && s % 86400 == 0) return out + std::to_string(s / 86400) + "D";
    out += "T";
    if (s >= 3600 && s % 3600 == 0) return out + std::to_string(s / 3600) + "H";
    if (s % 60 == 0) return out + std::to_string(s / 60) + "M";
    return out + std::to_string(s) + "S";
}

bool ParseUtcOffset(std::string_view text, int& seconds) {
    if (text.size() != 5 && text.size() != 7) return false;
    if (text[0] != '+' && text[0] != '-') return false;
    int h = 0, m = 0, s = 0;
    if (!Digits(text, 1, 2, h) || !Digits(text, 3, 2, m) || (text.size() == 7 && !Digits(text, 5, 2, s))) return false;
    if (h > 23 || m > 59 || s > 59) return false;
    seconds = (text[0] == '-' ? -1 : 1) * (h * 3600 + m * 60 + s);
    return true;
}

bool ParseRecurRule(std::string_view text, IcsRecurRule& out) {
    IcsRecurRule rule;
    for (std::string_view part : Split(text, ';')) {
        if (part.empty()) continue;
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos) return false;
        const std::string name = UpperAscii(part.substr(0, eq));
        const std::string value = UpperAscii(part.substr(eq + 1));
        if (name == "FREQ") {
            rule.freq = value;
        } else if (name == "INTERVAL") {
            if (!ParseInt(value, rule.interval) || rule.interval < 1) return false;
        } else if (name == "COUNT") {
            if (!ParseInt(value, rule.count) || rule.count < 1) return false;
        } else if (name == "UNTIL") {
            if (!ParseIcsTime(value, rule.until)) return false;
            rule.hasUntil = true;
        } else if (name == "BYDAY") {
            for (std::string_view item : Split(value, ',')) {
                if (item.size() < 2) return false;
                IcsByDay d;
                d.weekday = WeekdayFromCode(item.substr(item.size() - 2));
                item.remove_suffix(2);
                if (d.weekday < 0 || (!item.empty() && (!ParseInt(item, d.ordinal) || d.ordinal == 0 ||
                                                        d.ordinal < -53 || d.ordinal > 53)))
                    return false;
                rule.byDay.push_back(d);
            }
        } else if (name == "BYMONTHDAY") {
            if (!ParseIntList(value, rule.byMonthDay, -31, 31)) return false;
        } else if (name == "BYMONTH") {
            if (!ParseIntList(value, rule.byMonth, 1, 12)) return false;
        } else if (name == "BYYEARDAY") {
            if (!ParseIntList(value, rule.byYearDay, -366, 366)) return false;
        } else if (name == "BYSETPOS") {
            if (!ParseIntList(value, rule.bySetPos, -366, 366)) return false;
        } else if (name == "BYHOUR" || name == "BYMINUTE" || name == "BYSECOND") {
            std::vector<int>& list = name == "BYHOUR" ? rule.byHour : name == "BYMINUTE" ? rule.byMinute : rule.bySecond;
            const int highest = name == "BYHOUR" ? 23 : name == "BYSECOND" ? 60 : 59;
            for (std::string_view item : Split(value, ',')) {
                int n = -1;
                if (!ParseInt(item, n) || n < 0 || n > highest) {
                    list.clear();
                    break;
                }
                list.push_back(n);
            }
            rule.unsupported.push_back(name);
        } else if (name == "WKST") {
            rule.weekStart = WeekdayFromCode(value);
            if (rule.weekStart < 0) return false;
        } else {
            rule.unsupported.push_back(name);
        }
    }
    if (rule.freq.empty() || (rule.count != 0 && rule.hasUntil)) return false;
    out = std::move(rule);
    return true;
}
