#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "platform/win32/winhttp_transport.h"

namespace {

Instant Utc(int year, int month, int day, int hour = 0) {
    return DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600;
}

TEST(WinHttpTransport, TimeRangeInstantsInUtc) {
    const struct {
        Instant instant;
        const char* text;
    } cases[] = {
        {0, "19700101T000000Z"},
        {-1, "19691231T235959Z"},
        {Utc(2025, 3, 9, 14) + 5 * 60 + 7, "20250309T140507Z"},
        {Utc(2106, 2, 7, 6) + 28 * 60 + 15, "21060207T062815Z"},
    };
    for (const auto& c : cases) EXPECT_EQ(CalDavUtc(c.instant), c.text);
}

TEST(WinHttpTransport, RefusedAddressesAndAClosedPort) {
    for (const char* url : {"ftp://127.0.0.1/cal/", "https://me:pw@127.0.0.1/cal/", "127.0.0.1/cal/", ""}) {
        WinHttpTransport transport(url, "me", "pw");
        bool sync = true;
        std::string token = "t";
        EXPECT_FALSE(transport.Usable()) << url;
        EXPECT_EQ(transport.Probe(sync, token), DavStatus::Refused) << url;
        EXPECT_FALSE(sync);
    }
    // Port 1 on loopback: nothing listens, the connection is refused at once.
    WinHttpTransport closed("http://127.0.0.1:1/cal", "me", "pw");
    EXPECT_EQ(closed.CollectionPath(), "/cal/");
    bool sync = false;
    std::string token;
    EXPECT_EQ(closed.Probe(sync, token), DavStatus::Unreachable);
    EXPECT_EQ(closed.LastProblem(), DavProblem::NoConnection);
    std::string etag;
    EXPECT_EQ(closed.Put("/cal/a.ics", "x", "", etag), DavStatus::Unreachable);
    // Paths the transport would not put on a request line.
    EXPECT_EQ(closed.Put("http://127.0.0.1:1/cal/a.ics", "x", "", etag), DavStatus::Refused);
    EXPECT_EQ(closed.Delete("/cal/a b.ics", ""), DavStatus::Refused);
    EXPECT_EQ(closed.Delete("/cal/a.ics", "\"1\"\r\nX-Evil: 1"), DavStatus::Refused);
}

// A loopback port that takes connections (the system completes them for
// the backlog) and never answers.
class SilentPort {
public:
    SilentPort() {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        if (socket_ == INVALID_SOCKET || bind(socket_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(socket_, 8) != 0 || getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
    }
    ~SilentPort() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        if (started_) WSACleanup();
    }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    unsigned Port() const { return port_; }

private:
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    unsigned port_ = 0;
};

TEST(WinHttpTransport, AServerThatNeverAnswersEndsUnreachableAtTheTimeout) {
    SilentPort silent;
    ASSERT_NE(silent.Port(), 0u);
    std::string url = "http://127.0.0.1:";
    url += std::to_string(silent.Port());
    url += "/cal/";
    WinHttpTransport transport(url, "me", "pw");
    HttpTimeouts shortened;
    shortened.sendMs = 1000;
    shortened.receiveMs = 1000;
    transport.SetTimeouts(shortened);
    const ULONGLONG start = GetTickCount64();
    bool sync = true;
    std::string token;
    EXPECT_EQ(transport.Probe(sync, token), DavStatus::Unreachable);
    EXPECT_EQ(transport.LastProblem(), DavProblem::TimedOut);
    std::string etag;
    EXPECT_EQ(transport.Put("/cal/a.ics", "x", "", etag), DavStatus::Unreachable);
    EXPECT_EQ(transport.LastProblem(), DavProblem::TimedOut);
    // Two requests, each given up after a second; the default would be two minutes.
    EXPECT_LT(GetTickCount64() - start, 20000u);
}

TEST(WinHttpTransport, TracesHoldNothingOfThePassword) {
    char dir[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof dir, dir), 0u);
    const std::string log = std::string(dir) + "orv_transport_trace.log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("ORVCALENDAR_LOG", log.c_str());
    {
        // https: Basic goes with the first request, before any challenge.
        WinHttpTransport closed("https://127.0.0.1:1/cal/", "me", "pw-Secret-42");
        std::string etag;
        EXPECT_EQ(closed.Put("/cal/a.ics", "x", "", etag), DavStatus::Unreachable);
    }
    SetEnvironmentVariableA("ORVCALENDAR_LOG", nullptr);
    std::string text;
    if (FILE* file = std::fopen(log.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
        std::fclose(file);
    }
    DeleteFileA(log.c_str());
    EXPECT_NE(text.find("winhttp_transport.cpp"), std::string::npos) << text;  // the failure was traced
    EXPECT_EQ(text.find("Secret"), std::string::npos) << text;
    EXPECT_EQ(text.find("bWU6cHctU2VjcmV0LTQy"), std::string::npos) << text;  // "me:pw-Secret-42" in Base64
}

// The rest runs against a server a script started (radicale_test.sh, xandikos_test.sh).
std::string Environment(const char* name) {
    char value[1024];
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

std::string Event(const std::string& uid, const std::string& start, const std::string& summary) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//OrvCalendar//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:" + start + "\r\nDURATION:PT1H\r\nSUMMARY:" + summary +
           "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

const DavResource* Find(const std::vector<DavResource>& resources, const std::string& href) {
    const auto it = std::find_if(resources.begin(), resources.end(),
                                 [&](const DavResource& r) { return r.href == href; });
    return it == resources.end() ? nullptr : &*it;
}

class LiveServer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(url_.empty()) << "ORV_CALDAV_URL names the collection; run by the servers' scripts";
        ASSERT_TRUE(transport_.Usable());
    }
    static bool Xandikos() { return Environment("ORV_CALDAV_SERVER") == "xandikos"; }
    // Behind a proxy that resets every request without credentials: each
    // test's first request is one.
    static bool Resets() { return Environment("ORV_CALDAV_SCHEME") == "reset"; }
    // A resource of this test's own.
    std::string Href(const char* name) const {
        return transport_.CollectionPath() + testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
               name + ".ics";
    }

    const std::string url_ = Environment("ORV_CALDAV_URL");
    const std::string user_ = Environment("ORV_CALDAV_USER");
    WinHttpTransport transport_{url_, user_, Environment("ORV_CALDAV_PASSWORD")};
};

TEST_F(LiveServer, ProbeOffersSyncCollection) {
    bool sync = false;
    std::string token;
    ASSERT_EQ(transport_.Probe(sync, token), DavStatus::Ok);
    EXPECT_TRUE(sync);
    EXPECT_FALSE(token.empty());
}

TEST_F(LiveServer, ConditionalPutAndDelete) {
    const std::string href = Href("a");
    std::string first;
    std::string etag;
    ASSERT_EQ(transport_.Put(href, Event("put-a", "20260310T090000Z", "one"), "", first), DavStatus::Ok);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(transport_.Put(href, Event("put-a", "20260310T090000Z", "again"), "", etag),
              DavStatus::PreconditionFailed);
    // For the status line: the server's own words.
    EXPECT_EQ(transport_.LastAnswer().code, 412);
    EXPECT_EQ(transport_.LastAnswer().reason, "Precondition Failed");
    std::string second;
    ASSERT_EQ(transport_.Put(href, Event("put-a", "20260310T090000Z", "two"), first, second), DavStatus::Ok);
    EXPECT_NE(second, first);
    EXPECT_EQ(transport_.Put(href, Event("put-a", "20260310T090000Z", "stale"), first, etag),
              DavStatus::PreconditionFailed);
    EXPECT_EQ(transport_.Delete(href, first), DavStatus::PreconditionFailed);
    EXPECT_EQ(transport_.Delete(href, second), DavStatus::Ok);
    EXPECT_EQ(transport_.Delete(href, second), DavStatus::NotFound);
    EXPECT_EQ(transport_.Delete(href, ""), DavStatus::NotFound);
}

TEST_F(LiveServer, QueryRangeFindsWhatOverlaps) {
    const std::string href = Href("q");
    std::string etag;
    ASSERT_EQ(transport_.Put(href, Event("query-q", "20260410T090000Z", "q"), "", etag), DavStatus::Ok);
    const struct {
        Instant from;
        Instant to;
        bool hit;
    } cases[] = {
        {Utc(2026, 4, 10), Utc(2026, 4, 11), true},
        {Utc(2026, 4, 10, 9), Utc(2026, 4, 10, 10), true},
        {Utc(2026, 4, 10, 8), Utc(2026, 4, 10, 9), false},  // ends as the event begins
        {Utc(2026, 4, 10, 10), Utc(2026, 4, 11), false},    // begins as it ends
        {Utc(2026, 5, 1), Utc(2026, 6, 1), false},
    };
    for (const auto& c : cases) {
        DavListing listing;
        ASSERT_EQ(transport_.QueryRange(c.from, c.to, listing), DavStatus::Ok);
        const DavResource* found = Find(listing.resources, href);
        ASSERT_EQ(found != nullptr, c.hit) << CalDavUtc(c.from) << " " << CalDavUtc(c.to);
        if (found != nullptr) {
            EXPECT_EQ(found->etag, etag);
        }
    }
}

TEST_F(LiveServer, SyncCollectionFromNoneAndFromATokenAfterChanges) {
    const std::string a = Href("a");
    const std::string b = Href("b");
    std::string etagA;
    ASSERT_EQ(transport_.Put(a, Event("sync-a", "20260310T090000Z", "a"), "", etagA), DavStatus::Ok);

    DavListing all;
    ASSERT_EQ(transport_.SyncCollection("", all), DavStatus::Ok);
    ASSERT_NE(Find(all.resources, a), nullptr);
    EXPECT_EQ(Find(all.resources, a)->etag, etagA);
    EXPECT_FALSE(all.syncToken.empty());
    EXPECT_EQ(Find(all.resources, transport_.CollectionPath()), nullptr);

    std::string etagB;
    std::string newA;
    ASSERT_EQ(transport_.Put(b, Event("sync-b", "20260311T090000Z", "b"), "", etagB), DavStatus::Ok);
    ASSERT_EQ(transport_.Put(a, Event("sync-a", "20260310T090000Z", "a2"), etagA, newA), DavStatus::Ok);
    DavListing changed;
    ASSERT_EQ(transport_.SyncCollection(all.syncToken, changed), DavStatus::Ok);
    EXPECT_EQ(changed.resources.size(), 2u);
    ASSERT_NE(Find(changed.resources, a), nullptr);
    EXPECT_EQ(Find(changed.resources, a)->etag, newA);
    ASSERT_NE(Find(changed.resources, b), nullptr);
    EXPECT_FALSE(Find(changed.resources, b)->gone);
    EXPECT_NE(changed.syncToken, all.syncToken);

    ASSERT_EQ(transport_.Delete(a, newA), DavStatus::Ok);
    DavListing removed;
    ASSERT_EQ(transport_.SyncCollection(changed.syncToken, removed), DavStatus::Ok);
    ASSERT_EQ(removed.resources.size(), 1u);
    EXPECT_EQ(removed.resources[0].href, a);
    EXPECT_TRUE(removed.resources[0].gone);

    // xandikos answers a token it never gave with a 500, which says nothing of the token.
    const DavStatus unknownToken = Xandikos() ? DavStatus::Refused : DavStatus::TokenRejected;
    DavListing none;
    EXPECT_EQ(transport_.SyncCollection("http://example.invalid/ns/sync/not-a-token", none), unknownToken);
    EXPECT_EQ(transport_.SyncCollection("<&>", none), unknownToken);
}

TEST_F(LiveServer, FetchReturnsTheTextsAsStored) {
    const std::string a = Href("a");
    const std::string b = Href("b");
    const std::string summaryA = "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC <&> \xF0\x9F\x98\x80";
    std::string etagA;
    std::string etagB;
    ASSERT_EQ(transport_.Put(a, Event("fetch-a", "20260312T090000Z", summaryA), "", etagA), DavStatus::Ok);
    ASSERT_EQ(transport_.Put(b, Event("fetch-b", "20260313T090000Z", "plain"), "", etagB), DavStatus::Ok);

    std::vector<DavResource> fetched;
    ASSERT_EQ(transport_.Fetch({a, b, Href("never")}, fetched), DavStatus::Ok);
    const DavResource* gotA = Find(fetched, a);
    const DavResource* gotB = Find(fetched, b);
    ASSERT_NE(gotA, nullptr);
    ASSERT_NE(gotB, nullptr);
    EXPECT_EQ(gotA->etag, etagA);
    // The whole line came back, whichever line end the XML left it.
    const std::string line = "SUMMARY:" + summaryA;
    const std::size_t at = gotA->calendarData.find(line);
    ASSERT_NE(at, std::string::npos) << gotA->calendarData;
    EXPECT_NE(std::string("\r\n").find(gotA->calendarData[at + line.size()]), std::string::npos);
    EXPECT_NE(gotA->calendarData.find("UID:fetch-a"), std::string::npos);
    EXPECT_EQ(gotB->etag, etagB);
    EXPECT_NE(gotB->calendarData.find("SUMMARY:plain"), std::string::npos);
    const DavResource* never = Find(fetched, Href("never"));
    EXPECT_TRUE(never == nullptr || never->gone);

    std::vector<DavResource> empty(1);
    EXPECT_EQ(transport_.Fetch({}, empty), DavStatus::Ok);
    EXPECT_TRUE(empty.empty());
}

TEST_F(LiveServer, AWrongPasswordIsUnauthorized) {
    WinHttpTransport wrong(url_, user_, "not the password");
    bool sync = false;
    std::string token;
    EXPECT_EQ(wrong.Probe(sync, token), DavStatus::Unauthorized);
    std::string etag;
    EXPECT_EQ(wrong.Put(Href("a"), Event("wrong", "20260310T090000Z", "w"), "", etag), DavStatus::Unauthorized);
    WinHttpTransport nobody(url_, "nobody", "x");
    EXPECT_EQ(nobody.Probe(sync, token), DavStatus::Unauthorized);
}

TEST_F(LiveServer, FindsTheUsersCalendarFromTheServersAddress) {
    bool sync = false;
    std::string token;
    ASSERT_EQ(transport_.Probe(sync, token), DavStatus::Ok);
    const std::string base = url_.substr(0, url_.find('/', 7));
    // The base address, and .well-known/caldav (a redirect on both servers).
    for (const std::string& address : {base + "/", base + "/.well-known/caldav"}) {
        WinHttpTransport found(address, user_, Environment("ORV_CALDAV_PASSWORD"));
        EXPECT_EQ(found.Probe(sync, token), DavStatus::Ok) << address;
        EXPECT_EQ(found.CollectionPath(), transport_.CollectionPath()) << address;
        EXPECT_TRUE(sync) << address;
        DavListing listing;
        EXPECT_EQ(found.SyncCollection("", listing), DavStatus::Ok) << address;
    }
    WinHttpTransport wrong(base + "/", user_, "not the password");
    EXPECT_EQ(wrong.Probe(sync, token), DavStatus::Unauthorized);
    WinHttpTransport nowhere(base + "/no/such/place/", user_, Environment("ORV_CALDAV_PASSWORD"));
    // Not the user's calendar in its place: Radicale says 403 to a path of another user's.
    const DavStatus status = nowhere.Probe(sync, token);
    EXPECT_TRUE(status == DavStatus::NotFound || status == DavStatus::Forbidden) << static_cast<int>(status);
    EXPECT_EQ(nowhere.CollectionPath(), "/no/such/place/");
}

TEST_F(LiveServer, RedirectsFollowedWithThePasswordKeptToItsOrigin) {
    if (!Xandikos()) GTEST_SKIP() << "the redirects are auth_proxy.py's (xandikos_test.sh)";
    const std::string base = url_.substr(0, url_.find('/', 7));
    const std::string rest = transport_.CollectionPath().substr(1);
    bool sync = false;
    std::string token;
    WinHttpTransport here(base + "/moved-here/" + rest, user_, Environment("ORV_CALDAV_PASSWORD"));
    ASSERT_EQ(here.Probe(sync, token), DavStatus::Ok);
    EXPECT_EQ(here.CollectionPath(), transport_.CollectionPath());
    std::string etag;
    EXPECT_EQ(transport_.Put("/moved-here/" + rest + "moved.ics", Event("moved", "20260310T090000Z", "m"), "", etag),
              DavStatus::Ok);
    std::vector<DavResource> fetched;
    ASSERT_EQ(transport_.Fetch({transport_.CollectionPath() + "moved.ics"}, fetched), DavStatus::Ok);
    EXPECT_EQ(fetched.size(), 1u);
    // The same server under another name: no password goes there, so it
    // refuses (or resets, which is no reason to send the password there).
    WinHttpTransport away(base + "/moved-away/" + rest, user_, Environment("ORV_CALDAV_PASSWORD"));
    EXPECT_EQ(away.Probe(sync, token), Resets() ? DavStatus::Unreachable : DavStatus::Unauthorized);
}

}  // namespace
