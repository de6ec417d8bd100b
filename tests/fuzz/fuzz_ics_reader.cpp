// The iCalendar reader and the import planning over
// whatever bytes come, into an empty store. Nothing may crash, hang or
// leak; a refused file leaves nothing planned.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interop/ical_import.h"
#include "portable/interop_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static InteropStore* s = new InteropStore(Local(2026, 6, 15, 12));
    IcsLimits limits;
    limits.maxBytes = 1 << 20;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ImportPlan plan = PlanImport(text, s->store, s->clock, InteropStore::kExchangeId, limits);
    if (!plan.error.empty() && !plan.events.empty()) __builtin_trap();
    return 0;
}
