// The saves behind New Event and View/Edit Event, and what happens when the
// store moves while the editor is open (the program ending then is proved
// end to end, in editor_modal_test.sh).
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "platform/memory/faulty_registry.h"
#include "win32/editor_rig.h"

namespace {

using namespace std::string_literals;
using ui::Text;

class EditorCommitTest : public EditorRig {};

TEST_F(EditorCommitTest, ANewEventIsRefusedIfTheStoreFilledUpMeanwhile) {
    for (std::size_t i = 0; i < kMaxEvents; ++i) Add(Event("Filler", {2026, 8, 1}, {2026, 8, 1}));
    auto item = std::make_unique<ScheduleItem>(Event("Late", {2026, 8, 2}, {2026, 8, 2}));
    EXPECT_EQ(SaveNewEvent(store, std::move(item)), EditorOutcome::Failed);
    EXPECT_EQ(store.Count(), kMaxEvents);
}

// An import or a sync fills the store while the editor is open: OK says so
// in the Insert key's words and keeps the editor with what was typed, so
// room made elsewhere lets the same OK save it.
TEST_F(EditorCommitTest, ANewEventTypedWhileTheStoreFilledUpStaysInTheEditor) {
    for (std::size_t i = 1; i < kMaxEvents; ++i) Add(Event("Filler", {2026, 8, 1}, {2026, 8, 1}));
    std::string kept;
    ModalDriver driver({{"New Event", [&](HWND d) {
                             ui::Type(d, IDC_TITLE, "Dentist");
                             Add(Event("Imported", {2026, 8, 2}, {2026, 8, 2}));
                             ui::Press(d, IDOK);
                             kept = IsWindow(d) ? Text(d, IDC_TITLE) : "closed";
                             store.DeleteEvent(1, 0, true);
                             ui::Press(d, IDOK);
                         }}});
    EXPECT_EQ(RunNewEvent(nullptr, Context(), store, 2026, 8, 20), EditorOutcome::Saved);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(kept, "Dentist");
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"Notice: Can't add more event.\nPlease delete some of the previous events."});
    EXPECT_EQ(store.Count(), kMaxEvents);
    EXPECT_EQ(std::count_if(store.Events().begin(), store.Events().end(),
                            [](const auto& event) { return event->title == "Dentist"; }),
              1);
}

TEST_F(EditorCommitTest, AnEditSavesOnlyTheGroupsThatChanged) {
    struct Case {
        bool structure, actions;
        std::string title, priv;  // rewritten, or left deleted
    } cases[] = {
        {true, true, "written", "written"},
        {true, false, "written", "absent"},
        {false, true, "absent", "written"},
        {false, false, "absent", "absent"},
    };
    for (const Case& c : cases) {
        ScheduleItem event = Event("Dentist", {2026, 8, 20}, {2026, 8, 20});
        event.actions = kActionPlaySound;
        const std::uint32_t id = Add(event);
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, EventKey(id).c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        RegDeleteValueA(key, "title");
        RegDeleteValueA(key, "priv");
        RegCloseKey(key);
        auto edited = std::make_unique<ScheduleItem>(*store.FindEvent(id));
        edited->title = "Doctor";
        edited->remindMinutes = 30;
        const EditorOutcome outcome = SaveEditedEvent(store, std::move(edited), c.structure, c.actions);
        EXPECT_EQ(outcome, c.structure || c.actions ? EditorOutcome::Saved : EditorOutcome::Unchanged);
        const auto seen = [&](const char* name) -> std::string {
            return Raw(EventKey(id), name) == "absent" ? "absent" : "written";
        };
        EXPECT_EQ(std::make_pair(seen("title"), seen("priv")), std::make_pair(c.title, c.priv))
            << c.structure << c.actions;
        // "front" completes every write, whatever it changed.
        if (c.structure || c.actions) {
            EXPECT_EQ(seen("front"), "written");
        }
        // A structural save without new actions keeps the stored ones.
        EXPECT_EQ(store.FindEvent(id)->remindMinutes, c.actions ? 30 : 10);
        EXPECT_EQ(store.FindEvent(id)->actions, kActionPlaySound);
    }
}

TEST_F(EditorCommitTest, AnEventDeletedWhileItsEditorIsOpenIsNotBroughtBack) {
    const std::uint32_t id = Add(Event("Dentist", {2026, 8, 20}, {2026, 8, 20}));
    ModalDriver driver({{"View/Edit Event", [&](HWND d) {
                             store.DeleteEvent(id, 0, true);  // elsewhere, during the editor's loop
                             ui::Type(d, IDC_TITLE, "Doctor");
                             ui::Press(d, IDOK);
                         }}});
    EXPECT_EQ(RunEditEvent(nullptr, Context(), store, id), EditorOutcome::Failed);
    EXPECT_EQ(store.FindEvent(id), nullptr);
    EXPECT_EQ(Raw(EventKey(id), "front"), "absent");
}

// The registry refuses the save: the user is told, the editor stays open with
// what was typed, and OK again writes the whole event, once.
TEST_F(EditorCommitTest, ARefusedSaveKeepsTheEditorOpenForAnotherTry) {
    FaultyRegistry faulty(hive.registry());
    EventStore refusing{faulty, clock, schedule, notifier};
    refusing.LoadEvents();
    const auto twoTries = [&faulty](const char* caption, const char* failing, const char* note) {
        return ModalDriver({{caption, [&faulty, failing, note](HWND d) {
                                 ui::Type(d, IDC_TITLE, "Dentist");
                                 ui::Type(d, IDC_NOTE, note);
                                 faulty.FailName(RegOp::Write, failing);
                                 ui::Press(d, IDOK);
                                 faulty.Heal();
                                 EXPECT_EQ(Text(d, IDC_NOTE), note);  // still open, input kept
                                 ui::Press(d, IDOK);
                             }}});
    };
    {
        ModalDriver driver = twoTries("New Event", "front", "bring the card");
        EXPECT_EQ(RunNewEvent(nullptr, Context(), refusing, 2026, 8, 20), EditorOutcome::Saved);
    }
    // A write refused after the first one took the key away: the retry writes it all.
    {
        ModalDriver driver = twoTries("View/Edit Event", "note", "bring the new card");
        EXPECT_EQ(RunEditEvent(nullptr, Context(), refusing, 1), EditorOutcome::Saved);
    }
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>(2, "Notice: The event could not be saved.")));
    EXPECT_EQ(refusing.Count(), 1u);
    for (const char* value : {"front", "priv", "title", "note", "soundfile", "launchfile", "fileschosen"})
        EXPECT_NE(Raw(EventKey(1), value), "absent") << value;
    EXPECT_EQ(Raw(EventKey(1), "note"), "bring the new card\0"s);
}

TEST_F(EditorCommitTest, AnEventThatStopsRecurringLosesItsExcludedDates) {
    ScheduleItem weekly = Event("Gym", {2026, 8, 3}, {2026, 8, 31});
    weekly.front.recurKind = kKindWeekly;
    weekly.front.recurPattern = 0x02;
    const std::uint32_t id = Add(weekly);
    const std::uint32_t other = Add(weekly);
    store.ToggleExclusion(id, 2026, 8, 10, kKindWeekly);
    store.ToggleExclusion(other, 2026, 8, 10, kKindWeekly);

    auto renamed = std::make_unique<ScheduleItem>(*store.FindEvent(id));
    renamed->title = "Gym class";
    EXPECT_EQ(SaveEditedEvent(store, std::move(renamed), true, false), EditorOutcome::Saved);
    EXPECT_EQ(store.Exclusions().size(), 2u);  // still recurring: the date stays excluded

    auto once = std::make_unique<ScheduleItem>(*store.FindEvent(id));
    once->front.recurKind = kKindNone;
    EXPECT_EQ(SaveEditedEvent(store, std::move(once), true, false), EditorOutcome::Saved);
    // One-off events count any exclusion of theirs: it would hide the whole event.
    EXPECT_EQ(store.Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2026, 8, 10), other}}));
    EXPECT_FALSE(store.IsExcluded(id, MakeDateKey(2026, 8, 3), kKindNone));
}

}  // namespace
