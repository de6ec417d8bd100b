#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/little_endian.h"
#include "platform/memory/faulty_registry.h"
#include "platform/memory/fixed_desktop.h"
#include "platform/memory/memory_registry.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"
#include "store/registry_paths.h"
#include "store/settings.h"

namespace {

const std::string kUser = std::string(kUserKeyPath) + "\\" + std::string(kUserId);

class SettingsTest : public testing::Test {
protected:
    SettableClock clock{Local(2025, 6, 15, 12)};
    MemoryRegistry memory;
    FaultyRegistry reg{memory};
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    EventStore store{reg, clock, schedule, notifier};
    FixedDesktop desktop{{0, 0, 1024, 738}};
    Preferences prefs;

    RegKey User() { return RegKey::Create(memory, kUser, RegAccess::All); }
    void SetWallpaper(const std::string& path, const std::string& tile) {
        const RegKey desk = RegKey::Create(memory, "Control Panel\\Desktop", RegAccess::All);
        desk.WriteString("Wallpaper", path);
        desk.WriteString("TileWallpaper", tile);
    }
    bool Load(const std::string& installPath = "") {
        return LoadSettings(reg, desktop, installPath, store, prefs);
    }
    std::string Peek(const std::string& name, RegType expected) {
        RegType type{};
        std::string bytes;
        if (!memory.Peek(kUser, name, type, bytes)) return "absent";
        EXPECT_EQ(type, expected) << name;
        return bytes;
    }
};

TEST_F(SettingsTest, FirstRunGivesTheDefaults) {
    prefs.UewHours = 17;  // whatever was there before
    ASSERT_TRUE(Load());
    Preferences expected;
    expected.ScheRect = {494, 338, 974, 715};  // 480 x 377 near the bottom-right of 1024 x 738
    EXPECT_EQ(prefs.BkgColor, expected.BkgColor);
    EXPECT_EQ(prefs.BkgImgFile, "");
    EXPECT_EQ(prefs.BkgImgFit, 1);
    EXPECT_EQ(prefs.BkgImgRetainRatio, 1);
    EXPECT_EQ(prefs.BkgAlpha, 160);
    EXPECT_EQ(prefs.UewStartup, 0);
    EXPECT_EQ(prefs.UewNotification + prefs.UewBeginning + prefs.UewUpcoming + prefs.UewSoon, 4);
    EXPECT_EQ(prefs.UewHours, 4);
    EXPECT_EQ(prefs.UewHours2, 2);
    EXPECT_EQ(prefs.ScheRect, expected.ScheRect);
    EXPECT_TRUE(store.Exclusions().empty());
    // The keys now exist; loading wrote no values.
    EXPECT_TRUE(RegKey::Open(memory, kUser, RegAccess::Read));
    EXPECT_TRUE(reg.Writes().empty());
    EXPECT_EQ(memory.OpenHandleCount(), 0u);

    desktop = FixedDesktop({0, 0, 1920, 1040});
    ASSERT_TRUE(Load());
    EXPECT_EQ(prefs.ScheRect, (ScreenRect{1390, 640, 1870, 1017}));
}

// The default rectangle is 480 x 377 at 96 DPI, in physical pixels at the
// primary monitor's scale, by the same rule from the work area's corner.
TEST_F(SettingsTest, FirstRunRectangleFollowsTheScale) {
    const struct {
        int dpi;
        ScreenRect rect;
    } cases[] = {
        {96, {1390, 640, 1870, 1017}},
        {120, {1257, 540, 1857, 1011}},
        {144, {1125, 440, 1845, 1006}},  // 720 x 566 at 150 %
        {192, {860, 240, 1820, 994}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        desktop = FixedDesktop({0, 0, 1920, 1040}, c.dpi);
        ASSERT_TRUE(Load());
        EXPECT_EQ(prefs.ScheRect, c.rect);
    }
    // 960 x 754 does not fit left of the corner of 1024 x 768.
    desktop = FixedDesktop({0, 0, 1024, 768}, 192);
    ASSERT_TRUE(Load());
    EXPECT_EQ(prefs.ScheRect, (ScreenRect{0, 0, 960, 754}));
}

TEST_F(SettingsTest, WallpaperRuleForAMissingImage) {
    SetWallpaper("C:\\windows\\clouds.bmp", "1");
    ASSERT_TRUE(Load("C:\\Orv\\"));
    EXPECT_EQ(prefs.BkgImgFile, "C:\\windows\\clouds.bmp");
    EXPECT_EQ(prefs.BkgImgFit, 0);  // tiled desktop: natural size

    SetWallpaper("D:\\pics\\sea.jpg", "0");
    User().WriteDword("BkgImgFit", 0);  // overridden by the rule
    ASSERT_TRUE(Load("C:\\Orv\\"));
    EXPECT_EQ(prefs.BkgImgFile, "D:\\pics\\sea.jpg");
    EXPECT_EQ(prefs.BkgImgFit, 1);

    SetWallpaper("sea.jpg", "0");  // no ":\": not a full path
    ASSERT_TRUE(Load("C:\\Orv\\"));
    EXPECT_EQ(prefs.BkgImgFile, "C:\\Orv\\img\\sample01.jpg");
    EXPECT_EQ(prefs.BkgImgFit, 0);  // the stored value stands
    ASSERT_TRUE(Load(""));
    EXPECT_EQ(prefs.BkgImgFile, "");
    // A folder that leaves no room for the sample's name within 259 characters: no image.
    const std::string deep = std::string("C:\\").append(239, 'd').append("\\");
    ASSERT_TRUE(Load(deep));
    EXPECT_EQ(prefs.BkgImgFile, deep + "img\\sample01.jpg");
    ASSERT_TRUE(Load(std::string("C:\\").append(240, 'd').append("\\")));
    EXPECT_EQ(prefs.BkgImgFile, "");

    // A stored empty image means "no image" and keeps the desktop out of it.
    SetWallpaper("C:\\windows\\clouds.bmp", "0");
    User().WriteString("BkgImgFile", "");
    ASSERT_TRUE(Load("C:\\Orv\\"));
    EXPECT_EQ(prefs.BkgImgFile, "");
}

TEST_F(SettingsTest, DesktopWallpaperReading) {
    std::string path = "stale";
    int tile = 5;
    ReadDesktopWallpaper(reg, path, tile);
    EXPECT_EQ(path, "");
    EXPECT_EQ(tile, 0);
    SetWallpaper("C:\\w.bmp", "2 tiles");
    ReadDesktopWallpaper(reg, path, tile);
    EXPECT_EQ(path, "C:\\w.bmp");
    EXPECT_EQ(tile, 2);
    SetWallpaper("C:\\w.bmp", "yes");
    ReadDesktopWallpaper(reg, path, tile);
    EXPECT_EQ(tile, 0);
    reg.FailName(RegOp::Open, "Desktop");
    ReadDesktopWallpaper(reg, path, tile);
    EXPECT_EQ(path, "");
}

TEST_F(SettingsTest, StoredValuesAreReadAndWrittenBackAsTheyWere) {
    {
        const RegKey user = User();
        user.WriteDword("BkgColor", 0x00123456);
        user.WriteString("BkgImgFile", "E:\\x.png");
        user.WriteDword("BkgImgFit", 0);
        user.WriteDword("BkgImgRetainRatio", 0);
        user.WriteDword("BkgAlpha", 0x1FF);  // only the low byte counts
        user.WriteDword("UewStartup", 1);
        user.WriteDword("UewNotification", 0);
        user.WriteDword("UewBeginning", 0);
        user.WriteDword("UewUpcoming", 0);
        user.WriteDword("UewSoon", 0);
        user.WriteDword("UewHours", 24);
        user.WriteDword("UewHours2", 0);
        const std::uint8_t rect[16] = {10, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF, 0x4A, 1, 0, 0, 40, 1, 0, 0};
        user.WriteBinary("ScheRect", rect, sizeof rect);
    }
    ASSERT_TRUE(Load());
    EXPECT_EQ(prefs.BkgColor, 0x00123456u);
    EXPECT_EQ(prefs.BkgImgFile, "E:\\x.png");
    EXPECT_EQ(prefs.BkgImgFit, 0);
    EXPECT_EQ(prefs.BkgImgRetainRatio, 0);
    EXPECT_EQ(prefs.BkgAlpha, 255);
    EXPECT_EQ(prefs.UewStartup, 1);
    EXPECT_EQ(prefs.UewNotification + prefs.UewBeginning + prefs.UewUpcoming + prefs.UewSoon, 0);
    EXPECT_EQ(prefs.UewHours, 24);
    EXPECT_EQ(prefs.UewHours2, 0);
    EXPECT_EQ(prefs.ScheRect, (ScreenRect{10, -10, 330, 296}));

    SaveSettings(reg, kPreferenceGroup, prefs, store);
    EXPECT_EQ(reg.Writes(), (std::vector<std::string>{"BkgColor", "BkgImgFile", "BkgImgFit", "BkgImgRetainRatio",
                                                      "BkgAlpha", "UewStartup", "UewNotification", "UewBeginning",
                                                      "UewUpcoming", "UewSoon", "UewHours", "UewHours2",
                                                      "UewToast"}));
    EXPECT_EQ(Peek("BkgAlpha", RegType::Dword), std::string("\xFF\0\0\0", 4));
    EXPECT_EQ(Peek("BkgColor", RegType::Dword), std::string("\x56\x34\x12\0", 4));
    EXPECT_EQ(Peek("BkgImgFile", RegType::Sz), std::string("E:\\x.png\0", 9));
    EXPECT_EQ(Peek("UewHours", RegType::Dword), std::string("\x18\0\0\0", 4));
}

TEST_F(SettingsTest, ValuesOutOfTheirRangeAreClampedOnLoad) {
    struct Row {
        const char* name;
        std::uint32_t stored;
        std::int64_t loaded;
    };
    const auto field = [this](const std::string& name) -> std::int64_t {
        if (name == "BkgColor") return prefs.BkgColor;
        if (name == "BkgAlpha") return prefs.BkgAlpha;
        if (name == "BkgImgFit") return prefs.BkgImgFit;
        if (name == "BkgImgRetainRatio") return prefs.BkgImgRetainRatio;
        if (name == "UewStartup") return prefs.UewStartup;
        if (name == "UewSoon") return prefs.UewSoon;
        if (name == "UewHours") return prefs.UewHours;
        if (name == "UewToast") return prefs.UewToast;
        return prefs.UewHours2;
    };
    const Row rows[] = {
        {"UewHours", 25, 24},
        {"UewHours", 0xFFFFFFFF, 2},  // 0, raised to the soon hours (2 by default)
        {"UewHours2", 1000, 24},
        {"UewHours2", 0x80000000, 0},
        {"BkgAlpha", 0x1FF, 255},           // only the low byte counts
        {"BkgImgFit", 7, 1},                // a flag is on or off
        {"BkgImgRetainRatio", 0xFFFFFFFF, 1},
        {"UewStartup", 2, 1},
        {"UewSoon", 0x80000000, 1},
        {"UewToast", 0, 0},
        {"UewToast", 5, 1},
        {"BkgColor", 0xFF123456, 0x123456},  // no top byte
    };
    for (const Row& row : rows) {
        User().WriteDword(row.name, row.stored);
        ASSERT_TRUE(Load());
        EXPECT_EQ(field(row.name), row.loaded) << row.name << " " << row.stored;
    }
}

// A damaged rectangle would make the calendar invisible for good (each exit
// stores it again): one smaller than the window can be gives the default.
// The smallest size is the window's at the scale of the monitor it is on or
// nearest to; one on no monitor is kept and moved onto the screen when shown.
TEST_F(SettingsTest, AWindowRectangleTheWindowCannotHaveGivesTheDefault) {
    const ScreenRect fallback{494, 338, 974, 715};
    desktop = FixedDesktop(
        {{{0, 0, 1024, 768}, {0, 0, 1024, 738}, 96}, {{1024, 0, 3024, 1200}, {1024, 0, 3024, 1200}, 192}});
    struct Row {
        ScreenRect stored;
        ScreenRect loaded;
    } rows[] = {
        {{100, 100, 100, 100}, fallback},
        {{0, 0, 0, 0}, fallback},
        {{974, 715, 494, 338}, fallback},  // inverted
        {{100, 100, 110, 110}, fallback},
        {{0, 0, 319, 377}, fallback},
        {{0, 0, 480, 199}, fallback},
        {{0, 0, 320, 200}, {0, 0, 320, 200}},
        {{-100, 600, 380, 977}, {-100, 600, 380, 977}},  // partly on: moved in when shown
        {{900, 600, 1380, 977}, fallback},               // mostly on the second monitor: too small there
        {{-2000, 100, -1520, 477}, {-2000, 100, -1520, 477}},  // on no monitor
        {{5000, 100, 5480, 477}, fallback},                    // nearest the 192-DPI one: too small there
        {{5000, 100, 5640, 500}, {5000, 100, 5640, 500}},
        {{1100, 100, 1740, 500}, {1100, 100, 1740, 500}},  // 640 x 400 at 192 DPI
        {{1100, 100, 1739, 500}, fallback},
    };
    for (const Row& row : rows) {
        std::uint8_t bytes[16];
        const std::int32_t values[4] = {row.stored.left, row.stored.top, row.stored.right, row.stored.bottom};
        for (int i = 0; i < 4; ++i) PutLe32(bytes + 4 * i, static_cast<std::uint32_t>(values[i]));
        User().WriteBinary("ScheRect", bytes, sizeof bytes);
        ASSERT_TRUE(Load());
        EXPECT_EQ(prefs.ScheRect, row.loaded) << row.stored.left << "," << row.stored.top << "," << row.stored.right
                                              << "," << row.stored.bottom;
    }
}

// The window's look-ahead never falls short of the "beginning in" hours, as
// the sheet keeps them: otherwise it opens for an event it does not list.
TEST_F(SettingsTest, TheLookAheadIsRaisedToTheSoonHoursAtLoad) {
    const std::uint32_t rows[][4] = {
        // stored hours, soon hours; loaded hours, soon hours
        {2, 5, 5, 5},
        {0, 24, 24, 24},
        {3, 1000, 24, 24},
        {24, 0, 24, 0},
        {4, 4, 4, 4},
    };
    for (const auto& row : rows) {
        User().WriteDword("UewHours", row[0]);
        User().WriteDword("UewHours2", row[1]);
        ASSERT_TRUE(Load());
        EXPECT_EQ(prefs.UewHours, static_cast<std::int32_t>(row[2])) << row[0] << " " << row[1];
        EXPECT_EQ(prefs.UewHours2, static_cast<std::int32_t>(row[3])) << row[0] << " " << row[1];
    }
}

TEST_F(SettingsTest, ValuesOfTheWrongSizeGiveTheDefaults) {
    {
        const RegKey user = User();
        user.WriteBinary("BkgAlpha", "\x10\x00", 2);
        user.WriteBinary("UewHours", "\x07\0\0\0\0", 5);
        user.WriteBinary("ScheRect", "\1\0\0\0\2\0\0\0\3\0\0\0", 12);
        user.WriteString("BkgImgFile", std::string(260, 'x'));  // does not fit 260 bytes: missing
    }
    ASSERT_TRUE(Load("C:\\Orv\\"));
    EXPECT_EQ(prefs.BkgAlpha, 160);
    EXPECT_EQ(prefs.UewHours, 4);
    EXPECT_EQ(prefs.ScheRect, (ScreenRect{494, 338, 974, 715}));
    EXPECT_EQ(prefs.BkgImgFile, "C:\\Orv\\img\\sample01.jpg");
}

TEST_F(SettingsTest, ExitGroupWritesThePlacementAndTheExclusions) {
    prefs.ScheRect = {-5, 6, 700, 800};
    SaveSettings(reg, kExitGroup, prefs, store);
    EXPECT_EQ(Peek("ScheRect", RegType::Binary),
              std::string("\xFB\xFF\xFF\xFF\x06\0\0\0\xBC\x02\0\0\x20\x03\0\0", 16));
    EXPECT_EQ(Peek("EventExcluded", RegType::Binary), "absent");
    EXPECT_EQ(Peek("BkgColor", RegType::Dword), "absent");

    const std::string entries("\x01\x06\xE9\x07\x09\0\0\0", 8);
    store.LoadExclusions(reinterpret_cast<const std::uint8_t*>(entries.data()), entries.size());
    SaveSettings(reg, kExitGroup, prefs, store);
    EXPECT_EQ(Peek("EventExcluded", RegType::Binary), entries);

    reg.ClearWrites();
    SaveSettings(reg, 2, prefs, store);
    EXPECT_TRUE(reg.Writes().empty());
    reg.FailName(RegOp::Open, "Default_Id");
    SaveSettings(reg, kPreferenceGroup, prefs, store);
    EXPECT_TRUE(reg.Writes().empty());
    EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

TEST_F(SettingsTest, ExclusionsAreLoadedWithTheSettings) {
    // 20 bytes: two entries and a stub.
    const std::string twenty("\x01\x06\xE9\x07\x01\0\0\0\x02\x06\xE9\x07\x02\0\0\0xxxx", 20);
    User().WriteBinary("EventExcluded", twenty.data(), twenty.size());
    ASSERT_TRUE(Load());
    EXPECT_EQ(store.Exclusions(),
              (std::vector<Exclusion>{{MakeDateKey(2025, 6, 1), 1}, {MakeDateKey(2025, 6, 2), 2}}));
}

TEST_F(SettingsTest, AnOversizedExclusionValueIsNotBelieved) {
    std::string huge(kMaxExclusionBytes + 8, '\0');
    for (std::size_t at = 0; at < huge.size(); at += 8) huge.replace(at, 4, "\x01\x06\xE9\x07", 4);
    User().WriteBinary("EventExcluded", huge.data(), 8);
    ASSERT_TRUE(Load());
    const std::uint32_t readsWhenTaken = reg.Calls(RegOp::Read);
    EventStore fresh{reg, clock, schedule, notifier};
    User().WriteBinary("EventExcluded", huge.data(), huge.size());
    ASSERT_TRUE(LoadSettings(reg, desktop, "", fresh, prefs));
    EXPECT_TRUE(fresh.Exclusions().empty());
    // Sized, never read; nor is the last run it would be judged by.
    EXPECT_EQ(reg.Calls(RegOp::Read) - readsWhenTaken, readsWhenTaken - 2);

    huge.resize(kMaxExclusionBytes);  // at the bound it is still taken
    User().WriteBinary("EventExcluded", huge.data(), huge.size());
    ASSERT_TRUE(LoadSettings(reg, desktop, "", fresh, prefs));
    EXPECT_EQ(fresh.Exclusions().size(), kMaxExclusionBytes / 8);
}

TEST_F(SettingsTest, NoUserKeyNoSettings) {
    reg.FailName(RegOp::Open, "Default_Id");
    prefs.UewHours = 9;
    EXPECT_FALSE(Load());
    EXPECT_EQ(prefs.UewHours, 9);
    reg.Heal();
    reg.FailName(RegOp::Open, "User");
    EXPECT_FALSE(Load());
}

}  // namespace
