#include "app/ical_exchange.h"

#include <cstdint>
#include <random>

#include "interop/exchange_id.h"
#include "interop/ical_export.h"
#include "interop/ical_import.h"
#include "interop/ics_reader.h"
#include "platform/win32/trace.h"
#include "platform/win32/win32_file.h"

namespace {

// Drawn once per installation, the first time its events go out or come in.
std::uint64_t FreshExchangePart() {
    try {
        std::random_device random;
        return (static_cast<std::uint64_t>(random()) << 32) ^ random();
    } catch (...) {
        ORV_TRACE("std::random_device");
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        return ((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) ^ GetCurrentProcessId();
    }
}

std::string Counted(int n, const char* one, const char* many) { return std::to_string(n) + (n == 1 ? one : many); }

}  // namespace

std::string CalendarExchangeId(Registry& registry) { return LoadExchangeId(registry, FreshExchangePart()); }

ExchangeOutcome ExportCalendarFile(const std::string& path, EventStore& store, Registry& registry,
                                   const Clock& clock) {
    store.FinishLoad();  // the notes and files are in the second half
    const std::string exchangeId = CalendarExchangeId(registry);
    const ExportResult result = ExportEvents(store.Events(), store.Exclusions(), exchangeId, clock.Now());
    ExchangeOutcome outcome;
    if (!WriteWholeFile(path, result.text)) {
        outcome.code = kExchangeWriteFailed;
        outcome.message = "The calendar could not be written to\n" + path;
    } else if (result.leftOut > 0) {
        outcome.message = Counted(result.exported, " event exported; ", " events exported; ") +
                          Counted(result.leftOut, " event without any occurrence was left out.",
                                  " events without any occurrence were left out.");
    }
    return outcome;
}

ExchangeOutcome ImportCalendarFile(const std::string& path, EventStore& store, Registry& registry,
                                   const Clock& clock) {
    ExchangeOutcome outcome;
    const IcsLimits limits;
    std::string text;
    if (ReadWholeFile(path, limits.maxBytes, text) == FileReadStatus::Unreadable) {
        outcome.code = kExchangeUnreadable;
        outcome.message = "The file could not be read:\n" + path;
        return outcome;
    }
    // One too many bytes of a larger file: the reader refuses it.
    const std::string exchangeId = CalendarExchangeId(registry);
    ImportPlan plan = PlanImport(text, store, clock, exchangeId, limits);
    if (!plan.error.empty()) {
        outcome.code = plan.storeFull ? kExchangeStoreFull : kExchangeInvalid;
        outcome.message = plan.error;
        return outcome;
    }
    ApplyImport(plan, store);
    if (plan.report.saveFailures > 0) outcome.code = kExchangeWriteFailed;
    outcome.message = plan.report.Text();
    return outcome;
}
