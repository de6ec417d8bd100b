#include "dialogs/prop_sheet.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/common_dialogs.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/wide_text.h"

PrefSheetOutcome CPropSheet::DoModal() {
    std::vector<PROPSHEETPAGEW> pages = {background_.PageRecord(), event_.PageRecord()};
    if (context_.registry != nullptr && context_.credentials != nullptr) pages.push_back(sync_.PageRecord());
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
    header.hwndParent = nullptr;
    header.hInstance = GetModuleHandleW(nullptr);
    const std::wstring caption = Wide(kCaption);
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = 0;
    header.ppsp = pages.data();
    PropertySheetW(&header);
    return PrefSheetOutcome{background_.flags.applied, event_.flags.applied, sync_.flags.applied};
}

PrefSheetOutcome ShowPreferences(const PrefSheetContext& context) {
    if (context.openSheet != nullptr && *context.openSheet != nullptr) {
        if (HWND open = (*context.openSheet)->Hwnd()) SetForegroundWindow(open);
        return {};
    }
    CPropSheet sheet(context);
    if (context.openSheet != nullptr) *context.openSheet = &sheet;
    const PrefSheetOutcome outcome = sheet.DoModal();
    if (context.openSheet != nullptr) *context.openSheet = nullptr;
    if (outcome.SaveSettings() && context.saveSettings) context.saveSettings();
    if (outcome.RefreshCalendar() && context.refreshCalendar) context.refreshCalendar();
    if (outcome.CheckReminders() && context.checkReminders) context.checkReminders();
    return outcome;
}

bool ChooseColorDialog(HWND owner, Rgb& color, COLORREF (&customColors)[16]) {
    CHOOSECOLORW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.rgbResult = color;
    chooser.lpCustColors = customColors;
    chooser.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ShowColorDialog(chooser)) return false;
    color = chooser.rgbResult;
    return true;
}

bool ChooseImageFileDialog(HWND owner, std::string& path) {
    static constexpr char kFilter[] =
        "Image Files (*.bmp;*.gif;*.jpg;*.png;*.tif)|*.bmp;*.gif;*.jpg;*.png;*.tif|All Files (*.*)|*.*||";
    const std::string filter = FileDialogFilter(kFilter);
    FileDialogRequest request;
    request.owner = owner;
    request.filter = filter.c_str();
    request.initialFile = path;
    request.flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    // The path is kept where the program reads MAX_PATH bytes back.
    request.room = MAX_PATH;
    return AskFilePath(request, path);
}
