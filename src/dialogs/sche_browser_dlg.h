#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/time_types.h"
#include "dialogs/sche_browser_model.h"
#include "store/event_store.h"
#include "ui/dialog.h"

// What the event browser needs from the calendar window that opens it.
struct ScheBrowserContext {
    EventStore* store = nullptr;                    // listed once, deleted from
    std::function<std::string(Instant)> shortDate;  // the user's short date
    // After the browser closed with Edit: show the event and open its editor.
    std::function<void(std::uint32_t eventId)> editEvent;
};

// Every event of the store in a list sortable by title or start date; the
// selected events can be deleted, or one of them picked for editing.
class CScheBrowserDlg final : public CDialog {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CScheBrowserDlg(ScheBrowserContext context);

    // Runs the browser modally over parent, the calendar window, which is
    // told once after each deletion; then, when Edit closed it, editEvent.
    INT_PTR Run(HWND parent);

    std::uint32_t PickedId() const { return pickedId_; }
    bool EditRequested() const { return editRequested_; }
    int SortMode() const { return sortMode_; }
    HWND List() const;

protected:
    BOOL OnInitDialog() override;
    // Enter in the list: Edit.
    void OnOK() override;

private:
    LRESULT OnNotify(WPARAM, LPARAM);
    void OnEdit();
    void EditRow(int index);
    void OnDelete();
    void Sort();
    void ShowSortArrow();
    void UpdateButtons();
    const BrowserRow* RowAt(int item) const;
    static int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM mode);

    ScheBrowserContext context_;
    HWND parent_ = nullptr;
    // The list's items point at these; they stay until the dialog object goes.
    std::vector<std::unique_ptr<BrowserRow>> rows_;
    int sortMode_ = kSortTitleAscending;
    std::uint32_t pickedId_ = 0;
    bool editRequested_ = false;
};
