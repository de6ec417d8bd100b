// Saves events and preferences through the Win32 registry and looks at the
// result from outside the process with reg.exe, Wine's "reg query".
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "platform/memory/fixed_desktop.h"
#include "store/event_store.h"
#include "store/settings.h"
#include "win32/scratch_hive.h"

namespace {

// A DWORD as reg.exe shows it: "0x" and lowercase hex digits.
std::string LowerHex(Instant value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
    return text;
}

class NoSchedule final : public ReminderSchedule {
public:
    void DropPending(const ScheduleItem&) override {}
    void ForgetFired(std::uint32_t) override {}
    void RescheduleEvent(const ScheduleItem&) override {}
    void StartSchedule() override {}
};

class NoNotifier final : public ScheduleNotifier {
public:
    void CalendarChanged() override {}
    void UpcomingEventsDeleted() override {}
};

struct Shown {
    std::string type;
    std::string data;
    bool operator==(const Shown&) const = default;
};
using ShownKey = std::map<std::string, Shown>;

// Runs a command line, returns what it wrote to standard output.
std::string Run(std::string commandLine) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    std::string out;
    if (started) {
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) out.append(chunk, got);
        WaitForSingleObject(pi.hProcess, 30000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(readEnd);
    return out;
}

// "reg query KEY /s" as key path -> value name -> type and shown data.
std::map<std::string, ShownKey> Query(const std::string& key) {
    const std::string out = Run("reg.exe query \"HKEY_CURRENT_USER\\" + key + "\" /s");
    std::map<std::string, ShownKey> keys;
    std::string current;
    std::size_t at = 0;
    while (at < out.size()) {
        std::size_t end = out.find('\n', at);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.rfind("    ", 0) != 0) {
            current = line;
            keys[current];
            continue;
        }
        const std::size_t typeAt = line.find("    ", 4);
        if (typeAt == std::string::npos) continue;
        const std::size_t dataAt = line.find("    ", typeAt + 4);
        Shown v;
        v.type = line.substr(typeAt + 4, dataAt == std::string::npos ? std::string::npos : dataAt - typeAt - 4);
        if (dataAt != std::string::npos) v.data = line.substr(dataAt + 4);
        keys[current][line.substr(4, typeAt - 4)] = v;
    }
    return keys;
}

std::string Hex(const std::uint8_t* p, std::size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(digits[p[i] >> 4]);
        s.push_back(digits[p[i] & 15]);
    }
    return s;
}

TEST(RegistryRoundTripTest, ValuesAsAnotherProgramSeesThem) {
    ScratchHive hive;
    Registry& reg = hive.registry();
    const FixedClock clock(MakeLocalTime(2025, 6, 15, 12, 0, 0));
    NoSchedule schedule;
    NoNotifier notifier;
    FixedDesktop desktop({0, 0, 1024, 738});
    EventStore store(reg, clock, schedule, notifier);
    Preferences prefs;
    ASSERT_TRUE(LoadSettings(reg, desktop, "C:\\Orv\\", store, prefs));
    ASSERT_TRUE(store.LoadEvents());

    auto item = std::make_unique<ScheduleItem>();
    item->front.id = 5;
    item->front.startDate = static_cast<std::int32_t>(MakeLocalTime(2025, 6, 10, 0, 0, 0));
    item->front.endDate = static_cast<std::int32_t>(MakeLocalTime(2025, 6, 30, 23, 59, 59));
    item->front.startTime = 9 * 3600 + 30 * 60;
    item->front.endTime = 10 * 3600;
    item->front.recurKind = kKindWeekly;
    item->front.recurPattern = 0x0A;
    item->title = "Standup";
    item->note = "Room 4";
    item->soundfile = "C:\\Sounds\\chime.wav";
    item->actions = kActionPlaySound;
    item->remindMinutes = 15;
    const ScheduleFront::Bytes front = item->front.Encode();
    ASSERT_TRUE(store.SaveEvent(item, true, true));
    store.ToggleExclusion(5, 2025, 6, 17, kKindWeekly);

    prefs.BkgColor = 0x00123456;
    prefs.BkgImgFile = "C:\\Pictures\\sea.jpg";
    prefs.BkgImgFit = 0;
    prefs.BkgAlpha = 0xFF;
    prefs.UewStartup = 1;
    prefs.UewSoon = 0;
    prefs.UewHours = 6;
    prefs.UewHours2 = 3;
    prefs.ScheRect = {-8, 20, 472, 397};
    SaveSettings(reg, kPreferenceGroup, prefs, store);
    SaveSettings(reg, kExitGroup, prefs, store);

    // Read back through the program itself first.
    {
        EventStore again(reg, clock, schedule, notifier);
        Preferences back;
        ASSERT_TRUE(LoadSettings(reg, desktop, "", again, back));
        ASSERT_TRUE(again.LoadEvents());
        EXPECT_EQ(back.BkgImgFile, prefs.BkgImgFile);
        EXPECT_EQ(back.ScheRect, prefs.ScheRect);
        EXPECT_EQ(back.UewHours2, 3);
        EXPECT_EQ(again.Exclusions(), store.Exclusions());
        ASSERT_EQ(again.Count(), 1u);
        EXPECT_EQ(again.FindEvent(5)->front, store.FindEvent(5)->front);
        EXPECT_EQ(again.FindEvent(5)->soundfile, "C:\\Sounds\\chime.wav");
    }

    hive.Restore();
    const std::string user = hive.Path() + "\\SOFTWARE\\OrvCalendar\\User\\Default_Id";
    const auto keys = Query(user);
    const std::string userKey = "HKEY_CURRENT_USER\\" + user;
    ASSERT_EQ(keys.size(), 3u) << "the user key, sc and one event";

    const std::uint8_t excluded[8] = {17, 6, 0xE9, 7, 5, 0, 0, 0};
    const ShownKey expectedUser = {
        {"BkgColor", {"REG_DWORD", "0x123456"}},
        {"BkgImgFile", {"REG_SZ", "C:\\Pictures\\sea.jpg"}},
        {"BkgImgFit", {"REG_DWORD", "0x0"}},
        {"BkgImgRetainRatio", {"REG_DWORD", "0x1"}},
        {"BkgAlpha", {"REG_DWORD", "0xff"}},
        {"UewStartup", {"REG_DWORD", "0x1"}},
        {"UewNotification", {"REG_DWORD", "0x1"}},
        {"UewBeginning", {"REG_DWORD", "0x1"}},
        {"UewUpcoming", {"REG_DWORD", "0x1"}},
        {"UewSoon", {"REG_DWORD", "0x0"}},
        {"UewHours", {"REG_DWORD", "0x6"}},
        {"UewHours2", {"REG_DWORD", "0x3"}},
        {"UewToast", {"REG_DWORD", "0x1"}},
        {"ScheRect", {"REG_BINARY", "F8FFFFFF14000000D80100008D010000"}},
        {"EventExcluded", {"REG_BINARY", Hex(excluded, 8)}},
        {"LastRun", {"REG_DWORD", LowerHex(clock.Now())}},
    };
    ASSERT_EQ(keys.count(userKey), 1u);
    EXPECT_EQ(keys.at(userKey), expectedUser);
    ASSERT_EQ(keys.count(userKey + "\\sc"), 1u);
    EXPECT_TRUE(keys.at(userKey + "\\sc").empty());

    const ShownKey expectedEvent = {
        {"front", {"REG_BINARY", Hex(front.data(), front.size())}},
        {"priv", {"REG_BINARY", "01000F00"}},
        {"title", {"REG_SZ", "Standup"}},
        {"note", {"REG_SZ", "Room 4"}},
        {"soundfile", {"REG_SZ", "C:\\Sounds\\chime.wav"}},
        {"launchfile", {"REG_SZ", ""}},
        {"fileschosen", {"REG_DWORD", "0x0"}},
    };
    ASSERT_EQ(keys.count(userKey + "\\sc\\5"), 1u);
    EXPECT_EQ(keys.at(userKey + "\\sc\\5"), expectedEvent);
    // The fixed record as laid out on disk: id, then the weekly kind at byte 29.
    EXPECT_EQ(expectedEvent.at("front").data.substr(0, 8), "05000000");
    EXPECT_EQ(expectedEvent.at("front").data.substr(58, 2), "3C");
}

}  // namespace
