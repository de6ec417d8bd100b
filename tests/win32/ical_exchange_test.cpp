// iCalendar files on disk, read and written for an export or import: what
// each outcome is called, and that the files go whole or not at all. The
// calendar lives in a memory registry; the files are real.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <new>
#include <string>

#include "app/exchange_request.h"
#include "app/ical_exchange.h"
#include "core/calendar.h"
#include "core/local_zone.h"
#include "platform/memory/faulty_registry.h"
#include "platform/memory/memory_registry.h"
#include "platform/win32/win32_file.h"
#include "portable/store_fakes.h"
#include "store/event_store.h"

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "orv_ical_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(GetTickCount());
        EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAA found;
        const HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string File(const char* name) const { return path_ + "\\" + name; }
    bool Has(const char* name) const { return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    std::string path_;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

const std::string kLunch =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Fixture//EN\r\nBEGIN:VEVENT\r\nUID:lunch@example.com\r\n"
    "DTSTART:20260310T120000\r\nSUMMARY:Lunch\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

struct Calendar {
    explicit Calendar(Registry& registry) : store(registry, clock, schedule, notifier) { store.LoadEvents(); }

    // A one-off event on a day of March 2026 at 09:00.
    std::uint32_t AddEvent(const char* title, int day) {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = store.NextEventId();
        item->front.startDate = static_cast<std::int32_t>(MakeLocalTime(2026, 3, day, 0, 0, 0));
        item->front.endDate = static_cast<std::int32_t>(EndOfDay(item->front.startDate));
        item->front.startTime = item->front.endTime = 9 * 3600;
        item->title = title;
        const std::uint32_t id = item->front.id;
        EXPECT_TRUE(store.SaveEvent(item, true, true));
        return id;
    }

    SettableClock clock{MakeLocalTime(2026, 3, 1, 12, 0, 0)};
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    EventStore store;
};

TEST(IcalExchange, ExportWritesTheWholeFileAndTellsWhatItLeftOut) {
    ScratchFolder folder;
    MemoryRegistry registry;
    Calendar c(registry);
    c.AddEvent("Lunch", 10);
    const std::string path = folder.File("out.ics");
    Put(path, "an older export, longer than the new one will be" + std::string(4096, '.'));

    ExchangeOutcome outcome = ExportCalendarFile(path, c.store, registry, c.clock);
    EXPECT_EQ(outcome.code, kExchangeOk);
    EXPECT_EQ(outcome.message, "");
    const std::string first = Contents(path);
    EXPECT_EQ(first.rfind("BEGIN:VCALENDAR\r\n", 0), 0u);
    EXPECT_NE(first.find("SUMMARY:Lunch\r\n"), std::string::npos);
    EXPECT_EQ(first.substr(first.size() - 15), "END:VCALENDAR\r\n");
    EXPECT_FALSE(folder.Has("out.ics.part"));
    // The installation's part of the UIDs is drawn once and kept.
    ASSERT_EQ(ExportCalendarFile(path, c.store, registry, c.clock).code, kExchangeOk);
    EXPECT_EQ(Contents(path), first);

    // A one-off event whose day is excluded has no occurrence to export.
    const std::uint32_t gone = c.AddEvent("Cancelled", 12);
    c.store.ToggleExclusion(gone, 2026, 3, 12, kKindNone);
    outcome = ExportCalendarFile(path, c.store, registry, c.clock);
    EXPECT_EQ(outcome.code, kExchangeOk);
    EXPECT_EQ(outcome.message, "1 event exported; 1 event without any occurrence was left out.");

    const std::string nowhere = folder.File("missing\\out.ics");
    outcome = ExportCalendarFile(nowhere, c.store, registry, c.clock);
    EXPECT_EQ(outcome.code, kExchangeWriteFailed);
    EXPECT_EQ(outcome.message, "The calendar could not be written to\n" + nowhere);
}

TEST(IcalExchange, ImportOutcomes) {
    ScratchFolder folder;
    Put(folder.File("lunch.ics"), kLunch);
    Put(folder.File("table.csv"), "Name,Date\r\nLunch,2026-03-10\r\n");
    const struct {
        const char* file;
        int events;     // in the calendar before
        bool failSave;  // the registry refuses event keys
        int added;      // to the calendar in memory
        int code;
        std::string message;
    } cases[] = {
        {"lunch.ics", 0, false, 1, kExchangeOk, "1 event imported."},
        {"none.ics", 0, false, 0, kExchangeUnreadable, "The file could not be read:\n" + folder.File("none.ics")},
        {"table.csv", 0, false, 0, kExchangeInvalid, "This is not an iCalendar file."},
        {"lunch.ics", 361, false, 0, kExchangeStoreFull,
         "The file holds 1 new event, but the calendar has no room for more (it keeps at most 361). Nothing was "
         "imported."},
        // Kept in memory until the next start, as any event whose key cannot be written.
        {"lunch.ics", 0, true, 1, kExchangeWriteFailed, "1 event imported.\n1 event could not be saved."},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.message);
        MemoryRegistry memory;
        FaultyRegistry registry(memory);
        Calendar c(registry);
        for (int i = 0; i < row.events; ++i) c.AddEvent("Filler", 1 + i % 28);
        if (row.failSave) registry.FailName(RegOp::Write, "front");
        const ExchangeOutcome outcome = ImportCalendarFile(folder.File(row.file), c.store, registry, c.clock);
        EXPECT_EQ(outcome.code, row.code);
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(c.store.Count(), static_cast<std::size_t>(row.events + row.added));
    }
}

// A registry whose listing of the events fails the way an allocation does.
class ThrowingRegistry final : public Registry {
public:
    Handle CurrentUser() const override { return inner_.CurrentUser(); }
    bool CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) override {
        return inner_.CreateKey(parent, path, access, out);
    }
    bool OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) override {
        return inner_.OpenKey(parent, path, access, out);
    }
    void CloseKey(Handle key) override { inner_.CloseKey(key); }
    bool QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) override {
        return inner_.QueryValue(key, name, buffer, size);
    }
    bool SetValue(Handle key, std::string_view name, RegType type, const void* data, std::uint32_t size) override {
        return inner_.SetValue(key, name, type, data, size);
    }
    bool DeleteValue(Handle key, std::string_view name) override { return inner_.DeleteValue(key, name); }
    bool DeleteKey(Handle parent, std::string_view subkey) override { return inner_.DeleteKey(parent, subkey); }
    bool EnumKey(Handle, std::uint32_t, std::size_t, std::string&) override { throw std::bad_alloc(); }

private:
    MemoryRegistry inner_;
};

// Whatever stops a request, the exit code is one the README lists.
TEST(IcalExchange, AnUnexpectedFaultEndsWithItsOwnCode) {
    ScratchFolder folder;
    ThrowingRegistry registry;
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Export;
    request.path = folder.File("out.ics");
    EXPECT_EQ(RunWithoutWindows(registry, AppValues{}, request), kExchangeFault);
    EXPECT_FALSE(folder.Has("out.ics"));
}

TEST(IcalExchange, ReadWholeFileStopsOneBytePastTheLimit) {
    ScratchFolder folder;
    Put(folder.File("a.ics"), "0123456789");
    std::string text;
    EXPECT_EQ(ReadWholeFile(folder.File("a.ics"), 10, text), FileReadStatus::Ok);
    EXPECT_EQ(text, "0123456789");
    EXPECT_EQ(ReadWholeFile(folder.File("a.ics"), 4, text), FileReadStatus::TooLarge);
    EXPECT_EQ(text, "01234");
    EXPECT_EQ(ReadWholeFile(folder.File("b.ics"), 4, text), FileReadStatus::Unreadable);
    EXPECT_EQ(text, "");
}

}  // namespace
