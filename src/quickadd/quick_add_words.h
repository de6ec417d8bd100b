#pragma once
// The English words a quick-add line is read in. Each lookup takes a word
// already lowered and stripped of trailing commas, and answers -1 or false
// for anything it does not know.
#include <string_view>

// 1..12 for a month's full name or its abbreviation ("sep", "sept").
int MonthOfWord(std::string_view word);
// Weekday index 0..6 (Sunday first). Abbreviations ("sun", "sat", "wed")
// are English words too, so a caller takes them only inside a rule or after
// "next" or "this".
int WeekdayOfName(std::string_view word);
int WeekdayOfAbbreviation(std::string_view word);
// "first".."fourth" and "1st".."4th" give 0..3, "last" 4: the stored n-th index.
int NthOfWord(std::string_view word);
// A day of the month as "15", "15th", "1st", "22nd"; only whole words.
int DayOfWord(std::string_view word, bool suffixRequired);
// A count: digits (up to nine of them), or "a", "an", "one".."twelve".
int CountOfWord(std::string_view word);
// Units of a span or an interval.
enum class SpanUnit { None, Day, Week, Month, Year };
SpanUnit SpanUnitOfWord(std::string_view word);
// Minutes in one of a reminder's units ("min", "minutes", "h", "hours"); 0 when none.
int MinutesOfUnit(std::string_view word);
