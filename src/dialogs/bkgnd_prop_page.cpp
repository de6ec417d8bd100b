#include "dialogs/bkgnd_prop_page.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "dialogs/dialog_placement.h"
#include "dialogs/page_exchange.h"
#include "dialogs/preferences_ids.h"
#include "dialogs/prop_sheet.h"
#include "platform/win32/wide_text.h"

BEGIN_MESSAGE_TABLE(CBkgndPropPage, CPropertyPage)
    ON_BN_CLICKED(IDC_BKG_CHANGE_COLOR, &CBkgndPropPage::OnChangeColor)
    ON_BN_CLICKED(IDC_BKG_BROWSE, &CBkgndPropPage::OnBrowse)
    ON_BN_CLICKED(IDC_BKG_CLEAR, &CBkgndPropPage::OnClear)
    ON_BN_CLICKED(IDC_BKG_FIT, &CBkgndPropPage::OnFit)
    ON_BN_CLICKED(IDC_BKG_KEEP_ASPECT, &CBkgndPropPage::OnKeepAspect)
    ON_CONTROL(EN_CHANGE, IDC_BKG_TRANSPARENCY, &CBkgndPropPage::OnTransparencyChanged)
END_MESSAGE_TABLE()

CBkgndPropPage::CBkgndPropPage(const PrefSheetContext& context)
    : CPropertyPage(IDD_PROP_BACKGROUND), context_(context) {
    swatch.framed = true;
}

BOOL CBkgndPropPage::OnInitDialog() {
    const BackgroundPageValues v = BackgroundFromPreferences(*context_.prefs);
    transparency = v.transparency;
    swatch.backColor = preview.backColor = v.color;
    preview.imagePath = v.imageFile;
    fit = preview.fit = v.fit;
    keepAspect = preview.keepAspect = v.keepAspect;
    // A stored file that no longer loads shows the colour alone and keeps its path.
    preview.ReloadImage();
    loading_ = true;
    CPropertyPage::OnInitDialog();
    SendDlgItemMessageW(hwnd_, IDC_BKG_TRANSPARENCY_SPIN, UDM_SETRANGE32, 0, kMaxTransparency);
    EnableWindow(GetDlgItem(hwnd_, IDC_BKG_KEEP_ASPECT), preview.fit != 0);
    loading_ = false;
    // The sheet opens on this page, sized by now and not yet shown.
    CenterDialog(Sheet(), context_.anchor);
    return TRUE;
}

void CBkgndPropPage::DoDataExchange(DataExchange& dx) {
    ExchangeControl(hwnd_, IDC_BKG_SWATCH, swatch);
    ExchangeControl(hwnd_, IDC_BKG_PREVIEW, preview);
    ExchangeCheck(dx, hwnd_, IDC_BKG_FIT, fit);
    ExchangeCheck(dx, hwnd_, IDC_BKG_KEEP_ASPECT, keepAspect);
    dx.Text(IDC_BKG_TRANSPARENCY, transparency);
    dx.MinMaxInt(IDC_BKG_TRANSPARENCY, transparency, 0, kMaxTransparency);
}

bool CBkgndPropPage::OnApply(bool closing) {
    if (flags.modified) {
        ApplyBackground({swatch.backColor, preview.imagePath, preview.fit, preview.keepAspect, transparency},
                        *context_.prefs);
        flags.modified = false;
        flags.applied = true;
        // Apply writes and shows its effect now: the program may end before the sheet
        // does. After OK the caller saves and refreshes once the sheet has gone.
        if (!closing && context_.saveSettings) context_.saveSettings();
        if (!closing && context_.refreshCalendar) context_.refreshCalendar();
    }
    return true;
}

void CBkgndPropPage::MarkModified() {
    if (loading_) return;
    flags.modified = true;
    SetModified(true);
}

void CBkgndPropPage::RepaintPreview() { InvalidateRect(preview, nullptr, FALSE); }

void CBkgndPropPage::OnChangeColor() {
    Rgb color = swatch.backColor;
    const bool chosen = context_.chooseColor ? context_.chooseColor(hwnd_, color)
                                             : ChooseColorDialog(hwnd_, color, customColors_);
    if (!chosen) return;
    // The page's until OK or Apply: Cancel leaves the colour as it was.
    swatch.backColor = preview.backColor = color;
    InvalidateRect(swatch, nullptr, FALSE);
    RepaintPreview();
    MarkModified();
}

void CBkgndPropPage::OnBrowse() {
    std::string path = preview.imagePath;
    const bool chosen =
        context_.chooseImageFile ? context_.chooseImageFile(hwnd_, path) : ChooseImageFileDialog(hwnd_, path);
    if (!chosen) return;
    std::string previous = std::move(preview.imagePath);
    preview.imagePath = path;
    if (!preview.ReloadImage()) {
        // The wallpaper in use stays; the user learns why the choice did not take.
        preview.imagePath = std::move(previous);
        preview.ReloadImage();
        RepaintPreview();
        const std::wstring text = Wide("The picture could not be read:\n" + path);
        MessageBoxW(hwnd_, text.c_str(), L"Notice", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    RepaintPreview();
    MarkModified();
}

void CBkgndPropPage::OnClear() {
    preview.imagePath.clear();
    preview.ReloadImage();
    RepaintPreview();
    MarkModified();
}

void CBkgndPropPage::OnFit() {
    preview.fit = IsDlgButtonChecked(hwnd_, IDC_BKG_FIT) == BST_CHECKED ? 1 : 0;
    if (preview.image) preview.ReloadImage();  // a large photo is kept differently for each fit
    // Keeps its value while disabled; the value is applied all the same.
    EnableWindow(GetDlgItem(hwnd_, IDC_BKG_KEEP_ASPECT), preview.fit != 0);
    RepaintPreview();
    MarkModified();
}

void CBkgndPropPage::OnKeepAspect() {
    preview.keepAspect = IsDlgButtonChecked(hwnd_, IDC_BKG_KEEP_ASPECT) == BST_CHECKED ? 1 : 0;
    RepaintPreview();
    MarkModified();
}

void CBkgndPropPage::OnTransparencyChanged() { MarkModified(); }
