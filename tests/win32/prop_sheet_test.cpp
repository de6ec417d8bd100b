// The preferences sheet driven through its pages' controls and the sheet's
// buttons: what is applied when, the colour kept only when applied, the hours rule,
// the range messages, the wallpaper preview and files that cannot be loaded,
// and what the Sync page stores and starts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/preferences_ids.h"
#include "dialogs/prop_sheet.h"
#include "platform/memory/faulty_registry.h"
#include "platform/memory/memory_credential_store.h"
#include "platform/memory/memory_registry.h"
#include "sync/sync_settings.h"
#include "wallpaper/wallpaper.h"
#include "support/dialog_script.h"
#include "support/dib_canvas.h"
#include "support/message_box_catcher.h"
#include "ui/gdiplus.h"

namespace {

std::string TempPath(const std::string& name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// Saves a GDI+ bitmap with the encoder of that MIME type.
bool SaveImage(Gdiplus::GpBitmap* bitmap, const std::string& path, const wchar_t* mime) {
    UINT count = 0;
    UINT size = 0;
    Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size);
    std::vector<char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    std::wstring wide(path.begin(), path.end());
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == mime) {
            return Gdiplus::DllExports::GdipSaveImageToFile(bitmap, wide.c_str(), &codecs[i].Clsid, nullptr) ==
                   Gdiplus::Ok;
        }
    }
    return false;
}

// A picture of quadrants, so that tiling, stretching and cropping differ.
bool WriteQuadrants(const std::string& path, int w, int h, const wchar_t* mime) {
    GdipBitmap bitmap;
    Gdiplus::DllExports::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, bitmap.Out());
    if (!bitmap) return false;
    const Gdiplus::ARGB colors[4] = {0xFFC80000, 0xFF00C800, 0xFF0000C8, 0xFFC8C800};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Gdiplus::DllExports::GdipBitmapSetPixel(bitmap.Get(), x, y, colors[(y >= h / 2) * 2 + (x >= w / 2)]);
        }
    }
    return SaveImage(bitmap.Get(), path, mime);
}

class PrefSheetTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gdiplus_.Started());
        bmp = TempPath("orv_pref_wallpaper.bmp");
        ASSERT_TRUE(WriteQuadrants(bmp, 60, 40, L"image/bmp"));
        prefs.BkgImgFile = bmp;
        context.prefs = &prefs;
        context.openSheet = &open;
        context.saveSettings = [this] { calls.push_back("save"); };
        context.refreshCalendar = [this] { calls.push_back("refresh"); };
        context.checkReminders = [this] { calls.push_back("check"); };
        context.chooseColor = [this](HWND, Rgb& color) {
            calls.push_back("choose color");
            color = chosenColor;
            return true;
        };
        context.chooseImageFile = [this](HWND, std::string& path) {
            path = chosenFile;
            return true;
        };
    }
    void TearDown() override { DeleteFileA(bmp.c_str()); }

    // Runs the Preferences command with these steps inside the sheet.
    PrefSheetOutcome Run(std::vector<DialogScript::Step> steps) {
        DialogScript script(std::move(steps));
        return ShowPreferences(context);
    }

    HWND Sheet() const { return open != nullptr ? open->Hwnd() : nullptr; }
    CBkgndPropPage& Background() { return open->BackgroundPage(); }
    CPropEventPage& Event() { return open->EventPage(); }
    void Press(int button) { SendMessageA(Sheet(), PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }
    void ShowEventPage() { SendMessageA(Sheet(), PSM_SETCURSEL, 1, 0); }
    static std::string Text(HWND page, int id) {
        char text[64] = {};
        GetDlgItemTextA(page, id, text, sizeof text);
        return text;
    }
    std::unique_ptr<DibCanvas> RenderPreview(CBkgStatic& control) {
        RECT rc;
        GetClientRect(control, &rc);
        auto canvas = std::make_unique<DibCanvas>(rc.right, rc.bottom, RGB(255, 0, 255));
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()), PRF_CLIENT);
        return canvas;
    }

    GdiplusSession gdiplus_;
    Preferences prefs;
    CPropSheet* open = nullptr;
    PrefSheetContext context;
    std::vector<std::string> calls;
    Rgb chosenColor = RGB(10, 20, 30);
    std::string chosenFile;
    std::string bmp;
};

using Calls = std::vector<std::string>;

TEST_F(PrefSheetTest, OkWithoutChangesAppliesNothing) {
    const Preferences before = prefs;
    const PrefSheetOutcome outcome = Run({[&] { Press(PSBTN_OK); }});
    EXPECT_FALSE(outcome.backgroundApplied || outcome.eventApplied);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(prefs.BkgAlpha, before.BkgAlpha);
    EXPECT_EQ(open, nullptr);
}

TEST_F(PrefSheetTest, ApplyThenCancelStillCountsAsApplied) {
    bool applyEnabledAtStart = true;
    const PrefSheetOutcome outcome = Run({
        [&] {
            applyEnabledAtStart = IsWindowEnabled(GetDlgItem(Sheet(), 0x3021)) != FALSE;  // the Apply button
            SetDlgItemTextA(Background(), IDC_BKG_TRANSPARENCY, "100");
            Press(PSBTN_APPLYNOW);
        },
        [&] {
            EXPECT_EQ(prefs.BkgAlpha, 100);
            // Written at once (the program may end with the sheet open), and shown.
            EXPECT_EQ(calls, (Calls{"save", "refresh"}));
            SetDlgItemTextA(Background(), IDC_BKG_TRANSPARENCY, "50");
            Press(PSBTN_CANCEL);
        },
    });
    EXPECT_FALSE(applyEnabledAtStart);
    EXPECT_TRUE(outcome.backgroundApplied);
    EXPECT_FALSE(outcome.eventApplied);
    EXPECT_EQ(prefs.BkgAlpha, 100);
    EXPECT_EQ(calls, (Calls{"save", "refresh", "save", "refresh"}));
}

TEST_F(PrefSheetTest, AChosenColourIsKeptOnlyByApplyOrOk) {
    prefs.BkgColor = RGB(255, 255, 255);
    COLORREF swatchAfterChoice = 0;
    COLORREF liveAfterChoice = 0;
    const PrefSheetOutcome cancelled = Run({
        [&] { ClickButton(Background(), IDC_BKG_CHANGE_COLOR); },
        [&] {
            swatchAfterChoice = RenderPreview(Background().swatch)->At(3, 3);
            liveAfterChoice = prefs.BkgColor;
            Press(PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(swatchAfterChoice, RGB(10, 20, 30));
    EXPECT_EQ(liveAfterChoice, RGB(255, 255, 255));
    EXPECT_FALSE(cancelled.backgroundApplied);
    EXPECT_EQ(prefs.BkgColor, RGB(255, 255, 255));
    EXPECT_EQ(calls, Calls{"choose color"});  // neither saved nor shown in the calendar

    // Opened again: the colour from before, until Apply takes the new one.
    COLORREF reopened = 0;
    COLORREF liveAfterApply = 0;
    chosenColor = RGB(200, 0, 0);
    calls.clear();
    const PrefSheetOutcome applied = Run({
        [&] {
            reopened = RenderPreview(Background().swatch)->At(3, 3);
            ClickButton(Background(), IDC_BKG_CHANGE_COLOR);
            Press(PSBTN_APPLYNOW);
        },
        [&] {
            liveAfterApply = prefs.BkgColor;
            Press(PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(reopened, RGB(255, 255, 255));
    EXPECT_EQ(liveAfterApply, RGB(200, 0, 0));
    EXPECT_TRUE(applied.backgroundApplied);
    EXPECT_EQ(calls, (Calls{"choose color", "save", "refresh", "save", "refresh"}));
}

TEST_F(PrefSheetTest, HoursAreRaisedToTheSoonHoursOnOk) {
    std::string shownAfterApply;
    Calls savedAtApply;
    const PrefSheetOutcome outcome = Run({
        [&] { ShowEventPage(); },
        [&] {
            SetDlgItemTextA(Event(), IDC_EVT_HOURS, "2");
            SetDlgItemTextA(Event(), IDC_EVT_SOON_HOURS, "5");
            ClickButton(Event(), IDC_EVT_STARTUP);
            ClickButton(Event(), IDC_EVT_TOAST);
            Press(PSBTN_APPLYNOW);
        },
        [&] {
            shownAfterApply = Text(Event(), IDC_EVT_HOURS);
            savedAtApply = calls;
            Press(PSBTN_OK);
        },
    });
    EXPECT_EQ(shownAfterApply, "5");
    EXPECT_TRUE(outcome.eventApplied);
    EXPECT_FALSE(outcome.backgroundApplied);
    EXPECT_EQ(prefs.UewHours, 5);
    EXPECT_EQ(prefs.UewHours2, 5);
    EXPECT_EQ(prefs.UewStartup, 1);
    EXPECT_EQ(prefs.UewToast, 0);  // on by default, ticked off
    EXPECT_EQ(savedAtApply, Calls{"save"});
    EXPECT_EQ(calls, (Calls{"save", "save", "check"}));
}

TEST_F(PrefSheetTest, ClearAndAKeepAspectDisabledWithoutFitAreAppliedOnOk) {
    prefs.BkgImgFit = 1;
    prefs.BkgImgRetainRatio = 0;
    bool enabledWithFit = false;
    bool enabledWithoutFit = true;
    Run({[&] {
             enabledWithFit = IsWindowEnabled(GetDlgItem(Background(), IDC_BKG_KEEP_ASPECT)) != FALSE;
             ClickButton(Background(), IDC_BKG_KEEP_ASPECT);
             ClickButton(Background(), IDC_BKG_FIT);
             enabledWithoutFit = IsWindowEnabled(GetDlgItem(Background(), IDC_BKG_KEEP_ASPECT)) != FALSE;
             EXPECT_TRUE(Background().preview.image);
             ClickButton(Background(), IDC_BKG_CLEAR);
             EXPECT_FALSE(Background().preview.image);
         },
         [&] { Press(PSBTN_OK); }});
    EXPECT_TRUE(enabledWithFit);
    EXPECT_FALSE(enabledWithoutFit);
    EXPECT_EQ(prefs.BkgImgFit, 0);
    EXPECT_EQ(prefs.BkgImgRetainRatio, 1);
    EXPECT_EQ(prefs.BkgImgFile, "");
    EXPECT_EQ(calls, (Calls{"save", "refresh"}));
}

TEST_F(PrefSheetTest, OutOfRangeOrNonNumbersKeepTheSheetOpenAndApplyNothing) {
    struct Row {
        bool eventPage;
        int control;
        const char* typed;
        const char* message;
    };
    const Row rows[] = {
        {false, IDC_BKG_TRANSPARENCY, "256", "Please enter an integer between 0 and 255."},
        {false, IDC_BKG_TRANSPARENCY, "1e2", "Please enter an integer."},
        {true, IDC_EVT_HOURS, "25", "Please enter an integer between 0 and 24."},
        {true, IDC_EVT_HOURS, "four", "Please enter an integer."},
        {true, IDC_EVT_SOON_HOURS, "-1", "Please enter an integer between 0 and 24."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        const Preferences before = prefs;
        MessageBoxCatcher catcher;
        bool stayedOpen = false;
        std::string focused;
        const PrefSheetOutcome outcome = Run({
            [&] {
                // A valid change on the other page must not be applied either.
                SetDlgItemTextA(Background(), IDC_BKG_TRANSPARENCY, "7");
                if (row.eventPage) ShowEventPage();
            },
            [&] {
                HWND page = row.eventPage ? Event().Hwnd() : Background().Hwnd();
                SetDlgItemTextA(page, row.control, row.typed);
                Press(PSBTN_OK);
            },
            [&] {
                stayedOpen = IsWindowVisible(Sheet()) != FALSE;
                Press(PSBTN_CANCEL);
            },
        });
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        EXPECT_EQ(catcher.Boxes()[0].text, row.message);
        EXPECT_TRUE(stayedOpen);
        EXPECT_FALSE(outcome.backgroundApplied || outcome.eventApplied);
        EXPECT_EQ(prefs.BkgAlpha, before.BkgAlpha);
        EXPECT_EQ(prefs.UewHours, before.UewHours);
        EXPECT_EQ(prefs.UewHours2, before.UewHours2);
    }
    EXPECT_TRUE(calls.empty());
}

TEST_F(PrefSheetTest, ThePreviewIsDrawnExactlyAsTheWallpaperRuleDrawsIt) {
    prefs.BkgColor = RGB(240, 230, 200);
    struct Row {
        int fit;
        int keepAspect;
    };
    for (const Row row : {Row{0, 0}, Row{1, 0}, Row{1, 1}}) {
        prefs.BkgImgFit = row.fit;
        prefs.BkgImgRetainRatio = row.keepAspect;
        std::unique_ptr<DibCanvas> shown;
        std::unique_ptr<DibCanvas> swatch;
        Run({[&] {
            shown = RenderPreview(Background().preview);
            swatch = RenderPreview(Background().swatch);
            if (row.fit == 1 && row.keepAspect == 1) SaveScreenShot(Sheet(), "preferences_background");
            Press(PSBTN_CANCEL);
        }});
        ASSERT_TRUE(shown);
        DibCanvas expected(shown->Width(), shown->Height(), RGB(240, 230, 200));
        const GdipBitmap image = LoadWallpaperImage(bmp);
        DrawWallpaper(expected.Dc(), 0, 0, expected.Width(), expected.Height(), image.Get(), row.fit != 0,
                      row.keepAspect != 0);
        int differing = 0;
        for (int y = 0; y < expected.Height(); ++y) {
            for (int x = 0; x < expected.Width(); ++x) differing += shown->At(x, y) != expected.At(x, y);
        }
        EXPECT_EQ(differing, 0) << "fit " << row.fit << " keep " << row.keepAspect;
        EXPECT_NE(shown->At(2, 2), RGB(240, 230, 200)) << "the wallpaper is there";
        // Inside its frame.
        for (int x = 1; x < swatch->Width() - 1; x += 3) {
            EXPECT_EQ(swatch->At(x, swatch->Height() / 2), RGB(240, 230, 200));
        }
    }
}

TEST_F(PrefSheetTest, AWallpaperThatCannotBeReadIsNamedAndTheOneInUseStays) {
    const std::string jpeg = TempPath("orv_pref_good.jpg");
    ASSERT_TRUE(WriteQuadrants(jpeg, 64, 48, L"image/jpeg"));
    const std::string whole = ReadFileBytes(jpeg);
    const std::string truncated = TempPath("orv_pref_truncated.jpg");
    ASSERT_TRUE(WriteFileBytes(truncated, whole.substr(0, whole.size() / 2)));
    const std::string empty = TempPath("orv_pref_empty.png");
    ASSERT_TRUE(WriteFileBytes(empty, ""));
    const std::string huge = TempPath("orv_pref_huge.png");
    {
        GdipBitmap bitmap;  // one bit a pixel keeps it to 50 MB in memory
        Gdiplus::DllExports::GdipCreateBitmapFromScan0(20000, 20000, 0, PixelFormat1bppIndexed, nullptr,
                                                       bitmap.Out());
        ASSERT_TRUE(bitmap);
        ASSERT_TRUE(SaveImage(bitmap.Get(), huge, L"image/png"));
    }
    struct Row {
        std::string file;
        bool loads;
    };
    const Row rows[] = {
        {jpeg, true},  // the loader does read JPEG files
        {truncated, false},
        {empty, false},
        {huge, false},
        {TempPath("orv_pref_missing.jpg"), false},
    };
    prefs.BkgColor = RGB(1, 2, 3);
    for (const Row& row : rows) {
        prefs.BkgImgFile = bmp;
        chosenFile = row.file;
        bool hasImage = false;
        std::string path = "unchanged";
        MessageBoxCatcher catcher;
        Run({[&] {
            ClickButton(Background(), IDC_BKG_BROWSE);
            hasImage = static_cast<bool>(Background().preview.image);
            path = Background().preview.imagePath;
            Press(PSBTN_OK);
        }});
        EXPECT_TRUE(hasImage) << row.file;
        EXPECT_EQ(path, row.loads ? row.file : bmp) << row.file;
        EXPECT_EQ(prefs.BkgImgFile, path) << row.file;
        if (row.loads) {
            EXPECT_TRUE(catcher.Boxes().empty()) << row.file;
        } else {
            ASSERT_EQ(catcher.Boxes().size(), 1u) << row.file;
            EXPECT_EQ(catcher.Boxes()[0].text, "The picture could not be read:\n" + row.file);
        }
    }
    for (const std::string& f : {jpeg, truncated, empty, huge}) DeleteFileA(f.c_str());
}

TEST_F(PrefSheetTest, AStoredWallpaperThatNoLongerLoadsKeepsItsPathAndIsShownMissing) {
    prefs.BkgImgFile = TempPath("orv_pref_gone.bmp");
    prefs.BkgColor = RGB(1, 2, 3);
    int written = 0;
    Run({[&] {
             EXPECT_FALSE(Background().preview.image);
             EXPECT_EQ(Background().preview.Note(), "Missing:\n" + TempPath("orv_pref_gone.bmp"));
             const auto shown = RenderPreview(Background().preview);
             for (int y = 0; y < shown->Height(); ++y) {
                 for (int x = 0; x < shown->Width(); ++x) written += shown->At(x, y) != RGB(1, 2, 3);
             }
             SetDlgItemTextA(Background(), IDC_BKG_TRANSPARENCY, "9");
         },
         [&] {
             SaveScreenShot(Sheet(), "preferences_missing_wallpaper");
             Press(PSBTN_OK);
         }});
    EXPECT_GT(written, 0) << "the path is drawn over the colour";
    EXPECT_EQ(prefs.BkgAlpha, 9);
    EXPECT_EQ(prefs.BkgImgFile, TempPath("orv_pref_gone.bmp"));
}

TEST_F(PrefSheetTest, ASecondCommandRaisesTheOpenSheetInsteadOfOpeningAnother) {
    int sheets = 0;
    PrefSheetOutcome second{true, true};
    Run({[&] {
             second = ShowPreferences(context);
             for (HWND w = FindWindowA("#32770", "Preferences"); w != nullptr;
                  w = FindWindowExA(nullptr, w, "#32770", "Preferences")) {
                 ++sheets;
             }
             EXPECT_EQ(GetForegroundWindow(), Sheet());
             ShowEventPage();
         },
         [&] { SaveScreenShot(Sheet(), "preferences_event"); },
         [&] { Press(PSBTN_CANCEL); }});
    EXPECT_EQ(sheets, 1);
    EXPECT_FALSE(second.backgroundApplied || second.eventApplied);
}

TEST_F(PrefSheetTest, TheColourSwatchIsFramedSoThatWhiteShowsAsABox) {
    prefs.BkgColor = RGB(255, 255, 255);
    std::unique_ptr<DibCanvas> shown;
    Run({[&] {
        SaveScreenShot(Sheet(), "preferences_white_swatch");
        shown = RenderPreview(Background().swatch);
        Press(PSBTN_CANCEL);
    }});
    ASSERT_TRUE(shown);
    const int w = shown->Width();
    const int h = shown->Height();
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    ASSERT_NE(frame, RGB(255, 255, 255));
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(shown->At(x, 0), frame) << x;
        EXPECT_EQ(shown->At(x, h - 1), frame) << x;
    }
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(shown->At(0, y), frame) << y;
        EXPECT_EQ(shown->At(w - 1, y), frame) << y;
    }
    for (int x = 1; x < w - 1; ++x) EXPECT_EQ(shown->At(x, h / 2), RGB(255, 255, 255)) << x;
}

// The Sync page over memory stores holding an account already set up.
class SyncPageTest : public PrefSheetTest {
protected:
    void SetUp() override {
        PrefSheetTest::SetUp();
        context.registry = &registry;
        context.credentials = &credentials;
        context.syncSettingsChanged = [this] { calls.push_back("sync settings"); };
        context.syncNow = [this](const std::string& url, const std::string& user, const std::string& password) {
            calls.push_back("sync now " + url + " " + user + " " + password);
        };
        context.syncStatus = [] { return std::string("Could not reach the server."); };
    }
    void Reset() {
        ASSERT_TRUE(SaveSyncSettings(memory, old));
        ASSERT_TRUE(credentials.Write(kSyncCredentialTarget, "ann", "old"));
        registry.ClearWrites();
        calls.clear();
    }
    CSyncPropPage& Sync() { return open->SyncPage(); }
    void ShowSyncPage() { SendMessageA(Sheet(), PSM_SETCURSEL, 2, 0); }
    std::string Stored() {
        const SyncSettings s = LoadSyncSettings(memory);
        std::string user, password = "none";
        credentials.Read(kSyncCredentialTarget, user, password);
        std::string out = s.SyncUrl;
        out.append(" ").append(std::to_string(s.SyncMinutes)).append(" ").append(password);
        return out;
    }

    const SyncSettings old{"https://old.test/", "ann", 15};
    MemoryRegistry memory;
    FaultyRegistry registry{memory};
    MemoryCredentialStore credentials;
};

TEST_F(SyncPageTest, ApplyStoresOnlyAChangedPageThatPassesItsChecks) {
    struct Row {
        const char* url;       // typed; null: left as shown, as are the others
        const char* password;
        const char* minutes;
        const char* box;       // a refusal's message; the sheet stays open
        int focus;
        const char* stored;    // address, minutes and password afterwards
    };
    const char* const kept = "https://old.test/ 15 old";
    const Row rows[] = {
        {" https://new.test/ ", "new", "30", nullptr, 0, "https://new.test/ 30 new"},
        {"", "", "0", nullptr, 0, " 0 none"},
        {nullptr, nullptr, nullptr, nullptr, 0, kept},
        {"new.test", "new", nullptr, "The server address must begin with https:// or http://.", IDC_SYNC_URL, kept},
        {nullptr, nullptr, "1441", "Please enter an integer between 0 and 1440.", IDC_SYNC_MINUTES, kept},
        {"https://new.test/", nullptr, nullptr, CSyncPropPage::kNotSavedText, 0, kept},  // the registry refuses
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        Reset();
        if (row.box == CSyncPropPage::kNotSavedText) registry.FailName(RegOp::Write, "SyncUrl");
        MessageBoxCatcher catcher;
        std::string shownPassword;
        int focus = 0;
        std::vector<DialogScript::Step> steps = {[&] {
            ShowSyncPage();
            shownPassword = Text(Sync(), IDC_SYNC_PASSWORD);
            if (row.url) SetDlgItemTextA(Sync(), IDC_SYNC_URL, row.url);
            if (row.password) SetDlgItemTextA(Sync(), IDC_SYNC_PASSWORD, row.password);
            if (row.minutes) SetDlgItemTextA(Sync(), IDC_SYNC_MINUTES, row.minutes);
            Press(PSBTN_OK);
        }};
        if (row.box) {
            steps.push_back([&] {
                focus = GetDlgCtrlID(GetFocus());
                Press(PSBTN_CANCEL);
            });
        }
        const PrefSheetOutcome outcome = Run(std::move(steps));
        registry.Heal();
        EXPECT_EQ(shownPassword, "old");
        ASSERT_EQ(catcher.Boxes().size(), row.box ? 1u : 0u);
        if (row.box) {
            EXPECT_EQ(catcher.Boxes()[0].text, row.box);
            EXPECT_TRUE(row.focus == 0 || focus == row.focus);
        }
        EXPECT_EQ(Stored(), row.stored);
        const bool applied = !row.box && row.url;
        EXPECT_EQ(outcome.syncApplied, applied);
        EXPECT_FALSE(outcome.SaveSettings()) << "the preference group is not the Sync page's";
        EXPECT_EQ(calls, applied ? Calls{"sync settings"} : Calls{});
        EXPECT_TRUE(row.url || row.box || registry.Writes().empty()) << "nothing written for a page left alone";
    }
}

TEST_F(SyncPageTest, SyncNowTriesWhatThePageShowsWithoutStoringItAndTheStatusLineFollowsTheFrame) {
    Reset();
    std::string before, opened, started, finished;
    bool enabled = false, enabledWithoutAddress = true, applyEnabled = true;
    Calls atStart;
    const PrefSheetOutcome outcome = Run({[&] {
        Sync().ShowStatus("The server refused the user name or password.");  // newer than syncStatus
        ShowSyncPage();
        opened = Text(Sync(), IDC_SYNC_STATUS);
        enabled = IsWindowEnabled(GetDlgItem(Sync(), IDC_SYNC_NOW));
        SetDlgItemTextA(Sync(), IDC_SYNC_URL, "");
        enabledWithoutAddress = IsWindowEnabled(GetDlgItem(Sync(), IDC_SYNC_NOW));
        SetDlgItemTextA(Sync(), IDC_SYNC_URL, " https://new.test/ ");
        SetDlgItemTextA(Sync(), IDC_SYNC_PASSWORD, "typed");
        ClickButton(Sync(), IDC_SYNC_NOW);
        atStart = calls;
        started = Text(Sync(), IDC_SYNC_STATUS);
        applyEnabled = IsWindowEnabled(GetDlgItem(Sheet(), 0x3021));
        Sync().ShowStatus("Last synced 14:05: 3 received, 1 sent.");
        finished = Text(Sync(), IDC_SYNC_STATUS);
        SaveScreenShot(Sheet(), "preferences_sync");
        Press(PSBTN_CANCEL);
    }});
    EXPECT_EQ(opened, "The server refused the user name or password.");
    EXPECT_TRUE(enabled && !enabledWithoutAddress);
    EXPECT_EQ(atStart, (Calls{"sync now https://new.test/ ann typed"}));
    EXPECT_EQ(started, "Syncing...");
    EXPECT_TRUE(applyEnabled) << "still to apply";
    EXPECT_EQ(finished, "Last synced 14:05: 3 received, 1 sent.");
    // Cancel: the stored account and password as they were.
    EXPECT_EQ(Stored(), "https://old.test/ 15 old");
    EXPECT_FALSE(outcome.syncApplied);
    EXPECT_TRUE(registry.Writes().empty());

    // An address it cannot store starts nothing; the line as the frame says.
    calls.clear();
    MessageBoxCatcher catcher;
    Run({[&] {
             ShowSyncPage();
             before = Text(Sync(), IDC_SYNC_STATUS);
             SetDlgItemTextA(Sync(), IDC_SYNC_URL, "new.test");
             ClickButton(Sync(), IDC_SYNC_NOW);
         },
         [&] { Press(PSBTN_CANCEL); }});
    EXPECT_EQ(before, "Could not reach the server.");
    EXPECT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_TRUE(calls.empty());
}

TEST_F(SyncPageTest, TheSheetHasNoSyncPageWithoutARegistryOrACredentialStore) {
    for (int without : {0, 1, 2}) {
        context.registry = without == 1 ? nullptr : &registry;
        context.credentials = without == 2 ? nullptr : &credentials;
        LRESULT pages = 0;
        Run({[&] {
            pages = TabCtrl_GetItemCount(PropSheet_GetTabControl(Sheet()));
            Press(PSBTN_CANCEL);
        }});
        EXPECT_EQ(pages, without == 0 ? 3 : 2) << without;
    }
}

}  // namespace
