#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/locale_names.h"
#include "core/schedule_item.h"
#include "dialogs/editor_shell.h"
#include "dialogs/schedule_model.h"
#include "platform/registry.h"
#include "store/recent_files.h"
#include "ui/dialog.h"

// What the event editor needs of the program. Everything pointed at
// outlives the dialog.
struct ScheduleDlgContext {
    Registry* registry = nullptr;  // the recently used files; none: no lists
    const Clock* clock = nullptr;
    const LocaleNames* names = nullptr;
    std::string installPath;       // base of the default sound; empty when unknown
    EditorShell* shell = nullptr;  // null: the system's
};

// The modal "New Event" / "View/Edit Event" dialog. It edits its own copy of
// an event and reports which groups of fields changed; the caller saves, on
// OK through the commit it set.
class CScheduleDlg final : public CDialog {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CScheduleDlg(const ScheduleDlgContext& context);
    // Writes the recently used files back, after OK and Cancel alike.
    ~CScheduleDlg() override;

    // New event: the day it is preset to.
    void SetPreset(int year, int month, int day) { preset_ = {year, month, day}; }
    // Edit: the dialog works on a copy of the event.
    void SetItem(const ScheduleItem& item) { item_ = std::make_unique<ScheduleItem>(item); }

    // After OK: the working item, with its id left to the caller for a new event.
    const ScheduleItem* Item() const { return item_.get(); }
    std::unique_ptr<ScheduleItem> TakeItem() { return std::move(item_); }

    // What OK's commit made of the working item. Unless Saved, the dialog
    // stays open with the input: after the write-failure notice (NotWritten),
    // or after the commit's own notice (Refused).
    enum class CommitResult { Saved, NotWritten, Refused };
    void SetCommit(std::function<CommitResult(const ScheduleItem&)> commit) { commit_ = std::move(commit); }

    const RecentFiles& RecentSounds() const { return sounds_; }
    const RecentFiles& RecentLaunches() const { return launches_; }

    bool structureChanged = false;  // new, or a date, time, rule, title or note changed
    bool actionsChanged = false;    // new, or the actions, minutes, sound or launch file changed

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    void OnOK() override;

private:
    void OnTitleChange();
    void OnSettings();
    void OnSoundSelected();
    void OnBrowseSound();
    void OnBrowseLaunch();
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);

    void UpdateRecurrenceText();
    void Fill(int listId, RecentFiles& files, const std::string& chosen);
    void Browse(int listId, RecentFiles& files, EditorShell::FileKind kind);
    // The path of the selected entry, or null.
    std::string* Selected(int listId) const;
    std::string Chosen(int listId, RecentFiles& files, bool ticked);
    void ShowNotice(const char* text);
    EditorShell& Shell() { return context_.shell != nullptr ? *context_.shell : systemShell_; }

    ScheduleDlgContext context_;
    EditorShell systemShell_;
    CivilDate preset_;
    std::unique_ptr<ScheduleItem> item_;
    EditorFields fields_;
    RecentFiles sounds_;
    RecentFiles launches_;
    bool listsLoaded_ = false;
    std::function<CommitResult(const ScheduleItem&)> commit_;
};
