#include "dialogs/sche_browser_model.h"

namespace {

int CompareDates(std::uint32_t a, std::uint32_t b) { return a < b ? -1 : a > b ? 1 : 0; }

}  // namespace

int CompareBrowserRows(const BrowserRow& a, const BrowserRow& b, int mode, TitleCompare compareTitles) {
    switch (mode) {
        case kSortTitleDescending:
            return compareTitles(b.title, a.title);
        case kSortDateAscending:
            return CompareDates(a.startDate, b.startDate);
        case kSortDateDescending:
            return CompareDates(b.startDate, a.startDate);
        default:
            return compareTitles(a.title, b.title);
    }
}

int SortModeAfterHeaderClick(int mode, int column) {
    if (column == kBrowserTitleColumn) return mode == kSortTitleAscending ? kSortTitleDescending : kSortTitleAscending;
    if (column == kBrowserDateColumn) return mode == kSortDateAscending ? kSortDateDescending : kSortDateAscending;
    return mode;
}

std::string BrowserDateText(const ScheduleFront& front, const std::function<std::string(Instant)>& shortDate) {
    const std::string end = IsEndless(front) ? std::string("endless") : shortDate(front.endDate);
    return shortDate(front.startDate) + " ~ " + end;
}
