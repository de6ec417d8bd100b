#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "portable/sync_fixture.h"
#include "store/server_copy.h"
#include "sync/sync_status.h"

namespace {

// Not "x" + to_string(i): GCC 12 warns of a false overlap in that form.
std::string Named(const char* prefix, int i) { return std::string(prefix).append(std::to_string(i)); }

using Titles = std::vector<std::string>;

Instant Now() { return Local(2026, 12, 8, 12); }

// The other device is another calendar of ours, or a phone writing to the
// collection; both end where the server is.
struct Pair {
    MemoryCalDav server;
    SyncDevice here{Now()};
    SyncDevice there{Now(), "fedcba9876543210"};
};

TEST(SyncEngine, FirstSyncGoesBothWays) {
    Pair p;
    p.here.Add("Dentist", 2026, 12, 10);
    p.server.DevicePut("phone-1.ics", PhoneEvent("phone-1", "Lunch", "20261211T120000", "20261211T130000"));
    const SyncResult r = p.here.Sync(p.server);
    EXPECT_EQ(r.end, SyncEnd::Done);
    EXPECT_EQ(r.received, 1);
    EXPECT_EQ(r.sent, 1);
    EXPECT_EQ(SyncStatusText(r, "14:05"), "Last synced 14:05: 1 received, 1 sent.");
    EXPECT_EQ(p.here.Titles(), (Titles{"Dentist", "Lunch"}));
    EXPECT_EQ(ServerTitles(p.server), (Titles{"Dentist", "Lunch"}));
    // Sent as new, under a name made from its UID.
    const auto& q = p.server.Requests();
    EXPECT_NE(std::find(q.begin(), q.end(), "PUT /cal/1-0123456789abcdef@orvcalendar.ics *"), q.end());
    // A second sync has nothing to do.
    const SyncResult again = p.here.Sync(p.server);
    EXPECT_EQ(again.received + again.sent, 0);
    EXPECT_EQ(p.here.Titles(), (Titles{"Dentist", "Lunch"}));
}

// One table for the changes made on one side between two syncs.
TEST(SyncEngine, OneSidedChangesReachTheOtherSide) {
    struct Case {
        const char* name;
        bool onServer;  // the other device changes, else this one
        bool del;       // deleted, else retitled
        bool syncCollection;
    };
    const Case cases[] = {
        {"server edit, sync-collection", true, false, true},  {"server edit, ETags", true, false, false},
        {"local edit, sync-collection", false, false, true},  {"local edit, ETags", false, false, false},
        {"server delete, sync-collection", true, true, true}, {"server delete, ETags", true, true, false},
        {"local delete", false, true, true},                  {"local delete, ETags", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pair p;
        p.server.offersSyncCollection = c.syncCollection;
        p.here.Add("Standup", 2026, 12, 9);
        p.here.Add("Review", 2026, 12, 11);
        p.here.Sync(p.server);
        p.there.Sync(p.server);
        ASSERT_EQ(p.there.Titles(), (Titles{"Review", "Standup"}));
        SyncDevice& changer = c.onServer ? p.there : p.here;
        SyncDevice& other = c.onServer ? p.here : p.there;
        if (c.del) changer.Delete("Standup");
        else changer.Retitle("Standup", "Standup moved");
        const std::size_t before = p.server.RequestCount();
        changer.Sync(p.server);
        if (!c.del && !c.onServer) {
            // Sent over the copy it replaces, and only if that copy is still the one synced.
            bool ifMatch = false;
            for (std::size_t i = before; i < p.server.RequestCount(); ++i)
                ifMatch = ifMatch || (p.server.Requests()[i].rfind("PUT ", 0) == 0 && p.server.Requests()[i].back() == '"');
            EXPECT_TRUE(ifMatch);
        }
        const SyncResult r = other.Sync(p.server);
        EXPECT_EQ(r.received, 1);
        const Titles expected = c.del ? Titles{"Review"} : Titles{"Review", "Standup moved"};
        EXPECT_EQ(p.here.Titles(), expected);
        EXPECT_EQ(p.there.Titles(), expected);
        EXPECT_EQ(ServerTitles(p.server), expected);
        EXPECT_TRUE(LoadPendingDeletions(changer.registry).empty());
    }
}

TEST(SyncEngine, ChangedOnBothSidesTheServerWinsAndTheLocalVersionIsKept) {
    Pair p;
    p.here.Add("Budget", 2026, 12, 14);
    p.here.Sync(p.server);
    p.there.Sync(p.server);
    p.there.Retitle("Budget", "Budget (room 4)");
    p.there.Sync(p.server);
    p.here.Retitle("Budget", "Budget with Ann");
    const SyncResult r = p.here.Sync(p.server);
    EXPECT_EQ(r.conflicts, 1);
    EXPECT_EQ(p.here.Titles(), (Titles{"(conflict) Budget with Ann", "Budget (room 4)"}));
    // The copy goes to the server as an event of its own at the next sync.
    p.here.Sync(p.server);
    p.there.Sync(p.server);
    EXPECT_EQ(ServerTitles(p.server), (Titles{"(conflict) Budget with Ann", "Budget (room 4)"}));
    EXPECT_EQ(p.there.Titles(), ServerTitles(p.server));

    // An event the phone made, whose text is kept: the same.
    p.server.DevicePut("phone-2.ics", PhoneEvent("phone-2", "Lunch", "20261211T120000", "20261211T130000", "LOCATION:Hall\r\n"));
    p.here.Sync(p.server);
    p.here.Retitle("Lunch", "Lunch here");
    p.server.DevicePut("phone-2.ics", PhoneEvent("phone-2", "Lunch there", "20261211T120000", "20261211T130000", "LOCATION:Hall\r\n"));
    EXPECT_EQ(p.here.Sync(p.server).conflicts, 1);
    EXPECT_NE(p.here.ByTitle("(conflict) Lunch here"), nullptr);
    EXPECT_NE(p.here.ByTitle("Lunch there"), nullptr);
}

TEST(SyncEngine, OfflineDeletionIsKeptUntilTheServerHasIt) {
    Pair p;
    p.here.Add("Gym", 2026, 12, 9);
    p.here.Sync(p.server);
    p.here.Delete("Gym");
    ASSERT_EQ(LoadPendingDeletions(p.here.registry).size(), 1u);
    p.server.unreachable = true;
    EXPECT_EQ(p.here.Sync(p.server).end, SyncEnd::Unreachable);
    EXPECT_EQ(LoadPendingDeletions(p.here.registry).size(), 1u);
    EXPECT_EQ(ServerTitles(p.server), (Titles{"Gym"}));
    p.server.unreachable = false;
    const SyncResult r = p.here.Sync(p.server);
    EXPECT_EQ(r.sent, 1);
    EXPECT_TRUE(ServerTitles(p.server).empty());
    EXPECT_TRUE(LoadPendingDeletions(p.here.registry).empty());
    EXPECT_TRUE(p.here.Titles().empty());
}

// A change on one side against a deletion on the other: the change wins,
// whichever side made it.
TEST(SyncEngine, AChangeWinsOverADeletionOnTheOtherSide) {
    for (const bool deletedHere : {false, true}) {
        SCOPED_TRACE(deletedHere);
        Pair p;
        p.here.Add("Party", 2026, 12, 19);
        p.here.Sync(p.server);
        p.there.Sync(p.server);
        if (deletedHere) {
            p.there.Retitle("Party", "Party at Bo's");
            p.there.Sync(p.server);
            p.here.Delete("Party");
        } else {
            p.server.DeviceDelete("1-0123456789abcdef@orvcalendar.ics");
            p.here.Retitle("Party", "Party at Bo's");
        }
        p.here.Sync(p.server);
        EXPECT_EQ(p.here.Titles(), (Titles{"Party at Bo's"}));
        p.here.Sync(p.server);  // one sent back as new is on the server after the next
        EXPECT_EQ(ServerTitles(p.server), (Titles{"Party at Bo's"}));
    }
}

// The server changes the copy between the listing and the PUT: the PUT is
// refused (412) and the change is taken as one made on both sides.
class ChangingServer final : public CalDavTransport {
public:
    explicit ChangingServer(MemoryCalDav& s) : s_(s) {}
    std::string CollectionPath() const override { return s_.CollectionPath(); }
    DavStatus Probe(bool& c, std::string& t) override { return s_.Probe(c, t); }
    DavStatus QueryRange(Instant f, Instant t, DavListing& o) override { return s_.QueryRange(f, t, o); }
    DavStatus SyncCollection(const std::string& t, DavListing& o) override { return s_.SyncCollection(t, o); }
    DavStatus Fetch(const std::vector<std::string>& h, std::vector<DavResource>& o) override { return s_.Fetch(h, o); }
    DavStatus Put(const std::string& h, const std::string& t, const std::string& m, std::string& e) override {
        if (!m.empty()) s_.DevicePut(h, PhoneEvent("1-0123456789abcdef@orvcalendar", "Call Jo (phone)",
                                                   "20261216T090000", "20261216T100000"));
        return s_.Put(h, t, m, e);
    }
    DavStatus Delete(const std::string& h, const std::string& m) override { return s_.Delete(h, m); }

private:
    MemoryCalDav& s_;
};

TEST(SyncEngine, RefusedPutIsAConflict) {
    Pair p;
    p.here.Add("Call Jo", 2026, 12, 16);
    p.here.Sync(p.server);
    p.here.Retitle("Call Jo", "Call Jo back");
    ChangingServer changing(p.server);
    const SyncResult r = p.here.Sync(changing);
    EXPECT_EQ(r.sent, 0);
    EXPECT_EQ(r.conflicts, 1);
    EXPECT_EQ(p.here.Titles(), (Titles{"(conflict) Call Jo back", "Call Jo (phone)"}));
}

TEST(SyncEngine, RejectedTokenFallsBackToAFullListing) {
    Pair p;
    p.here.Add("A", 2026, 12, 9);
    p.here.Sync(p.server);
    p.server.DevicePut("b.ics", PhoneEvent("b", "B", "20261212T080000", "20261212T090000"));
    p.server.DeviceDelete("1-0123456789abcdef@orvcalendar.ics");
    p.server.ForgetHistory();
    const SyncResult r = p.here.Sync(p.server);
    EXPECT_EQ(r.end, SyncEnd::Done);
    EXPECT_EQ(p.here.Titles(), (Titles{"B"}));
    const auto& q = p.server.Requests();
    EXPECT_NE(std::find(q.begin(), q.end(), "QUERY"), q.end());
}

TEST(SyncEngine, TruncatedChangeListsAreFollowed) {
    Pair p;
    p.here.Sync(p.server);
    p.server.pageSize = 2;
    for (int i = 0; i < 5; ++i)
        p.server.DevicePut(Named("e", i) + ".ics",
                           PhoneEvent(Named("e", i), Named("E", i), "20261212T080000", "20261212T090000"));
    EXPECT_EQ(p.here.Sync(p.server).received, 5);
    EXPECT_EQ(p.here.Titles().size(), 5u);
}

TEST(SyncEngine, MoreThanTheStoreHoldsTakesThoseNearestToToday) {
    Pair p;
    // 370 events from tomorrow on, twenty a day, entered far ones first.
    for (int i = 369; i >= 0; --i) {
        char start[32];
        char end[32];
        const int dayOfMonth = 9 + i / 20;  // 9.. Dec, up to Dec 27
        std::snprintf(start, sizeof start, "202612%02dT%02d%02d00", dayOfMonth, 1 + i % 20, 0);
        std::snprintf(end, sizeof end, "202612%02dT%02d%02d30", dayOfMonth, 1 + i % 20, 0);
        p.server.DevicePut(Named("n", i) + ".ics",
                           PhoneEvent(Named("n", i), Named("N", i), start, end));
    }
    const SyncResult r = p.here.Sync(p.server);
    EXPECT_EQ(p.here.store.Count(), kMaxEvents);
    EXPECT_EQ(r.leftOut, 9);
    EXPECT_NE(SyncStatusText(r, "14:05").find("9 events left out"), std::string::npos);
    // The nine latest stayed out.
    for (int i = 361; i < 370; ++i) EXPECT_EQ(p.here.ByTitle(Named("N", i)), nullptr) << i;
    // The token is not kept while events wait for room, so they are offered again.
    p.here.Delete("N0");
    p.server.DeviceDelete("n0.ics");
    EXPECT_EQ(p.here.Sync(p.server).received, 1);
    EXPECT_NE(p.here.ByTitle("N361"), nullptr);
}

// The synced months run to the end of June 2027. A listing of them says
// nothing of an event held after them: it stays until the server says it
// is gone, and it comes in as the server changed it.
TEST(SyncEngine, AnEventAfterTheSyncedMonthsIsKeptUntilTheServerDropsIt) {
    enum class Then { Nothing, EditedHere, EditedThere, DeletedThere };
    struct Case {
        const char* name;
        bool syncCollection;
        Then then;
        Titles here;
        Titles server;
        int received;
        int sent;
    };
    const Case cases[] = {
        {"full listing", false, Then::Nothing, {"Far", "Near"}, {"Far", "Near"}, 0, 0},
        {"token, nothing changed", true, Then::Nothing, {"Far", "Near"}, {"Far", "Near"}, 0, 0},
        {"full listing, edited here", false, Then::EditedHere, {"Far here", "Near"}, {"Far here", "Near"}, 0, 1},
        {"full listing, edited there", false, Then::EditedThere, {"Far", "Near"}, {"Far there", "Near"}, 0, 0},
        {"token, edited there", true, Then::EditedThere, {"Far there", "Near"}, {"Far there", "Near"}, 1, 0},
        {"token, deleted there", true, Then::DeletedThere, {"Near"}, {"Near"}, 1, 0},
    };
    const std::string href = "1-0123456789abcdef@orvcalendar.ics";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pair p;
        IndexSpans(p.server, Now());
        p.server.offersSyncCollection = c.syncCollection;
        p.here.Add("Far", 2027, 8, 20);
        p.here.Add("Near", 2026, 12, 20);
        ASSERT_EQ(p.here.Sync(p.server).sent, 2);
        if (c.then == Then::EditedHere) p.here.Retitle("Far", "Far here");
        if (c.then == Then::EditedThere)
            p.server.DevicePut(href, PhoneEvent("1-0123456789abcdef@orvcalendar", "Far there", "20270820T090000",
                                                "20270820T100000"));
        if (c.then == Then::DeletedThere) p.server.DeviceDelete(href);
        const SyncResult r = p.here.Sync(p.server);
        EXPECT_EQ(r.received, c.received);
        EXPECT_EQ(r.sent, c.sent);
        EXPECT_EQ(p.here.Titles(), c.here);
        EXPECT_EQ(ServerTitles(p.server), c.server);
        EXPECT_TRUE(LoadPendingDeletions(p.here.registry).empty());
    }
}

// A full calendar of the phone's old events from 17 July (144 days ago),
// the first two a day each, then three a day: "Dentist" tomorrow comes in and the farthest held copy that
// holds nothing of ours gives way, at every sync. While the exchange runs,
// an old event is edited here, or one is made here: neither is dropped.
TEST(SyncEngine, AFullCalendarTakesNearerNewEventsOverFartherCopies) {
    enum class During { Nothing, EditOld0, MakeOne };
    struct Case {
        const char* name;
        const char* phoneStart;  // the phone's new event
        During during;
        const char* in;    // what came in, or null
        const char* out;   // what the calendar no longer holds
        int received;
        // The next sync: what it sends, and which copy, synced now, gives way.
        int nextReceived;
        int nextSent;
        const char* nextOut;
    };
    const Case cases[] = {
        {"a nearer one", "20261209T080000", During::Nothing, "Dentist", "Old 0", 1, 0, 0, "Old 0"},
        {"a farther one", "20270620T080000", During::Nothing, nullptr, "Dentist", 0, 0, 0, "Dentist"},
        {"the farthest edited here", "20261209T080000", During::EditOld0, "Dentist", "Old 1", 1, 1, 1, "Old 0 here"},
        {"one made here", "20261209T080000", During::MakeOne, "Dentist", "Old 0", 1, 0, 1, "Old 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pair p;
        const int old = c.during == During::MakeOne ? static_cast<int>(kMaxEvents) - 1 : static_cast<int>(kMaxEvents);
        for (int i = 0; i < old; ++i) {
            char start[32];
            char end[32];
            const int day = 17 + (i < 2 ? i : 2 + (i - 2) / 3);  // from 17 July on
            const int month = day <= 31 ? 7 : day <= 62 ? 8 : day <= 92 ? 9 : day <= 123 ? 10 : 11;
            const int dayOfMonth = day - (month == 7 ? 0 : month == 8 ? 31 : month == 9 ? 62 : month == 10 ? 92 : 123);
            std::snprintf(start, sizeof start, "2026%02d%02dT%02d0000", month, dayOfMonth, 9 + i % 3);
            std::snprintf(end, sizeof end, "2026%02d%02dT%02d3000", month, dayOfMonth, 9 + i % 3);
            p.server.DevicePut(Named("old", i) + ".ics", PhoneEvent(Named("old", i), Named("Old ", i), start, end));
        }
        ASSERT_EQ(p.here.Sync(p.server).received, old);
        p.server.DevicePut("dentist.ics", PhoneEvent("dentist", "Dentist", c.phoneStart, "20261209T090000"));
        SyncSnapshot snap =
            TakeSyncSnapshot(p.here.store, p.here.registry, p.here.clock, p.here.exchangeId_);
        SyncOutcome outcome = RunSyncExchange(snap, p.server);
        if (c.during == During::EditOld0) p.here.Retitle("Old 0", "Old 0 here");
        if (c.during == During::MakeOne) p.here.Add("Mine", 2026, 7, 2);
        const SyncResult r = ApplySyncOutcome(outcome, snap, p.here.store, p.here.registry,
                                              p.here.clock, p.here.exchangeId_);
        EXPECT_EQ(r.received, c.received);
        EXPECT_EQ(r.leftOut, 1);
        EXPECT_NE(SyncStatusText(r, "14:05").find("1 event left out: the calendar holds at most 361, those nearest to today came in."),
                  std::string::npos);
        EXPECT_EQ(p.here.store.Count(), kMaxEvents);
        if (c.in != nullptr) {
            EXPECT_NE(p.here.ByTitle(c.in), nullptr);
        }
        EXPECT_EQ(p.here.ByTitle(c.out), nullptr);
        if (c.during == During::EditOld0) {
            EXPECT_NE(p.here.ByTitle("Old 0 here"), nullptr);
        }
        if (c.during == During::MakeOne) {
            EXPECT_NE(p.here.ByTitle("Mine"), nullptr);
        }
        // Dropped here only: the server keeps it, and no deletion waits.
        EXPECT_TRUE(LoadPendingDeletions(p.here.registry).empty());
        EXPECT_EQ(ServerTitles(p.server).size(), static_cast<std::size_t>(old) + 1);
        // The next sync sends what was changed or made here. A copy synced
        // before may give way now; one made here, only once it was synced.
        const SyncResult next = p.here.Sync(p.server);
        EXPECT_EQ(next.leftOut, 1);
        EXPECT_EQ(next.received, c.nextReceived);
        EXPECT_EQ(next.sent, c.nextSent);
        EXPECT_EQ(p.here.store.Count(), kMaxEvents);
        if (c.in != nullptr) {
            EXPECT_NE(p.here.ByTitle(c.in), nullptr);
        }
        EXPECT_EQ(p.here.ByTitle(c.nextOut), nullptr);
        if (c.during == During::MakeOne) {
            EXPECT_NE(p.here.ByTitle("Mine"), nullptr);
        }
        EXPECT_EQ(ServerTitles(p.server).size(), static_cast<std::size_t>(old) + (c.during == During::MakeOne ? 2 : 1));
    }
}

TEST(SyncEngine, RefusedCredentialsAndAnUnreachableServerChangeNothing) {
    struct Case {
        bool refuse;
        DavProblem problem;  // of an unreachable server; NoCalendar: the server has none at the address
        SyncEnd end;
        int exitCode;
        const char* status;
    };
    const Case cases[] = {
        {true, DavProblem::None, SyncEnd::CredentialsRefused, 8,
         "Sync at 14:05: The server refused the user name or password."},
        {false, DavProblem::None, SyncEnd::Unreachable, 7, "Sync at 14:05: Could not reach the server."},
        {false, DavProblem::TimedOut, SyncEnd::Unreachable, 7,
         "Sync at 14:05: Could not reach the server. It did not answer in time."},
        {false, DavProblem::NoCalendar, SyncEnd::Unreachable, 7,
         "Sync at 14:05: The server has no calendar at that address."},
    };
    for (const Case& c : cases) {
        Pair p;
        p.here.Add("Kept", 2026, 12, 9);
        p.server.refuseCredentials = c.refuse;
        p.server.missing = c.problem == DavProblem::NoCalendar;
        p.server.unreachable = !c.refuse && !p.server.missing;
        p.server.problem = c.problem;
        const SyncResult r = p.here.Sync(p.server);
        EXPECT_EQ(r.end, c.end);
        EXPECT_EQ(SyncExitCode(r.end), c.exitCode);
        EXPECT_EQ(SyncStatusText(r, "14:05"), c.status);
        EXPECT_EQ(p.here.Titles(), (Titles{"Kept"}));
        EXPECT_EQ(p.server.RequestCount(), 1u);  // stopped at the first answer
    }
}

// A sync killed after each number of requests, then one run to the end:
// the two sides agree, and nothing is lost or doubled.
TEST(SyncEngine, KilledMidwayTheNextSyncConverges) {
    for (std::size_t n = 0; n < 9; ++n) {
        SCOPED_TRACE(n);
        Pair p;
        p.here.Add("Kept here", 2026, 12, 9);
        p.here.Add("Edited here", 2026, 12, 10);
        p.here.Add("Deleted here", 2026, 12, 11);
        p.here.Sync(p.server);
        p.there.Sync(p.server);
        p.here.Add("New here", 2026, 12, 12);
        p.here.Retitle("Edited here", "Edited here 2");
        p.here.Delete("Deleted here");
        p.server.etagOnPut = n % 2 == 0;
        p.server.DevicePut("phone.ics", PhoneEvent("phone", "New there", "20261213T090000", "20261213T100000"));
        p.server.stopAfter = p.server.RequestCount() + n;
        p.here.SyncKilled(p.server);
        p.server.stopAfter.reset();
        EXPECT_EQ(p.here.Sync(p.server).end, SyncEnd::Done);
        p.there.Sync(p.server);
        const Titles expected{"Edited here 2", "Kept here", "New here", "New there"};
        EXPECT_EQ(p.here.Titles(), expected);
        EXPECT_EQ(ServerTitles(p.server), expected);
        EXPECT_EQ(p.there.Titles(), expected);
        EXPECT_TRUE(LoadPendingDeletions(p.here.registry).empty());
        // Settled: nothing more to do.
        const SyncResult settled = p.here.Sync(p.server);
        EXPECT_EQ(settled.received + settled.sent + settled.conflicts + settled.failed, 0);
    }
}

// Radicale lists "a@b.ics", which the calendar put, as "a%40b.ics".
TEST(SyncEngine, AServerThatEscapesThePathStillFindsOurOwnCopies) {
    Pair p;
    p.server.escapesAt = true;
    p.here.Add("Mine", 2026, 12, 9);
    p.here.Sync(p.server);
    ASSERT_NE(ServerTitles(p.server), Titles{});
    const SyncResult again = p.here.Sync(p.server);
    EXPECT_EQ(again.received + again.sent + again.failed, 0);
    EXPECT_EQ(p.here.Titles(), Titles{"Mine"});
}

TEST(SyncEngine, HrefsAreComparedWithTheEscapesOfPathCharactersUndone) {
    const struct {
        const char* href;
        const char* canonical;
    } cases[] = {
        {"/cal/1-ab%40orv.ics", "/cal/1-ab@orv.ics"},
        {"/cal/%7euser/a%2Bb.ics", "/cal/~user/a+b.ics"},
        {"/cal/a%2fb%20c%25.ics", "/cal/a%2Fb%20c%25.ics"},  // a slash, a blank and a percent stay escaped
        {"/cal/%00%zz%4", "/cal/%00%zz%4"},                  // no character or no escape at all
    };
    for (const auto& c : cases) EXPECT_EQ(CanonicalHref(c.href), c.canonical) << c.href;
}

TEST(SyncEngine, AnotherCollectionGetsEverythingAndDeletesNothing) {
    Pair p;
    p.here.Add("Mine", 2026, 12, 9);
    p.server.DevicePut("kept.ics", PhoneEvent("kept", "Theirs", "20261210T090000", "20261210T100000", "LOCATION:Hall\r\n"));
    p.here.Sync(p.server);
    MemoryCalDav other("/other/");
    const SyncResult r = p.here.Sync(other);
    EXPECT_EQ(r.sent, 2);
    EXPECT_EQ(p.here.Titles(), (Titles{"Mine", "Theirs"}));
    EXPECT_EQ(ServerTitles(other), (Titles{"Mine", "Theirs"}));
    // The server's own text went, with what the calendar does not show.
    EXPECT_NE(other.Find("kept.ics")->text.find("LOCATION:Hall"), std::string::npos);
}

TEST(SyncEngine, ResourcesOutsideTheCollectionAreNeverTouched) {
    Pair p;
    p.server.DevicePut("/elsewhere/x.ics", PhoneEvent("x", "X", "20261210T090000", "20261210T100000"));
    p.server.DevicePut("/cal/../x.ics", PhoneEvent("y", "Y", "20261210T090000", "20261210T100000"));
    const SyncResult r = p.here.Sync(p.server);
    EXPECT_EQ(r.failed, 2);
    EXPECT_TRUE(p.here.Titles().empty());
    for (const std::string& q : p.server.Requests()) EXPECT_EQ(q.rfind("FETCH", 0), std::string::npos) << q;
}

TEST(SyncEngine, AnEditMadeWhileTheExchangeRunsIsSentNextTime) {
    Pair p;
    p.here.Add("Plan", 2026, 12, 9);
    p.here.Sync(p.server);
    p.here.Retitle("Plan", "Plan A");
    SyncSnapshot snap = TakeSyncSnapshot(p.here.store, p.here.registry, p.here.clock, p.here.exchangeId_);
    SyncOutcome outcome = RunSyncExchange(snap, p.server);
    p.here.Retitle("Plan A", "Plan B");  // on the window thread, while the worker ran
    ApplySyncOutcome(outcome, snap, p.here.store, p.here.registry, p.here.clock, p.here.exchangeId_);
    EXPECT_EQ(ServerTitles(p.server), (Titles{"Plan A"}));
    EXPECT_EQ(p.here.Titles(), (Titles{"Plan B"}));
    p.here.Sync(p.server);
    EXPECT_EQ(ServerTitles(p.server), (Titles{"Plan B"}));
}

}  // namespace
