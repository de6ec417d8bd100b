#pragma once
// The event editor as the calendar window opens it, over a scratch hive: a
// store with recording links, a settable clock, English names, a shell that
// records the sounds played and answers the open-file dialog, and helpers to
// read and set the dialogs' controls as a user would.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/locale_names.h"
#include "dialogs/editor_commit.h"
#include "dialogs/editor_ids.h"
#include "dialogs/schedule_dlg.h"
#include "platform/win32/wide_text.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"
#include "scratch_hive.h"
#include "store/event_store.h"
#include "support/dib_canvas.h"
#include "support/message_box_catcher.h"
#include "support/modal_driver.h"

// Files exist when the test says so; the open-file dialog answers from a
// queue (an empty answer cancels) unless the real one is asked for.
class TestShell final : public EditorShell {
public:
    bool FileExists(const std::string& path) override { return existing.count(path) != 0; }
    void PlaySoundFile(const std::string& path) override { played.push_back(path); }
    bool ChooseFile(HWND owner, FileKind kind, const std::string& initialFolder, std::string& path) override {
        folders.push_back(initialFolder);
        if (useRealDialog) return EditorShell::ChooseFile(owner, kind, initialFolder, path);
        if (answers.empty() || answers.front().empty()) {
            if (!answers.empty()) answers.erase(answers.begin());
            return false;
        }
        path = answers.front();
        answers.erase(answers.begin());
        return true;
    }

    std::set<std::string> existing;
    std::vector<std::string> played;
    std::vector<std::string> answers;
    std::vector<std::string> folders;
    bool useRealDialog = false;
};

class EditorRig : public testing::Test {
protected:
    ScratchHive hive;
    SettableClock clock{Local(2026, 8, 3, 10, 10)};  // rolling window 2026-03-01 .. 2027-03-01
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    EventStore store{hive.registry(), clock, schedule, notifier};
    TestShell shell;
    MessageBoxCatcher catcher;

    void SetUp() override { TheLocaleNames() = EnglishLocaleNames(); }

    ScheduleDlgContext Context() { return {&hive.registry(), &clock, &EnglishLocaleNames(), "C:\\Cal\\", &shell}; }

    std::uint32_t Add(ScheduleItem item) {
        auto owned = std::make_unique<ScheduleItem>(std::move(item));
        if (owned->front.id == 0) owned->front.id = store.NextEventId();
        const std::uint32_t id = owned->front.id;
        EXPECT_TRUE(store.SaveEvent(owned, true, true));
        return id;
    }

    static ScheduleItem Event(const std::string& title, CivilDate first, CivilDate last, int startTime = 9 * 3600) {
        ScheduleItem item;
        item.title = title;
        item.front.startDate = static_cast<std::int32_t>(Local(first.year, first.month, first.day));
        item.front.endDate = static_cast<std::int32_t>(Local(last.year, last.month, last.day, 23, 59, 59));
        item.front.startTime = startTime;
        item.front.endTime = startTime + 3600;
        return item;
    }

    static std::string EventKey(std::uint32_t id) {
        return "SOFTWARE\\OrvCalendar\\user\\Default_Id\\sc\\" + std::to_string(id);
    }
    static constexpr const char* kUserKey = "SOFTWARE\\OrvCalendar\\User\\Default_Id";

    // A value's bytes as stored, or "absent".
    static std::string Raw(const std::string& key, const char* name) {
        HKEY hkey = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hkey) != ERROR_SUCCESS) return "absent";
        DWORD size = 0;
        std::string bytes;
        if (RegQueryValueExA(hkey, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            bytes.resize(size);
            RegQueryValueExA(hkey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(bytes.data()), &size);
        } else {
            bytes = "absent";
        }
        RegCloseKey(hkey);
        return bytes;
    }
    static void PutRecent(const char* name, const std::string& data) {
        HKEY hkey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hkey, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(hkey, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
        RegCloseKey(hkey);
    }

    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : catcher.Boxes()) texts.push_back(box.caption + ": " + box.text);
        return texts;
    }
};

// The controls as a user sees and sets them.
namespace ui {

// Text in UTF-8, sent and read as UTF-16 (WM_SETTEXT, WM_GETTEXT).
inline std::string Text(HWND dialog, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 512);
    return Utf8(text);
}
inline void Type(HWND dialog, int id, const std::string& text) { SetDlgItemTextW(dialog, id, Wide(text).c_str()); }
inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
inline bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
// A click the handler sees at once; for buttons that open no dialog.
inline void Press(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

inline SYSTEMTIME Picker(HWND dialog, int id) {
    SYSTEMTIME st = {};
    DateTime_GetSystemtime(GetDlgItem(dialog, id), &st);
    return st;
}
inline CivilDate PickerDate(HWND dialog, int id) {
    const SYSTEMTIME st = Picker(dialog, id);
    return {st.wYear, st.wMonth, st.wDay};
}
inline int PickerTime(HWND dialog, int id) {
    const SYSTEMTIME st = Picker(dialog, id);
    return st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
}
inline bool SetPicker(HWND dialog, int id, CivilDate date, int seconds = 0) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
    st.wHour = static_cast<WORD>(seconds / 3600);
    st.wMinute = static_cast<WORD>(seconds / 60 % 60);
    st.wSecond = static_cast<WORD>(seconds % 60);
    return DateTime_SetSystemtime(GetDlgItem(dialog, id), GDT_VALID, &st) != FALSE;
}

inline std::vector<std::string> ListItems(HWND dialog, int id) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[300] = {};
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}
inline int ListSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}
// Chosen from the drop-down, which tells its dialog.
inline void Choose(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The window as the screen shows it, saved for a person to look at.
inline void SavePicture(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Some controls finish painting a moment later; only paints run here, so
    // no step of a ModalDriver runs inside another.
    for (DWORD until = GetTickCount() + 200; static_cast<int>(until - GetTickCount()) > 0; Sleep(10)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
    }
    GdiFlush();
    RECT r;
    GetWindowRect(window, &r);
    DibCanvas canvas(r.right - r.left, r.bottom - r.top, RGB(255, 0, 255));
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.Dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(canvas.SaveBmp(ScreensDirectory() + "\\" + name + ".bmp"));
}

}  // namespace ui
