// Pieces of the application shell that need no running program.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/exchange_request.h"
#include "app/ical_exchange.h"
#include "platform/win32/wide_text.h"
#include "app/app_ids.h"

namespace {

// The arguments as the program takes them from its wide command line.
std::vector<std::string> Arguments(const char* line) {
    int count = 0;
    const std::wstring whole = L"OrvCalendar.exe " + Wide(line);
    LPWSTR* argv = CommandLineToArgvW(whole.c_str(), &count);
    std::vector<std::string> args;
    for (int i = 1; argv != nullptr && i < count; ++i) args.push_back(Utf8(argv[i]));
    LocalFree(argv);
    return args;
}

TEST(CommandLine, QuietStartNeedsALowercaseS) {
    for (const char* yes : {"/s", "-s", "s", "/startup", "-startup", "silent"}) {
        EXPECT_TRUE(IsQuietStartArgument(yes)) << yes;
    }
    for (const char* no : {"/S", "x", "", "/", "--s", "/xs", "S"}) {
        EXPECT_FALSE(IsQuietStartArgument(no)) << no;
    }
}

TEST(CommandLine, ExchangesTakeTheNextArgumentAsTheirFileAndSyncTakesNone) {
    using A = CommandLineRequest::Action;
    const struct {
        const char* line;
        A action;
        const char* path;
        bool quiet;
    } cases[] = {
        {"", A::Start, "", false},
        {"/s /unknown", A::Start, "", true},
        {"/export C:\\a.ics", A::Export, "C:\\a.ics", false},
        {"-IMPORT \"C:\\My Files\\a.ics\" /s", A::Import, "C:\\My Files\\a.ics", true},
        {"/import schedule.ics", A::Import, "schedule.ics", false},  // a file, not the quiet switch
        {"/exporter a.ics", A::Start, "", false},                    // not the switch: ignored as before
        {"/s /export", A::Invalid, "", true},                        // no file
        {"/import /s", A::Invalid, "", true},                        // a switch where the file belongs
        {"/import \"\"", A::Invalid, "", false},
        {"/export a.ics /import b.ics", A::Invalid, "", false},
        {"/export C:\\My Files\\a.ics", A::Invalid, "", false},      // blanks without quotes
        {"-SYNC /s", A::Sync, "", true},                              // a sync, not a quiet start
        {"/sync /import a.ics", A::Invalid, "", false},
        {"/sync later", A::Invalid, "", false},
    };
    for (const auto& c : cases) {
        const CommandLineRequest r = ParseCommandLine(Arguments(c.line));
        EXPECT_EQ(r.action, c.action) << c.line;
        EXPECT_EQ(r.path, c.path) << c.line;
        EXPECT_EQ(r.quiet, c.quiet) << c.line;
        EXPECT_EQ(r.error.empty(), c.action != A::Invalid) << c.line;
    }
}

// WM_COPYDATA comes from any process: only a whole request is taken.
TEST(ExchangeRequest, ReadsOnlyAWellFormedRequest) {
    const struct {
        ULONG_PTR tag;
        const char* bytes;
        DWORD size;
        bool ok;
    } cases[] = {
        {COPYDATA_ICAL_IMPORT, "C:\\a.ics", 9, true},
        {COPYDATA_ICAL_EXPORT | COPYDATA_QUIET, "C:\\a.ics", 9, true},
        {COPYDATA_ICAL_IMPORT + 7, "C:\\a.ics", 9, false},  // another request
        {COPYDATA_ICAL_IMPORT, "C:\\a.ics", 8, false},      // no terminating zero
        {COPYDATA_ICAL_IMPORT, "C:\\a\0.ics", 9, false},    // a zero inside
        {COPYDATA_ICAL_IMPORT, "", 1, false},                // no path
        {COPYDATA_ICAL_IMPORT, nullptr, 9, false},
    };
    for (const auto& c : cases) {
        const COPYDATASTRUCT data{c.tag, c.size, const_cast<char*>(c.bytes)};
        ExchangeRequest request;
        ASSERT_EQ(ReadExchangeRequest(data, request), c.ok) << c.tag << " " << c.size;
        if (!c.ok) continue;
        EXPECT_EQ(request.path, "C:\\a.ics");
        EXPECT_EQ(request.import, c.tag == COPYDATA_ICAL_IMPORT);
        EXPECT_EQ(request.quiet, (c.tag & COPYDATA_QUIET) != 0);
    }
}

// A new copy sends the path in UTF-16, so a folder in any script reaches the
// running one; an older copy's code-page form still does for its letters.
TEST(ExchangeRequest, ReadsTheWideFormAndTheOlderCodePageForm) {
    const std::string documents = "C:\\\xD0\x94\xD0\xBE\xD0\xBA\\\xE4\xBC\x9A.ics";  // C:\Док\会.ics
    const std::wstring wide = Wide(documents);
    const struct {
        ULONG_PTR tag;
        const void* bytes;
        DWORD size;
        const char* path;  // null: refused
    } cases[] = {
        {COPYDATA_ICAL_IMPORT | COPYDATA_WIDE, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * 2), documents.c_str()},
        {COPYDATA_ICAL_EXPORT | COPYDATA_WIDE | COPYDATA_QUIET, L"a.ics", 12, "a.ics"},
        {COPYDATA_ICAL_IMPORT | COPYDATA_WIDE, L"a.ics", 11, nullptr},  // half a unit
        {COPYDATA_ICAL_IMPORT | COPYDATA_WIDE, L"a.ics", 10, nullptr},  // no terminating zero
        {COPYDATA_ICAL_IMPORT | COPYDATA_WIDE, L"a\0b.ics", 16, nullptr},  // a zero inside
        {COPYDATA_ICAL_IMPORT | COPYDATA_WIDE, L"", 2, nullptr},
        {COPYDATA_ICAL_IMPORT, "C:\\Caf\xE9.ics", 12, GetACP() == 1252 ? "C:\\Caf\xC3\xA9.ics" : nullptr},
    };
    for (const auto& c : cases) {
        if (c.path == nullptr && (c.tag & COPYDATA_WIDE) == 0) continue;  // another code page than the test knows
        const COPYDATASTRUCT data{c.tag, c.size, const_cast<void*>(c.bytes)};
        ExchangeRequest request;
        ASSERT_EQ(ReadExchangeRequest(data, request), c.path != nullptr) << c.size;
        if (c.path == nullptr) continue;
        EXPECT_EQ(request.path, c.path);
        EXPECT_EQ(request.import, (c.tag & ~static_cast<ULONG_PTR>(COPYDATA_WIDE | COPYDATA_QUIET)) == COPYDATA_ICAL_IMPORT);
        EXPECT_EQ(request.quiet, (c.tag & COPYDATA_QUIET) != 0);
    }
}

// A copy of an older version answers 0 (not handled): never a success.
TEST(ExchangeRequest, AnAnswerThatIsNotACodeMeansUnavailable) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "OrvDeafFrame";
    RegisterClassA(&wc);
    const HWND deaf = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(deaf, nullptr);
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Import;
    request.path = "a.ics";
    EXPECT_EQ(HandToRunningCopy(request, L"OrvDeafFrame"), kExchangeUnavailable);
    DestroyWindow(deaf);
}

}  // namespace
