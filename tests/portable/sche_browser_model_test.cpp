#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "dialogs/sche_browser_model.h"

namespace {

int AsciiCaseless(const std::string& a, const std::string& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int d = std::tolower(static_cast<unsigned char>(a[i])) - std::tolower(static_cast<unsigned char>(b[i]));
        if (d != 0) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(BrowserRows, CompareInEachModeAndEqualStartsCompareEqual) {
    const BrowserRow apple{1, "apple", 200};
    const BrowserRow banana{2, "Banana", 100};
    const BrowserRow sameDay{3, "cherry", 100};
    const BrowserRow shouting{4, "APPLE", 300};
    const BrowserRow in2040{5, "dentist", 2222222222u};  // after 2038-01-19: above the signed range
    struct Row {
        const BrowserRow& a;
        const BrowserRow& b;
        int mode;
        int sign;
    };
    const Row rows[] = {
        {apple, banana, kSortTitleAscending, -1},
        {apple, banana, kSortTitleDescending, 1},
        {apple, shouting, kSortTitleAscending, 0},  // case does not count
        {apple, shouting, kSortTitleDescending, 0},
        {apple, banana, kSortDateAscending, 1},
        {banana, apple, kSortDateAscending, -1},
        {apple, banana, kSortDateDescending, -1},
        {banana, apple, kSortDateDescending, 1},
        {banana, sameDay, kSortDateAscending, 0},  // consistent both ways
        {sameDay, banana, kSortDateAscending, 0},
        {banana, sameDay, kSortDateDescending, 0},
        {sameDay, banana, kSortDateDescending, 0},
        {shouting, in2040, kSortDateAscending, -1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Sign(CompareBrowserRows(r.a, r.b, r.mode, &AsciiCaseless)), r.sign)
            << r.a.title << " " << r.b.title << " mode " << r.mode;
    }
}

TEST(BrowserRows, HeaderClicksReverseTheSameColumnAndStartAnotherAscending) {
    struct Row {
        int mode;
        int column;
        int next;
    };
    const Row rows[] = {
        {kSortTitleAscending, kBrowserTitleColumn, kSortTitleDescending},
        {kSortTitleDescending, kBrowserTitleColumn, kSortTitleAscending},
        {kSortDateAscending, kBrowserTitleColumn, kSortTitleAscending},
        {kSortDateDescending, kBrowserTitleColumn, kSortTitleAscending},
        {kSortDateAscending, kBrowserDateColumn, kSortDateDescending},
        {kSortDateDescending, kBrowserDateColumn, kSortDateAscending},
        {kSortTitleAscending, kBrowserDateColumn, kSortDateAscending},
        {kSortTitleDescending, kBrowserDateColumn, kSortDateAscending},
        {kSortDateDescending, 5, kSortDateDescending},  // no such column
    };
    for (const Row& r : rows) EXPECT_EQ(SortModeAfterHeaderClick(r.mode, r.column), r.next) << r.mode << " " << r.column;
}

TEST(BrowserRows, DateTextNamesTheEndOrEndless) {
    const auto shortDate = [](Instant t) {
        std::string text = std::to_string(t);
        text.insert(text.begin(), 'd');
        return text;
    };
    ScheduleFront f;
    f.startDate = 100;
    f.endDate = 900;
    struct Row {
        std::uint8_t kind;
        std::uint8_t flags;
        const char* text;
    };
    const Row rows[] = {
        {kKindNone, 0, "d100 ~ d900"},
        {kKindNone, 1, "d100 ~ d900"},  // the no-end bit counts only for recurring kinds
        {kKindWeekly, 0, "d100 ~ d900"},
        {kKindWeekly, 1, "d100 ~ endless"},
        {kKindYearlyNth, 1, "d100 ~ endless"},
    };
    for (const Row& r : rows) {
        f.recurKind = r.kind;
        f.recurFlags = r.flags;
        EXPECT_EQ(BrowserDateText(f, shortDate), r.text) << int{r.kind} << " " << int{r.flags};
    }
}

}  // namespace
