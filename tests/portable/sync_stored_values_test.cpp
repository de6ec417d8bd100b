#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "core/little_endian.h"
#include "platform/memory/memory_registry.h"
#include "portable/sync_fixture.h"
#include "store/registry_paths.h"
#include "store/server_copy.h"
#include "sync/event_print.h"
#include "sync/sync_settings.h"
#include "sync/sync_snapshot.h"

namespace {

void Put(MemoryRegistry& r, const char* name, RegType type, const std::string& bytes) {
    const RegKey key = OpenUserKey(r, RegAccess::Write);
    ASSERT_TRUE(r.SetValue(key.Handle(), name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size())));
}

std::string Dword(std::uint32_t v) {
    std::string b;
    AppendLe32(b, v);
    return b;
}

TEST(SyncSettings, ReadDefensively) {
    const std::string longUrl = "https://example.com/" + std::string(kMaxSyncUrlLength, 'a');
    struct Case {
        const char* name;
        std::vector<std::tuple<const char*, RegType, std::string>> stored;
        SyncSettings expected;
        bool setUp;
    };
    const Case cases[] = {
        {"nothing stored", {}, {"", "", 15}, false},
        {"as written",
         {{"SyncUrl", RegType::Sz, std::string("https://dav.example.com/cal/\0", 29)},
          {"SyncUser", RegType::Sz, std::string("ann\0", 4)},
          {"SyncMinutes", RegType::Dword, Dword(0)}},
         {"https://dav.example.com/cal/", "ann", 0},
         true},
        {"no terminators", {{"SyncUrl", RegType::Sz, "http://h/c/"}, {"SyncUser", RegType::Sz, "bo"}}, {"http://h/c/", "bo", 15}, true},
        {"minutes beyond a day", {{"SyncMinutes", RegType::Dword, Dword(0xFFFFFFFF)}}, {"", "", kMaxSyncMinutes}, false},
        {"minutes too short", {{"SyncMinutes", RegType::Binary, "\x05\x00"}}, {"", "", 15}, false},
        {"not a web address", {{"SyncUrl", RegType::Sz, "\\\\host\\share\\cal"}}, {"", "", 15}, false},
        {"address longer than read", {{"SyncUrl", RegType::Sz, longUrl}}, {"", "", 15}, false},
        {"user longer than read", {{"SyncUser", RegType::Sz, std::string(kMaxSyncUserLength + 1, 'u')}}, {"", "", 15}, false},
        {"user at the limit", {{"SyncUser", RegType::Sz, std::string(kMaxSyncUserLength, 'u')}},
         {"", std::string(kMaxSyncUserLength, 'u'), 15}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry r;
        for (const auto& [name, type, bytes] : c.stored) Put(r, name, type, bytes);
        const SyncSettings s = LoadSyncSettings(r);
        EXPECT_EQ(s.SyncUrl, c.expected.SyncUrl);
        EXPECT_EQ(s.SyncUser, c.expected.SyncUser);
        EXPECT_EQ(s.SyncMinutes, c.expected.SyncMinutes);
        EXPECT_EQ(IsSyncSetUp(s), c.setUp);
    }
}

TEST(SyncSettings, SavedValuesReadBack) {
    MemoryRegistry r;
    ASSERT_TRUE(SaveSyncSettings(r, {"https://x.example/dav/", "me", 60}));
    const SyncSettings s = LoadSyncSettings(r);
    EXPECT_EQ(s.SyncUrl, "https://x.example/dav/");
    EXPECT_EQ(s.SyncUser, "me");
    EXPECT_EQ(s.SyncMinutes, 60u);
}

TEST(SyncSettings, OnlyWebAddressesCount) {
    const std::pair<const char*, bool> cases[] = {
        {"https://dav.example.com/cal/", true}, {"HTTP://host", true},          {"http://", false},
        {"https:///cal", false},                {"ftp://host/cal", false},      {"file:///C:/cal", false},
        {"https://host/a b", false},            {"https://host/\x01", false},   {"", false},
    };
    for (const auto& [url, ok] : cases) EXPECT_EQ(IsSyncUrl(url), ok) << url;
}

TEST(SyncStoredValues, PendingDeletionsAreBoundedAndChecked) {
    using List = std::vector<ServerCopy>;
    const std::string longHref = "/" + std::string(kMaxHrefLength, 'h');
    std::string many;
    for (std::size_t i = 0; i < kMaxPendingDeletions + 5; ++i) many += "/c/" + std::to_string(i) + std::string("\0e\0", 3);
    struct Case {
        const char* name;
        std::string bytes;
        List expected;
    };
    const Case cases[] = {
        {"two", std::string("/c/a.ics\0\"1\"\0/c/b.ics\0\0", 23), {{"/c/a.ics", "\"1\""}, {"/c/b.ics", ""}}},
        {"a trailing part", std::string("/c/a.ics\0\"1\"\0/c/b.ics\0\"2", 24), {{"/c/a.ics", "\"1\""}}},
        {"no terminator at all", "/c/a.ics", {}},
        {"empty href", std::string("\0\"1\"\0/c/b\0x\0", 12), {{"/c/b", "x"}}},
        {"control character", std::string("/c/\n\0x\0/c/b\0x\0", 14), {{"/c/b", "x"}}},
        {"href too long", longHref + std::string("\0x\0", 3), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodePendingDeletions(c.bytes), c.expected) << c.name;
    EXPECT_EQ(DecodePendingDeletions(many).size(), kMaxPendingDeletions);

    // Through the registry: a value larger than any list is not read at all.
    MemoryRegistry r;
    Put(r, kSyncDeletedValue, RegType::Binary, std::string(kMaxPendingDeletions * (kMaxHrefLength + kMaxEtagLength + 2) + 1, 'x'));
    EXPECT_TRUE(LoadPendingDeletions(r).empty());
    ASSERT_TRUE(SavePendingDeletions(r, {{"/c/a.ics", "\"1\""}}));
    EXPECT_EQ(LoadPendingDeletions(r), (List{{"/c/a.ics", "\"1\""}}));
    ASSERT_TRUE(SavePendingDeletions(r, {}));
    RegType type{};
    std::string bytes;
    EXPECT_FALSE(r.Peek(std::string(kUserKeyPath) + "\\Default_Id", kSyncDeletedValue, type, bytes));
}

TEST(SyncStoredValues, TokenHoldsOnlyForItsWindow) {
    MemoryRegistry r;
    ASSERT_TRUE(SaveSyncToken(r, 1000, "token-7"));
    EXPECT_EQ(LoadSyncToken(r, 1000), "token-7");
    EXPECT_EQ(LoadSyncToken(r, 2000), "");
    Put(r, kSyncTokenValue, RegType::Binary, Dword(1000) + "bad\ntoken");
    EXPECT_EQ(LoadSyncToken(r, 1000), "");
    Put(r, kSyncTokenValue, RegType::Binary, Dword(1000) + std::string(kMaxSyncTokenLength + 1, 't'));
    EXPECT_EQ(LoadSyncToken(r, 1000), "");
    Put(r, kSyncTokenValue, RegType::Binary, "\xE8\x03");
    EXPECT_EQ(LoadSyncToken(r, 1000), "");
}

// Damaged values in an event's key: the copy on the server is fetched and
// compared rather than overwritten, and nothing is lost or doubled.
TEST(SyncStoredValues, DamagedEventValuesAreNotBelieved) {
    struct Case {
        const char* name;
        const char* value;
        std::string bytes;
    };
    const Case cases[] = {
        {"href too long", kServerHrefValue, "/cal/" + std::string(kMaxHrefLength, 'x')},
        {"href with a control character", kServerHrefValue, "/cal/\x07.ics"},
        {"etag too long", kServerEtagValue, std::string(kMaxEtagLength + 1, 'e')},
        {"print too short", kSyncedPrintValue, std::string(EventPrint::kBytes - 1, '\0')},
        {"print too long", kSyncedPrintValue, std::string(EventPrint::kBytes + 1, '\0')},
        {"kept text larger than read", kServerTextValue, std::string(kMaxServerTextBytes + 1, 'k')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCalDav server;
        SyncDevice here(Local(2026, 12, 8, 12));
        const std::uint32_t id = here.Add("Mine", 2026, 12, 9);
        here.Sync(server);
        {
            const RegKey key = OpenEventKey(here.registry, id, RegAccess::Write);
            ASSERT_TRUE(key.WriteBinary(c.value, c.bytes.data(), c.bytes.size()));
        }
        here.Retitle("Mine", "Mine too");
        here.Sync(server);
        here.Sync(server);
        const std::vector<std::string> titles = here.Titles();
        // Whatever became of it, both sides agree and the edit survives.
        EXPECT_EQ(ServerTitles(server), titles);
        EXPECT_TRUE(std::find(titles.begin(), titles.end(), "Mine too") != titles.end() ||
                    std::find(titles.begin(), titles.end(), "(conflict) Mine too") != titles.end());
        EXPECT_LE(titles.size(), 2u);
    }
}

}  // namespace
