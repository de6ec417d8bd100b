#pragma once
#include <string>

#include "core/clock.h"
#include "platform/registry.h"
#include "store/event_store.h"

// The results of an iCalendar export or import: the exit codes of
// "/export FILE" and "/import FILE", and what the tray commands report.
enum ExchangeCode : int {
    kExchangeOk = 0,
    kExchangeFault = 1,        // an unexpected fault stopped the request; the message says which
    kExchangeBadArguments = 2,
    kExchangeUnreadable = 3,   // the file to import cannot be opened or read
    kExchangeInvalid = 4,      // not iCalendar, or refused as a whole; nothing imported
    kExchangeStoreFull = 5,    // more new events than the calendar has room for; nothing imported
    kExchangeWriteFailed = 6,  // the exported file, or an imported event, could not be written
    kExchangeUnavailable = 7,  // the calendar's data cannot be reached (a running copy did not answer)
};

struct ExchangeOutcome {
    int code = kExchangeOk;
    // For the user: the import's report, or what went wrong; empty after an
    // export that left nothing out.
    std::string message;
};

// The installation's part of every UID it makes, drawn the first time.
std::string CalendarExchangeId(Registry& registry);

// The events, their exclusions and the UIDs they go out with, written to
// path as UTF-8.
ExchangeOutcome ExportCalendarFile(const std::string& path, EventStore& store, Registry& registry,
                                   const Clock& clock);
// Reads the whole file, checks all of it, and only then saves its events
// through the store, which tells the windows and the reminders.
ExchangeOutcome ImportCalendarFile(const std::string& path, EventStore& store, Registry& registry,
                                   const Clock& clock);
