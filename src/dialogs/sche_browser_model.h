#pragma once
// The rules of the event browser's list, apart from the list view: its rows,
// the text of the date column, the orders and how header clicks change them.
#include <cstdint>
#include <functional>
#include <string>

#include "core/schedule_item.h"
#include "core/time_types.h"

// One listed event, as the list knew it when it was filled.
struct BrowserRow {
    std::uint32_t eventId = 0;
    std::string title;
    std::uint32_t startDate = 0;
};

enum BrowserSortMode : int {
    kSortTitleAscending = 0,
    kSortTitleDescending = 1,
    kSortDateAscending = 2,
    kSortDateDescending = 3,
};

// Columns of the list.
constexpr int kBrowserTitleColumn = 0;
constexpr int kBrowserDateColumn = 1;

// Case-insensitive title order, negative, 0 or positive like strcmp.
using TitleCompare = int (*)(const std::string& a, const std::string& b);

// Negative when a goes before b in the mode, 0 when the mode cannot tell them
// apart (equal start dates included), positive otherwise.
int CompareBrowserRows(const BrowserRow& a, const BrowserRow& b, int mode, TitleCompare compareTitles);

// The column a mode sorts by, and whether upwards; the list's header shows it.
inline int SortedColumn(int mode) { return mode >= kSortDateAscending ? kBrowserDateColumn : kBrowserTitleColumn; }
inline bool SortsAscending(int mode) { return mode == kSortTitleAscending || mode == kSortDateAscending; }

// A click on a column's header: the same column again reverses its order,
// another column starts ascending.
int SortModeAfterHeaderClick(int mode, int column);

// "start ~ end" in the given short-date format; "endless" for the end of an
// event that recurs without one.
std::string BrowserDateText(const ScheduleFront& front, const std::function<std::string(Instant)>& shortDate);
