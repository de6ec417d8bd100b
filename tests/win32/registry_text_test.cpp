// Text values between this version and older ones, on the real registry:
// Windows keeps REG_SZ as UTF-16 whatever wrote it.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>

#include "core/calendar.h"
#include "platform/win32/wide_text.h"
#include "portable/store_fakes.h"
#include "store/event_store.h"
#include "store/registry_paths.h"
#include "win32/scratch_hive.h"

namespace {

const std::string kMeeting = "\xD0\x92\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB0";  // Встреча

struct Key {
    HKEY handle = nullptr;
    explicit Key(const std::string& path) {
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_ALL_ACCESS, &handle), ERROR_SUCCESS);
    }
    ~Key() {
        if (handle != nullptr) RegCloseKey(handle);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
};

std::unique_ptr<ScheduleItem> Event(std::uint32_t id, const std::string& title) {
    auto item = std::make_unique<ScheduleItem>();
    item->front.id = id;
    LocalFields f;
    EXPECT_TRUE(BreakDownLocal(std::time(nullptr), f));
    const Instant today = MakeLocalTime(f.year, f.month, f.day, 0, 0, 0);
    item->front.startDate = static_cast<std::int32_t>(today);
    item->front.endDate = static_cast<std::int32_t>(today + 86399);
    item->front.startTime = 9 * 3600;
    item->front.endTime = 10 * 3600;
    item->title = title;
    return item;
}

TEST(RegistryText, OlderAnsiValuesReadBackAndOursReadAsTheCodePageGivesThem) {
    if (GetACP() != 1252) GTEST_SKIP() << "the test prefix uses code page " << GetACP();
    ScratchHive hive;
    SettableClock clock(std::time(nullptr));
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    {
        EventStore store(hive.registry(), clock, schedule, notifier);
        store.LoadEvents();
        auto meeting = Event(1, kMeeting);
        auto cafe = Event(2, "placeholder");
        ASSERT_TRUE(store.SaveEvent(meeting, true, true));
        ASSERT_TRUE(store.SaveEvent(cafe, true, true));
    }
    const std::string events(kEventsKeyPath);
    // What this version wrote, read by an older one through the ANSI call.
    {
        Key key(events + "\\1");
        char text[61] = {};
        DWORD size = sizeof text;
        ASSERT_EQ(RegQueryValueExA(key.handle, "title", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
                  ERROR_SUCCESS);
        EXPECT_STREQ(text, "???????");
        // And through the wide call, as it was written.
        wchar_t wide[61] = {};
        size = sizeof wide;
        ASSERT_EQ(RegQueryValueExW(key.handle, L"title", nullptr, nullptr, reinterpret_cast<BYTE*>(wide), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(Utf8(wide), kMeeting);
    }
    // An older version's title, in code page 1252, as this version reads it.
    {
        Key key(events + "\\2");
        const char cafe[] = "Caf\xE9";
        ASSERT_EQ(RegSetValueExA(key.handle, "title", 0, REG_SZ, reinterpret_cast<const BYTE*>(cafe), sizeof cafe),
                  ERROR_SUCCESS);
    }
    EventStore again(hive.registry(), clock, schedule, notifier);
    again.LoadEvents();
    ASSERT_NE(again.FindEvent(1), nullptr);
    ASSERT_NE(again.FindEvent(2), nullptr);
    EXPECT_EQ(again.FindEvent(1)->title, kMeeting);
    EXPECT_EQ(again.FindEvent(2)->title, "Caf\xC3\xA9");
}

// The loader's limit counts characters: 60 emoji-free Chinese characters
// load, 61 do not, and 30 emoji (60 UTF-16 units) load whole.
TEST(RegistryText, ReadLimitsCountCharacters) {
    ScratchHive hive;
    const RegKey key = RegKey::Create(hive.registry(), "Limits", RegAccess::All);
    std::string sixty;
    std::string emoji;
    for (int i = 0; i < 60; ++i) sixty += "\xE4\xBC\x9A";
    for (int i = 0; i < 30; ++i) emoji += "\xF0\x9F\x99\x82";
    ASSERT_TRUE(key.WriteString("sixty", sixty));
    ASSERT_TRUE(key.WriteString("more", sixty + "\xE4\xBC\x9A"));
    ASSERT_TRUE(key.WriteString("emoji", emoji));
    std::string text;
    EXPECT_TRUE(key.ReadString("sixty", 61, text));
    EXPECT_EQ(text, sixty);
    EXPECT_FALSE(key.ReadString("more", 61, text));
    EXPECT_TRUE(key.ReadString("emoji", 61, text));
    EXPECT_EQ(text, emoji);
}

}  // namespace
