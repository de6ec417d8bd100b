// The program's resources as linked into the executable: the popup menus,
// the main frame's title and the icons.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "app/app_ids.h"
#include "support/dib_canvas.h"
#include "ui/gdi.h"

namespace {

struct Item {
    UINT id;  // 0 for a separator
    std::string text;
    bool operator==(const Item& other) const { return id == other.id && text == other.text; }
};

std::ostream& operator<<(std::ostream& os, const Item& item) { return os << item.id << " \"" << item.text << '"'; }

std::vector<Item> ItemsOf(HMENU popup) {
    std::vector<Item> items;
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        EXPECT_TRUE(GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info));
        EXPECT_EQ(info.hSubMenu, nullptr) << "item " << i;
        if ((info.fType & MFT_SEPARATOR) != 0) {
            items.push_back(Item{0, ""});
        } else {
            items.push_back(Item{info.wID, text});
        }
    }
    return items;
}

TEST(Resources, PopupMenusHoldTheCommandsInOrder) {
    MenuHandle menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_POPUPS)));
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 3);

    EXPECT_EQ(ItemsOf(GetSubMenu(menu, POPUP_TRAY)), (std::vector<Item>{
                                                         {32780, "Open Calendar..."},
                                                         {32786, "Upcoming Events...\tAlt+dblclick"},
                                                         {0, ""},
                                                         {32784, "Preferences..."},
                                                         {32788, "About..."},
                                                         {0, ""},
                                                         {32850, "Export to iCalendar..."},
                                                         {32851, "Import from iCalendar..."},
                                                         {32852, "Sync Now"},
                                                         {0, ""},
                                                         {32772, "Exit"},
                                                     }));
    EXPECT_EQ(ItemsOf(GetSubMenu(menu, POPUP_CALENDAR_DAY)), (std::vector<Item>{
                                                                 {32774, "New Event...\tIns"},
                                                                 {0, ""},
                                                                 {32776, "Browse All..."},
                                                             }));
    EXPECT_EQ(ItemsOf(GetSubMenu(menu, POPUP_CALENDAR_EVENT)), (std::vector<Item>{
                                                                   {32777, "View/Edit Event...\tEnter"},
                                                                   {32778, "Delete\tDel"},
                                                                   {0, ""},
                                                                   {32779, "Exclude This Occurrence"},
                                                               }));
}

TEST(Resources, MainFrameTitle) {
    char text[64] = {};
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), IDR_MAINFRAME, text, sizeof text), 11);
    EXPECT_STREQ(text, "OrvCalendar");
}

// An icon loaded at one size has an image of that size, opaque and
// transparent parts, and the colours of the page: paper, header, ink.
void ExpectCalendarIcon(int resource, int size) {
    SCOPED_TRACE(testing::Message() << "icon " << resource << " at " << size);
    const std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)> icon(
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_ICON, size, size, 0)),
        &DestroyIcon);
    ASSERT_TRUE(icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    BitmapHandle color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm = {};
    ASSERT_NE(GetObjectA(color, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, size);  // a real image of that size, not a scaled one
    EXPECT_EQ(bm.bmHeight, size);

    const COLORREF key = RGB(0, 128, 128);
    DibCanvas canvas(size, size, key);
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL));
    canvas.SaveBmp(ScreensDirectory() + "\\icon_" + std::to_string(resource) + "_" + std::to_string(size) + ".bmp");

    int opaque = 0, white = 0, red = 0, dark = 0;
    std::set<COLORREF> colours;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const COLORREF c = canvas.At(x, y);
            colours.insert(c);
            if (c == key) continue;
            ++opaque;
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r > 240 && g > 240 && b > 240) ++white;
            if (r > 180 && g < 80 && b < 80) ++red;
            if (r < 80 && g < 80 && b < 100) ++dark;
        }
    }
    EXPECT_EQ(canvas.At(0, 0), key);  // the corner above the page is transparent
    EXPECT_GT(opaque, size * size / 2);
    EXPECT_LT(opaque, size * size);
    EXPECT_GT(white, size * size / 8);
    EXPECT_GT(red, size * size / 16);
    EXPECT_GT(dark, size);
    EXPECT_GE(colours.size(), 5u);
}

TEST(Resources, IconsAreCalendarPagesAtEachSize) {
    for (int size : {16, 32}) {
        ExpectCalendarIcon(IDI_TRAY, size);
        ExpectCalendarIcon(IDI_CALENDAR, size);
    }
    ExpectCalendarIcon(IDI_CALENDAR, 48);
}

}  // namespace
