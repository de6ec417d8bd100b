#include "quickadd/quick_add.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "core/calendar.h"
#include "core/locale_names.h"
#include "core/recurrence_days.h"
#include "quickadd/quick_add_words.h"
#include "store/text_trim.h"

namespace {

constexpr int kMaxInterval = 200;  // the recurrence dialog's bound
constexpr int kMaxRemind = 999;    // the editor's bound
constexpr std::string_view kDashes[] = {"\xE2\x80\x93", "\xE2\x80\x94"};  // en and em dash
// Counts past which any end lies after the last storable day, one day apart at least.
constexpr int kMaxCount = 99999;

struct Token {
    std::string raw;   // as typed, for the title
    std::string word;  // lowered, without trailing commas and semicolons
    bool glued = false;  // typed without a space before it ("3–7")
    bool taken = false;
};

bool IsDash(std::string_view w) {
    return w == "-" || w == kDashes[0] || w == kDashes[1];
}

// Splits "3-7" and "3–7" into the day, the dash and the day.
void SplitRange(const std::string& raw, std::vector<std::pair<std::string, bool>>& out) {
    for (std::string_view dash : {std::string_view("-"), kDashes[0], kDashes[1]}) {
        const std::size_t at = raw.find(dash);
        if (at == std::string::npos || at == 0 || at + dash.size() >= raw.size()) continue;
        const std::string left = raw.substr(0, at), right = raw.substr(at + dash.size());
        if (DayOfWord(left, false) > 0 && right.find_first_of("-/.:") == std::string::npos &&
            std::isdigit(static_cast<unsigned char>(right[0]))) {
            out.emplace_back(left, false);
            out.emplace_back(std::string(dash), true);
            out.emplace_back(right, true);
            return;
        }
    }
    out.emplace_back(raw, false);
}

// Control characters (a pasted line break, a zero from a command line)
// separate words like spaces: a stored title cannot keep them.
bool IsSeparator(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ' '; }

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<std::pair<std::string, bool>> raws;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSeparator(line[i])) ++i;
        const std::size_t begin = i;
        while (i < line.size() && !IsSeparator(line[i])) ++i;
        if (i > begin) SplitRange(std::string(line.substr(begin, i - begin)), raws);
    }
    std::vector<Token> tokens;
    for (auto& [raw, glued] : raws) {
        Token t;
        t.glued = glued;
        t.word = raw;
        for (char& c : t.word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        while (!t.word.empty() && (t.word.back() == ',' || t.word.back() == ';')) t.word.pop_back();
        t.raw = std::move(raw);
        tokens.push_back(std::move(t));
    }
    return tokens;
}

// A date as the line names it, resolved against a day later.
struct DateSpec {
    enum Kind { None, Offset, Weekday, Civil, MonthOnly, NthWeekday } kind = None;
    int offset = 0;  // Offset: days after today
    int year = 0;    // Civil and MonthOnly: 0 when not named
    int month = 0;
    int day = 0;
    int weekday = 0;
    bool next = false;  // "next Friday": the Friday of next week
    int nth = 0;
};

struct Rule {
    RecurClass cls = RecurClass::None;
    int interval = 1;
    int mask = 0;       // weekly; 0: the start's weekday
    int day = 0;        // monthly on a day; 0: the start's day
    int nth = -1;       // monthly on an n-th weekday
    int weekday = 0;
};

struct Said {
    DateSpec date;
    DateSpec until;
    std::optional<int> time;  // seconds after midnight
    Rule rule;
    SpanUnit forUnit = SpanUnit::None;
    int forCount = 0;
    int times = 0;  // "10 times"
    std::optional<int> remind;
    std::string reason;
};

class LineReader {
public:
    LineReader(std::vector<Token>& tokens, DateOrder order) : t_(tokens), order_(order) {}

    void Read() {
        for (std::size_t i = 0; i < t_.size();) {
            std::size_t n = Remind(i);
            if (n == 0) n = RuleAt(i);
            if (n == 0) n = End(i);
            if (n == 0) n = Dates(i);
            if (n == 0) n = TimeAt(i);
            if (n == 0) {
                i = W(i) == "every" ? Unread(i + 1) : i + 1;
                continue;
            }
            for (std::size_t k = i; k < i + n; ++k) t_[k].taken = true;
            i += n;
        }
    }

    Said said;

private:
    const std::string& W(std::size_t i) const { return i < t_.size() ? t_[i].word : empty_; }
    const std::string& Raw(std::size_t i) const { return i < t_.size() ? t_[i].raw : empty_; }

    void Refuse(std::string reason) {
        if (said.reason.empty()) said.reason = std::move(reason);
    }

    // "remind 30 min", "remind me 1 hour before", "reminder 15 minutes", "no reminder".
    std::size_t Remind(std::size_t i) {
        if (said.remind) return 0;
        if (W(i) == "no" && (W(i + 1) == "reminder" || W(i + 1) == "remind")) {
            said.remind = 0;
            return 2;
        }
        if (W(i) != "remind" && W(i) != "reminder") return 0;
        std::size_t j = i + 1;
        if (W(j) == "me") ++j;
        int count = CountOfWord(W(j));
        int unit = MinutesOfUnit(W(j + 1));
        std::size_t used = 2;
        if (count < 0) {  // "30min", "1h"
            const std::string& w = W(j);
            const std::size_t digits = w.find_first_not_of("0123456789");
            if (digits == 0 || digits == std::string::npos) return 0;
            count = CountOfWord(w.substr(0, digits));
            unit = MinutesOfUnit(std::string_view(w).substr(digits));
            used = 1;
        }
        if (count < 0 || unit == 0) return 0;
        j += used;
        if (W(j) == "before" || W(j) == "earlier" || W(j) == "ahead") ++j;
        const long long minutes = static_cast<long long>(count) * unit;
        if (minutes > kMaxRemind) Refuse("A reminder can come at most 999 minutes before.");
        said.remind = static_cast<int>(std::min<long long>(minutes, kMaxRemind));
        return j - i;
    }

    // The words after an "every" it could not read ("every 2nd Tuesday")
    // stay with it in the title rather than make a one-off of their own.
    std::size_t Unread(std::size_t j) const {
        while (j < t_.size()) {
            const std::string& w = W(j);
            if (CountOfWord(w) < 0 && NthOfWord(w) < 0 && DayOfWord(w, true) < 0 && WeekdayOfName(w) < 0 &&
                WeekdayOfAbbreviation(w) < 0 && SpanUnitOfWord(w) == SpanUnit::None && w != "and" && w != "other")
                break;
            ++j;
        }
        return j;
    }

    // A list of weekdays: "Monday and Thursday", "Mon, Wed, Fri".
    std::size_t Weekdays(std::size_t i, int& mask) const {
        std::size_t j = i;
        mask = 0;
        while (true) {
            int wd = WeekdayOfName(W(j));
            if (wd < 0) wd = WeekdayOfAbbreviation(W(j));
            if (wd < 0) break;
            mask |= 1 << wd;
            ++j;
            const bool joined = W(j) == "and" || W(j) == "&" || W(j) == ",";
            int nextDay = WeekdayOfName(W(j + 1));
            if (nextDay < 0) nextDay = WeekdayOfAbbreviation(W(j + 1));
            if (joined && nextDay >= 0) ++j;
        }
        return j - i;
    }

    std::size_t Interval(std::size_t j, int& interval) const {
        if (W(j) == "other") {
            interval = 2;
            return 1;
        }
        const int n = CountOfWord(W(j));
        if (n < 0 || W(j) == "a" || W(j) == "an") return 0;
        interval = n;
        return 1;
    }

    // "of every month", "of the month", "of every 2 months": the unit after
    // an n-th weekday or a day; 0 when none follows.
    std::size_t MonthUnit(std::size_t j, int& interval) const {
        if (W(j) != "of") return 0;
        if ((W(j + 1) == "the" || W(j + 1) == "each") && W(j + 2) == "month") return 3;
        if (W(j + 1) != "every") return 0;
        std::size_t k = j + 2;
        k += Interval(k, interval);
        const SpanUnit unit = SpanUnitOfWord(W(k));
        return unit == SpanUnit::Month ? k + 1 - j : 0;
    }

    bool SetRule(const Rule& rule) {
        if (said.rule.cls != RecurClass::None) return false;
        said.rule = rule;
        if (rule.interval < 1 || rule.interval > kMaxInterval) Refuse("Repeat every 1 to 200 days, weeks, months or years.");
        return true;
    }

    std::size_t RuleAt(std::size_t i) {
        if (said.rule.cls != RecurClass::None) return 0;
        Rule rule;
        const std::string& w = W(i);
        std::size_t j = i + 1;
        if (w == "daily") {
            rule.cls = RecurClass::Daily;
        } else if (w == "weekly") {
            rule.cls = RecurClass::Weekly;
        } else if (w == "monthly") {
            rule.cls = RecurClass::Monthly;
        } else if (w == "yearly" || w == "annually") {
            rule.cls = RecurClass::Yearly;
        } else if (w == "every") {
            const std::size_t counted = Interval(j, rule.interval);
            const SpanUnit unit = SpanUnitOfWord(W(j + counted));
            int mask = 0;
            if (unit != SpanUnit::None) {
                j += counted + 1;
                rule.cls = unit == SpanUnit::Day     ? RecurClass::Daily
                           : unit == SpanUnit::Week  ? RecurClass::Weekly
                           : unit == SpanUnit::Month ? RecurClass::Monthly
                                                     : RecurClass::Yearly;
            } else if (counted == 0 && (W(j) == "weekday" || W(j) == "weekdays")) {
                rule.cls = RecurClass::Weekly;
                rule.mask = 0x3E;
                ++j;
            } else if (counted == 0 && (W(j) == "weekend" || W(j) == "weekends")) {
                rule.cls = RecurClass::Weekly;
                rule.mask = 0x41;
                ++j;
            } else if (const std::size_t n = counted == 0 ? Weekdays(j, mask) : 0) {
                rule.cls = RecurClass::Weekly;
                rule.mask = mask;
                j += n;
            } else if (counted == 0 && NthOfWord(W(j)) >= 0 && WeekdayOfName(W(j + 1)) >= 0) {
                // "every last Friday [of the month]"
                rule.cls = RecurClass::Monthly;
                rule.nth = NthOfWord(W(j));
                rule.weekday = WeekdayOfName(W(j + 1));
                j += 2;
                // "every 2nd Tuesday" may mean every other one: only the month makes it an n-th.
                const std::size_t unit = MonthUnit(j, rule.interval);
                if (unit == 0 && rule.nth != 4) return 0;
                j += unit;
            } else if (counted == 0 && DayOfWord(W(j), true) > 0) {
                // "every 15th [of the month]"
                rule.cls = RecurClass::Monthly;
                rule.day = DayOfWord(W(j), true);
                ++j;
                j += MonthUnit(j, rule.interval);
            } else {
                return 0;
            }
        } else {
            return OnNthOf(i);
        }
        // What a weekly or monthly rule says of its days.
        if (rule.cls == RecurClass::Weekly && rule.mask == 0 && W(j) == "on") {
            int mask = 0;
            if (const std::size_t n = Weekdays(j + 1, mask)) {
                rule.mask = mask;
                j += 1 + n;
            }
        } else if (rule.cls == RecurClass::Monthly && rule.day == 0 && rule.nth < 0 && W(j) == "on") {
            const std::size_t k = W(j + 1) == "the" ? j + 2 : j + 1;
            if (DayOfWord(W(k), true) > 0) {
                rule.day = DayOfWord(W(k), true);
                j = k + 1;
            } else if (NthOfWord(W(k)) >= 0 && WeekdayOfName(W(k + 1)) >= 0) {
                rule.nth = NthOfWord(W(k));
                rule.weekday = WeekdayOfName(W(k + 1));
                j = k + 2;
            }
        }
        return SetRule(rule) ? j - i : 0;
    }

    // "on the last Friday of every month", "the 15th of every month",
    // "the 2nd Sunday of May" (a date; a yearly rule when "every year" follows).
    std::size_t OnNthOf(std::size_t i) {
        std::size_t j = i;
        if (W(j) == "on") ++j;
        if (W(j) == "the") ++j;
        Rule rule;
        rule.cls = RecurClass::Monthly;
        const int nth = NthOfWord(W(j));
        const int weekday = WeekdayOfName(W(j + 1));
        if (nth >= 0 && weekday >= 0) {
            rule.nth = nth;
            rule.weekday = weekday;
            j += 2;
            const int month = W(j) == "of" ? MonthOfWord(W(j + 1)) : -1;
            if (month > 0 && said.date.kind == DateSpec::None) {
                said.date.kind = DateSpec::NthWeekday;
                said.date.nth = nth;
                said.date.weekday = weekday;
                said.date.month = month;
                return j + 2 - i;
            }
        } else if (DayOfWord(W(j), true) > 0) {
            rule.day = DayOfWord(W(j), true);
            ++j;
        } else {
            return 0;
        }
        const std::size_t unit = MonthUnit(j, rule.interval);
        if (unit == 0) return 0;
        return SetRule(rule) ? j + unit - i : 0;
    }

    // "until June", "till 14 March", "for 10 weeks", "10 times".
    std::size_t End(std::size_t i) {
        if (said.until.kind != DateSpec::None || said.forUnit != SpanUnit::None || said.times > 0) return 0;
        const std::string& w = W(i);
        if (w == "until" || w == "till" || w == "through") {
            DateSpec asked;
            const std::size_t n = DateAt(i + 1, asked, true);
            if (n == 0) return 0;
            said.until = asked;
            return n + 1;
        }
        const std::size_t j = w == "for" ? i + 1 : i;
        const int count = CountOfWord(W(j));
        if (count < 0) return 0;
        if (W(j + 1) == "times") {
            if (count < 1) Refuse("An event cannot end after no occurrence.");
            if (count > kMaxCount) Refuse(RefusalText(EditorRefusal::DateOutOfRange));
            said.times = std::clamp(count, 1, kMaxCount);
            return j + 2 - i;
        }
        const SpanUnit unit = SpanUnitOfWord(W(j + 1));
        if (w != "for" || unit == SpanUnit::None) return 0;
        if (count < 1) Refuse("An event lasts at least one day.");
        if (count > kMaxCount) Refuse(RefusalText(EditorRefusal::DateOutOfRange));
        said.forUnit = unit;
        said.forCount = std::clamp(count, 1, kMaxCount);
        return j + 2 - i;
    }

    // A year after a date: four digits, 1970..3000.
    std::size_t YearAt(std::size_t j, int& year) const {
        const std::string& w = W(j);
        if (w.size() != 4 || CountOfWord(w) < 1970 || CountOfWord(w) > 3000) return 0;
        year = CountOfWord(w);
        return 1;
    }

    // A date made of numbers in the locale's order, "3/14", "14.3.2027",
    // or "2027-03-14"; a dot needs a year or a closing dot, as "9.30" is a time.
    bool NumericDate(const std::string& w, DateSpec& asked) {
        std::vector<int> parts;
        std::vector<std::size_t> widths;
        char separator = 0;
        std::size_t at = 0;
        while (at < w.size()) {
            const std::size_t end = w.find_first_not_of("0123456789", at);
            const std::size_t stop = end == std::string::npos ? w.size() : end;
            if (stop == at || stop - at > 4) return false;
            parts.push_back(CountOfWord(std::string_view(w).substr(at, stop - at)));
            widths.push_back(stop - at);
            if (stop == w.size()) break;
            if (separator == 0) separator = w[stop];
            if (w[stop] != separator || (separator != '/' && separator != '.' && separator != '-')) return false;
            at = stop + 1;
            if (at == w.size() && separator == '.' && parts.size() == 2) break;  // "14.3."
            if (at == w.size()) return false;
        }
        if (parts.size() < 2 || parts.size() > 3) return false;
        if (separator == '.' && parts.size() == 2 && w.back() != '.') return false;
        int y = 0, m = 0, d = 0;
        if (separator == '-') {
            if (parts.size() != 3 || widths[0] != 4) return false;
            y = parts[0], m = parts[1], d = parts[2];
        } else if (order_ == DateOrder::YearMonthDay && parts.size() == 3) {
            y = parts[0], m = parts[1], d = parts[2];
        } else {
            const bool dayFirst = order_ == DateOrder::DayMonthYear;
            d = parts[dayFirst ? 0 : 1];
            m = parts[dayFirst ? 1 : 0];
            if (order_ == DateOrder::YearMonthDay) std::swap(d, m);  // "3/14" reads month first there
            if (parts.size() == 3) y = widths[2] == 2 ? 2000 + parts[2] : parts[2];
        }
        if (m < 1 || m > 12 || d < 1 || d > 31 || (y != 0 && (y < 1970 || y > 3000))) return false;
        asked.kind = DateSpec::Civil;
        asked.year = y, asked.month = m, asked.day = d;
        return true;
    }

    // One date; monthOnly lets a month alone ("June") count, as "until" does.
    std::size_t DateAt(std::size_t i, DateSpec& asked, bool monthOnly) {
        const std::string& w = W(i);
        if (w == "today" || w == "tomorrow") {
            asked.kind = DateSpec::Offset;
            asked.offset = w == "today" ? 0 : 1;
            return 1;
        }
        if (w == "next" || w == "this") {
            int wd = WeekdayOfName(W(i + 1));
            if (wd < 0) wd = WeekdayOfAbbreviation(W(i + 1));
            if (wd < 0) return 0;
            asked.kind = DateSpec::Weekday;
            asked.weekday = wd;
            asked.next = w == "next";
            return 2;
        }
        if (const int wd = WeekdayOfName(w); wd >= 0) {
            asked.kind = DateSpec::Weekday;
            asked.weekday = wd;
            return 1;
        }
        if (NumericDate(w, asked)) return 1;
        // "14 March [2027]", "14th of March"
        if (const int day = DayOfWord(w, false); day > 0) {
            std::size_t j = i + 1;
            if (W(j) == "of" && DayOfWord(w, true) > 0) ++j;
            const int month = MonthOfWord(W(j));
            if (month < 0) return 0;
            asked.kind = DateSpec::Civil;
            asked.month = month, asked.day = day;
            return j + 1 - i + YearAt(j + 1, asked.year);
        }
        // "March 14[, 2027]", "June [2027]"
        if (const int month = MonthOfWord(w); month > 0) {
            if (const int day = DayOfWord(W(i + 1), false); day > 0) {
                asked.kind = DateSpec::Civil;
                asked.month = month, asked.day = day;
                return 2 + YearAt(i + 2, asked.year);
            }
            if (!monthOnly) return 0;
            asked.kind = DateSpec::MonthOnly;
            asked.month = month;
            return 1 + YearAt(i + 1, asked.year);
        }
        return 0;
    }

    // A date, "on" a date, a span ("3–7 August", "from Monday to
    // Wednesday", "Dec 10 - Dec 12") or a start ("from Dec 10").
    std::size_t Dates(std::size_t i) {
        if (said.date.kind != DateSpec::None) return 0;
        std::size_t j = i;
        const bool from = W(j) == "from";
        if (from || W(j) == "on") ++j;
        // "3–7 August": both days in the named month.
        if (const int first = DayOfWord(W(j), false); first > 0 && IsDash(W(j + 1))) {
            DateSpec last;
            const std::size_t n = DateAt(j + 2, last, false);
            if (n > 0 && last.kind == DateSpec::Civil && MonthOfWord(W(j + 2)) < 0) {
                said.date = last;
                said.date.day = first;
                if (said.until.kind == DateSpec::None) said.until = last;
                return j + 2 + n - i;
            }
        }
        DateSpec start;
        const std::size_t n = DateAt(j, start, false);
        if (n == 0) return 0;
        said.date = start;
        j += n;
        if (said.until.kind == DateSpec::None &&
            (IsDash(W(j)) || W(j) == "to" || (from && (W(j) == "until" || W(j) == "till")))) {
            DateSpec last;
            if (const std::size_t m = DateAt(j + 1, last, false)) {
                said.until = last;
                j += 1 + m;
            }
        }
        return j - i;
    }

    // "9:30", "9.30", "4pm", "4:30 pm", "16:00", "noon", "midnight", "at 10".
    std::size_t TimeAt(std::size_t i) {
        if (said.time) return 0;
        const bool at = W(i) == "at";
        const std::size_t j = at ? i + 1 : i;
        const std::string& w = W(j);
        if (w == "noon" || w == "midday" || w == "midnight") {
            said.time = w == "midnight" ? 0 : 12 * 3600;
            return j + 1 - i;
        }
        std::size_t k = 0;
        int hour = 0, minute = 0;
        bool separated = false;
        while (k < w.size() && std::isdigit(static_cast<unsigned char>(w[k])) && k < 2) hour = hour * 10 + (w[k++] - '0');
        if (k == 0) return 0;
        if (k < w.size() && (w[k] == ':' || w[k] == '.')) {
            if (k + 3 > w.size() || !std::isdigit(static_cast<unsigned char>(w[k + 1])) ||
                !std::isdigit(static_cast<unsigned char>(w[k + 2])))
                return 0;
            minute = (w[k + 1] - '0') * 10 + (w[k + 2] - '0');
            k += 3;
            separated = true;
        }
        std::string_view suffix = std::string_view(w).substr(k);
        std::size_t used = 1;
        if (suffix.empty() && (W(j + 1) == "am" || W(j + 1) == "pm" || W(j + 1) == "a.m." || W(j + 1) == "p.m.")) {
            suffix = W(j + 1);
            used = 2;
        }
        const bool am = suffix == "am" || suffix == "a.m.";
        const bool pm = suffix == "pm" || suffix == "p.m.";
        if (!suffix.empty() && !am && !pm) return 0;
        if (!separated && !am && !pm && !at) return 0;  // a bare number is not a time
        if (minute > 59) return 0;
        if (am || pm) {
            if (hour < 1 || hour > 12) return 0;
            hour = hour % 12 + (pm ? 12 : 0);
        } else if (hour > 23) {
            return 0;
        }
        said.time = hour * 3600 + minute * 60;
        return j + used - i;
    }

    std::vector<Token>& t_;
    DateOrder order_;
    const std::string empty_;
};

// The words left over, in their order, without separators dangling at either end.
std::string TitleOf(const std::vector<Token>& tokens) {
    std::string title;
    for (const Token& t : tokens) {
        if (t.taken) continue;
        if (!title.empty() && !t.glued) title += ' ';
        title += t.raw;
    }
    auto dangling = [](std::string_view s, bool atEnd) -> std::size_t {
        for (std::string_view p : {std::string_view(","), std::string_view(";"), std::string_view(":"),
                                   std::string_view("-"), kDashes[0], kDashes[1], std::string_view("\xC2\xB7")}) {
            if (s.size() >= p.size() && (atEnd ? s.substr(s.size() - p.size()) : s.substr(0, p.size())) == p)
                return p.size();
        }
        return IsTrimSpace(atEnd ? (s.empty() ? 'x' : s.back()) : (s.empty() ? 'x' : s.front())) ? 1 : 0;
    };
    std::string_view s = title;
    while (std::size_t n = dangling(s, true)) s.remove_suffix(n);
    while (std::size_t n = dangling(s, false)) s.remove_prefix(n);
    return std::string(s);
}

std::string NoSuchDay(int month, int day) {
    return EnglishLocaleNames().MonthNames[month - 1] + " has no day " + std::to_string(day) + ".";
}

// The first day on or after fromDays that the asked names; nothing (with the
// reason) for a day no year has.
std::optional<long long> Resolve(const DateSpec& asked, long long todayDays, long long fromDays, std::string& reason) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(fromDays, y, m, d);
    switch (asked.kind) {
        case DateSpec::None:
            return std::nullopt;
        case DateSpec::Offset:
            return todayDays + asked.offset;
        case DateSpec::Weekday: {
            const int today = WeekdayIndexOfDays(fromDays);
            if (!asked.next) return fromDays + (asked.weekday - today + 7) % 7;
            // The named day of the week after this one, weeks beginning on Monday.
            const long long nextMonday = fromDays + 7 - (today + 6) % 7;
            return nextMonday + (asked.weekday + 6) % 7;
        }
        case DateSpec::Civil: {
            const int longest = asked.month == 2 ? 29 : DaysInMonth(2001, asked.month);
            if (asked.day > longest || (asked.year != 0 && asked.day > DaysInMonth(asked.year, asked.month))) {
                reason = NoSuchDay(asked.month, asked.day);
                return std::nullopt;
            }
            if (asked.year != 0) return DaysFromCivil(asked.year, asked.month, asked.day);
            // The next such day: 29 February waits for a leap year.
            for (int year = y; year < y + 9; ++year) {
                if (asked.day > DaysInMonth(year, asked.month)) continue;
                const long long days = DaysFromCivil(year, asked.month, asked.day);
                if (days >= fromDays) return days;
            }
            return std::nullopt;
        }
        case DateSpec::MonthOnly: {
            // Through the month's last day: the later reading of "until June".
            int year = asked.year != 0 ? asked.year : (asked.month < m ? y + 1 : y);
            return DaysFromCivil(year, asked.month, DaysInMonth(year, asked.month));
        }
        case DateSpec::NthWeekday:
            for (int year = y; year < y + 2; ++year) {
                const long long days = DaysFromCivil(year, asked.month, NthWeekdayDay(year, asked.month, asked.nth, asked.weekday));
                if (days >= fromDays) return days;
            }
            return std::nullopt;
    }
    return std::nullopt;
}

CivilDate CivilOf(long long days) {
    CivilDate c;
    CivilFromDays(days, c.year, c.month, c.day);
    return c;
}

// The last day of a span of count units from a first day: the day before
// the same day count units on, that day lowered to its month's length
// ("for 1 month" from 31 March ends on 29 April).
long long SpanEnd(long long first, SpanUnit unit, int count) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(first, y, m, d);
    switch (unit) {
        case SpanUnit::Day:
            return first + count - 1;
        case SpanUnit::Week:
            return first + 7LL * count - 1;
        case SpanUnit::Month:
        case SpanUnit::Year: {
            const long long months = unit == SpanUnit::Month ? count : 12LL * count;
            int ey = 0, em = 0, ed = 0;
            CivilFromDays(DaysFromCivil(y, m + static_cast<int>(months), 1), ey, em, ed);
            return DaysFromCivil(ey, em, std::min(d, DaysInMonth(ey, em))) - 1;
        }
        case SpanUnit::None:
            break;
    }
    return first;
}

std::uint8_t KindOf(const Rule& rule, const DateSpec& date) {
    switch (rule.cls) {
        case RecurClass::Daily:
            return kKindDaily;
        case RecurClass::Weekly:
            return kKindWeekly;
        case RecurClass::Monthly:
            return rule.nth >= 0 ? kKindMonthlyNth : kKindMonthlyDay;
        case RecurClass::Yearly:
            return date.kind == DateSpec::NthWeekday ? kKindYearlyNth : kKindYearlyDate;
        case RecurClass::None:
            break;
    }
    return kKindNone;
}

std::uint16_t PatternOf(const Rule& rule, const DateSpec& date, long long startDays) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(startDays, y, m, d);
    switch (rule.cls) {
        case RecurClass::Weekly:
            return static_cast<std::uint16_t>(rule.mask != 0 ? rule.mask : 1 << WeekdayIndexOfDays(startDays));
        case RecurClass::Monthly:
            if (rule.nth >= 0) return static_cast<std::uint16_t>(rule.nth << 4 | rule.weekday);
            return static_cast<std::uint16_t>(rule.day != 0 ? rule.day : d);
        case RecurClass::Yearly:
            if (date.kind == DateSpec::NthWeekday)
                return static_cast<std::uint16_t>(date.month << 8 | date.nth << 4 | date.weekday);
            return static_cast<std::uint16_t>(m << 8 | d);
        default:
            return 0;
    }
}

}  // namespace

QuickAddResult ParseQuickAdd(std::string_view line, const Clock& clock, DateOrder order) {
    QuickAddResult result;
    std::vector<Token> tokens = Tokenize(line);
    LineReader reader(tokens, order);
    reader.Read();
    Said& said = reader.said;

    const Instant now = clock.Now();
    LocalFields nowFields;
    if (!BreakDownLocal(now, nowFields)) {
        result.reason = RefusalText(EditorRefusal::DateOutOfRange);
        return result;
    }
    const long long today = DaysFromCivil(nowFields.year, nowFields.month, nowFields.day);
    const int nowTime = nowFields.hour * 3600 + nowFields.minute * 60 + nowFields.second;

    EditorFields& f = result.fields;
    f = NewEventFields(clock, CivilOf(today));
    f.title = TitleOf(tokens);
    if (said.time) f.startTime = f.endTime = *said.time;
    if (said.remind) f.remindMinutes = *said.remind;
    result.remindSaid = said.remind.has_value();

    std::string reason = said.reason;
    const bool recurring = said.rule.cls != RecurClass::None;
    std::optional<long long> start = Resolve(said.date, today, today, reason);
    // A time already past today means the next such day: tomorrow for a line
    // without a date, next week for a weekday, the next one for a rule.
    const bool passed = f.startTime < nowTime;
    if (!start && said.date.kind == DateSpec::None) start = today + (passed && !recurring ? 1 : 0);
    if (start && said.date.kind == DateSpec::Weekday && !said.date.next && *start == today && passed && said.time)
        start = *start + 7;

    if (start && recurring) {
        const std::uint8_t kind = KindOf(said.rule, said.date);
        f.recurKind = kind;
        f.recurPattern = PatternOf(said.rule, said.date, *start);
        f.recurInterval = static_cast<std::uint8_t>(std::clamp(said.rule.interval, 1, kMaxInterval));
        const long long from = *start == today && passed && said.date.kind != DateSpec::Offset ? today + 1 : *start;
        // Days are counted from the first one ahead: "every 3 days" begins tomorrow when today's time has passed.
        const RecurrenceDays days =
            RecurrenceDays::FromDays(kind, f.recurPattern, f.recurInterval, kind == kKindDaily ? from : *start);
        long long first = 0;
        // Every rule the line can say occurs within its interval's years.
        if (days.FirstIn(from, from + 366LL * (f.recurInterval + 1), first)) {
            start = first;
        } else if (reason.empty()) {
            reason = RefusalText(EditorRefusal::NoOccurrence);
        }
    }
    if (!start && reason.empty()) reason = RefusalText(EditorRefusal::DateOutOfRange);

    if (start) {
        f.startDate = f.endDate = CivilOf(*start);
        std::optional<long long> end;
        if (said.until.kind != DateSpec::None) end = Resolve(said.until, today, *start, reason);
        if (said.forUnit != SpanUnit::None) end = SpanEnd(*start, said.forUnit, said.forCount);
        if (said.times > 0) {
            if (recurring) {
                const RecurrenceDays days = RecurrenceDays::FromDays(f.recurKind, f.recurPattern, f.recurInterval, *start);
                end = days.Nth(*start, said.times);
            } else if (said.times > 1 && reason.empty()) {
                reason = "Only a repeating event can end after a number of times.";
            }
        }
        if (end && *end < *start && reason.empty()) reason = "The end comes before the start.";
        if (end) f.endDate = CivilOf(*end);
        if (recurring && said.until.kind == DateSpec::None && said.forUnit == SpanUnit::None && said.times == 0)
            f.recurFlags = 1;  // "every ..." without an end goes on
    }

    if (reason.empty() && TrimSpace(f.title).empty()) reason = "Title cannot be empty.";
    if (reason.empty()) {
        bool structureChanged = false, actionsChanged = false;
        const EditorRefusal refusal = ApplyEditorFields(f, clock, result.item, structureChanged, actionsChanged);
        if (refusal != EditorRefusal::None) {
            reason = RefusalText(refusal);
            result.item.reset();
        }
    }
    result.reason = reason;
    return result;
}
