#include "quickadd/quick_add_words.h"

#include <array>
#include <cctype>

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"january", "february", "march",     "april",   "may",      "june",
                                                      "july",    "august",   "september", "october", "november", "december"};
constexpr std::array<std::string_view, 7> kWeekdays = {"sunday",   "monday", "tuesday", "wednesday",
                                                       "thursday", "friday", "saturday"};
constexpr std::array<std::string_view, 13> kCounts = {"",     "one", "two",   "three", "four",   "five",  "six",
                                                      "seven", "eight", "nine", "ten",   "eleven", "twelve"};

bool AllDigits(std::string_view w) {
    if (w.empty()) return false;
    for (char c : w)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

int Digits(std::string_view w) {
    int n = 0;
    for (char c : w) n = n * 10 + (c - '0');
    return n;
}

}  // namespace

int MonthOfWord(std::string_view word) {
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (word == kMonths[i] || (word.size() == 3 && kMonths[i].substr(0, 3) == word)) return static_cast<int>(i) + 1;
    }
    return word == "sept" ? 9 : -1;
}

int WeekdayOfName(std::string_view word) {
    for (std::size_t i = 0; i < kWeekdays.size(); ++i)
        if (word == kWeekdays[i]) return static_cast<int>(i);
    return -1;
}

int WeekdayOfAbbreviation(std::string_view word) {
    if (word == "tues") return 2;
    if (word == "thur" || word == "thurs") return 4;
    if (word.size() != 3) return -1;
    for (std::size_t i = 0; i < kWeekdays.size(); ++i)
        if (kWeekdays[i].substr(0, 3) == word) return static_cast<int>(i);
    return -1;
}

int NthOfWord(std::string_view word) {
    constexpr std::array<std::string_view, 4> words = {"first", "second", "third", "fourth"};
    constexpr std::array<std::string_view, 4> numbers = {"1st", "2nd", "3rd", "4th"};
    for (std::size_t i = 0; i < words.size(); ++i)
        if (word == words[i] || word == numbers[i]) return static_cast<int>(i);
    return word == "last" ? 4 : -1;
}

int DayOfWord(std::string_view word, bool suffixRequired) {
    std::string_view digits = word;
    std::string_view suffix;
    while (!digits.empty() && !std::isdigit(static_cast<unsigned char>(digits.back()))) digits.remove_suffix(1);
    suffix = word.substr(digits.size());
    if (!AllDigits(digits) || digits.size() > 2) return -1;
    const int day = Digits(digits);
    if (day < 1 || day > 31) return -1;
    if (suffix.empty()) return suffixRequired ? -1 : day;
    const int last = day % 10;
    const bool teen = day / 10 == 1;
    const std::string_view expected = teen || last > 3 || last == 0 ? "th" : last == 1 ? "st" : last == 2 ? "nd" : "rd";
    return suffix == expected ? day : -1;
}

int CountOfWord(std::string_view word) {
    if (AllDigits(word)) return word.size() <= 9 ? Digits(word) : -1;
    if (word == "a" || word == "an") return 1;
    for (std::size_t i = 1; i < kCounts.size(); ++i)
        if (word == kCounts[i]) return static_cast<int>(i);
    return -1;
}

SpanUnit SpanUnitOfWord(std::string_view word) {
    if (word == "day" || word == "days") return SpanUnit::Day;
    if (word == "week" || word == "weeks") return SpanUnit::Week;
    if (word == "month" || word == "months") return SpanUnit::Month;
    if (word == "year" || word == "years") return SpanUnit::Year;
    return SpanUnit::None;
}

int MinutesOfUnit(std::string_view word) {
    if (word == "m" || word == "min" || word == "mins" || word == "minute" || word == "minutes") return 1;
    if (word == "h" || word == "hr" || word == "hrs" || word == "hour" || word == "hours") return 60;
    return 0;
}
