#pragma once
// A calendar that syncs with an in-memory collection: snapshot, exchange
// and outcome as the program runs them, on one thread.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "interop/ics_reader.h"
#include "interop/ics_text.h"
#include "platform/memory/memory_caldav.h"
#include "portable/interop_fixture.h"
#include "sync/sync_apply.h"
#include "sync/server_event.h"
#include "sync/sync_exchange.h"
#include "sync/sync_snapshot.h"

class SyncDevice : public MemoryCalendar {
public:
    explicit SyncDevice(Instant now, const char* exchangeId = "0123456789abcdef")
        : MemoryCalendar(now), exchangeId_(exchangeId) {}

    SyncResult Sync(CalDavTransport& server) {
        SyncSnapshot snap = TakeSyncSnapshot(store, registry, clock, exchangeId_);
        SyncOutcome outcome = RunSyncExchange(snap, server);
        return ApplySyncOutcome(outcome, snap, store, registry, clock, exchangeId_);
    }
    // A sync killed after the exchange: its outcome never reaches the store.
    void SyncKilled(CalDavTransport& server) {
        SyncSnapshot snap = TakeSyncSnapshot(store, registry, clock, exchangeId_);
        RunSyncExchange(snap, server);
    }

    std::uint32_t Add(const std::string& title, int y, int mo, int d, int hour = 9) {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = store.NextEventId();
        item->front.startDate = static_cast<std::uint32_t>(Local(y, mo, d));
        item->front.endDate = static_cast<std::uint32_t>(Local(y, mo, d, 23, 59, 59));
        item->front.startTime = hour * 3600;
        item->front.endTime = (hour + 1) * 3600;
        item->title = title;
        const std::uint32_t id = item->front.id;
        store.SaveEvent(item, true, true);
        return id;
    }
    void Retitle(const std::string& from, const std::string& to) {
        const ScheduleItem* e = ByTitle(from);
        ASSERT_NE(e, nullptr) << from;
        auto copy = std::make_unique<ScheduleItem>(*e);
        copy->title = to;
        store.SaveEvent(copy, true, false);
    }
    void Delete(const std::string& title) {
        const ScheduleItem* e = ByTitle(title);
        ASSERT_NE(e, nullptr) << title;
        store.DeleteEvent(e->front.id, 0, true);
    }
    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const auto& e : store.Events()) titles.push_back(e->title);
        std::sort(titles.begin(), titles.end());
        return titles;
    }

    std::string exchangeId_;
};

// The server answers time-range queries with the days each text covers,
// as a real one does; a text the calendar cannot read overlaps every range.
inline void IndexSpans(MemoryCalDav& server, Instant now) {
    server.spanOf = [now](const std::string& text) -> std::optional<std::pair<Instant, Instant>> {
        const ServerEvent e = MapServerText(text, now, 0, kLastStorableInstant);
        if (!e.item) return std::nullopt;
        const ScheduleFront& f = e.item->front;
        return std::make_pair(Instant{f.startDate}, IsEndless(f) ? kLastStorableInstant : Instant{f.endDate} + 1);
    };
}

// The SUMMARY of every event the collection holds that is not a changed occurrence.
inline std::vector<std::string> ServerTitles(const MemoryCalDav& server) {
    std::vector<std::string> titles;
    for (const auto& [href, r] : server.Resources()) {
        const IcsReadResult read = ReadIcs(r.text);
        for (const IcsComponent& cal : read.calendars)
            for (const IcsComponent& c : cal.components)
                if (c.name == "VEVENT" && c.Find("RECURRENCE-ID") == nullptr && c.Find("SUMMARY") != nullptr)
                    titles.push_back(UnescapeText(c.Find("SUMMARY")->value));
    }
    std::sort(titles.begin(), titles.end());
    return titles;
}

// An event as a phone writes it: floating times, a LOCATION the calendar does not keep.
inline std::string PhoneEvent(const std::string& uid, const std::string& title, const std::string& start,
                              const std::string& end, const std::string& extra = "") {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTAMP:20261201T000000Z\r\nDTSTART:" + start + "\r\nDTEND:" + end + "\r\nSUMMARY:" + title +
           "\r\n" + extra + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}
