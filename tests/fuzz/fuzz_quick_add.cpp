// Any line of text typed into quick add, on any of the fixed days, in every
// test zone and short-date order. It never crashes; a line it makes an event
// of gives one the editor's OK would take as it is, that occurs, and that the
// store saves and loads back unchanged; any other line gives a reason.
#include <memory>
#include <string>

#include "core/locale_names.h"
#include "core/occurrence.h"
#include "fuzz_support.h"
#include "quickadd/quick_add.h"
#include "quickadd/quick_add_preview.h"
#include "store/text_trim.h"

namespace {

class PlainFormat final : public TextFormat {
public:
    std::string LongDate(int y, int m, int d) const override { return std::to_string(y * 10000 + m * 100 + d); }
    std::string TimeWithSeconds(int h, int m, int s) const override { return std::to_string(h * 3600 + m * 60 + s); }
    std::string ShortTime(int h, int m) const override { return std::to_string(h * 60 + m); }
};

bool WrittenKind(std::uint8_t kind) {
    return kind == kKindNone || kind == kKindDaily || kind == kKindWeekly || kind == kKindMonthlyDay ||
           kind == kKindMonthlyNth || kind == kKindYearlyDate || kind == kKindYearlyNth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    SelectZone(in.Byte());
    const FixedClock clock(SelectNow(in.Byte()));
    const auto order = static_cast<DateOrder>(in.Byte() % 3);
    const std::string line = in.Bytes(size);

    QuickAddResult r = ParseQuickAdd(line, clock, order);
    const std::string preview = QuickAddPreview(r, clock, PlainFormat(), EnglishLocaleNames());
    ORV_FUZZ_CHECK(!preview.empty());
    if (!r.item) {
        ORV_FUZZ_CHECK(!r.reason.empty());
        return 0;
    }
    ORV_FUZZ_CHECK(r.reason.empty());
    const ScheduleItem made = *r.item;
    const ScheduleFront& f = made.front;
    ORV_FUZZ_CHECK(!made.title.empty() && made.title.size() <= kMaxTitleLength && made.title == TrimSpace(made.title));
    for (char c : made.title) ORV_FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    ORV_FUZZ_CHECK(WrittenKind(f.recurKind) && f.recurInterval >= 1 && f.recurInterval <= 200);
    ORV_FUZZ_CHECK(made.remindMinutes >= 0 && made.remindMinutes <= 999);
    ORV_FUZZ_CHECK(f.startTime >= 0 && f.startTime < kSecondsPerDay && f.startDate <= f.endDate);
    ORV_FUZZ_CHECK(FindOccurrence(made, f.startDate, IsEndless(f) ? kLatestInstant : f.endDate, nullptr));

    // The editor's OK on the event as it opens takes it without a change.
    EditorFields fields = EditedEventFields(made, clock);
    std::unique_ptr<ScheduleItem> copy = std::make_unique<ScheduleItem>(made);
    bool structureChanged = false, actionsChanged = false;
    ORV_FUZZ_CHECK(ApplyEditorFields(fields, clock, copy, structureChanged, actionsChanged) == EditorRefusal::None);
    ORV_FUZZ_CHECK(!structureChanged && !actionsChanged);

    // Saved, and read back by the next start's load: nothing damaged, expired or changed.
    MemoryRegistry registry;
    std::uint32_t id = 0;
    {
        StoreRig rig(registry, clock.Now());
        rig.store.LoadEvents();
        r.item->front.id = id = rig.store.NextEventId();
        ORV_FUZZ_CHECK(rig.store.SaveEvent(r.item, true, true));
    }
    StoreRig next(registry, clock.Now());
    next.store.LoadEvents();
    const ScheduleItem* loaded = next.store.FindEvent(id);
    ORV_FUZZ_CHECK(loaded != nullptr && next.store.Count() == 1);
    ScheduleFront expected = f;
    expected.id = id;
    ORV_FUZZ_CHECK(loaded->front == expected && loaded->title == made.title &&
                   loaded->remindMinutes == made.remindMinutes && loaded->actions == made.actions);
    return 0;
}
