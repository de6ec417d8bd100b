#pragma once
#include <windows.h>

#include "wallpaper/bkg_static.h"
#include "dialogs/prop_sheet_model.h"
#include "ui/property_page.h"

struct PrefSheetContext;

// The "Background" page: the calendar's colour, wallpaper, its fit and
// aspect, and the transparency of the white wash.
class CBkgndPropPage final : public CPropertyPage {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CBkgndPropPage(const PrefSheetContext& context);

    CBkgStatic swatch;   // the colour alone
    CBkgStatic preview;  // colour, wallpaper, fit and keep aspect as the calendar draws them
    int fit = 0;
    int keepAspect = 0;
    int transparency = 0;
    PageFlags flags;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    bool OnApply(bool closing) override;

private:
    void OnChangeColor();
    void OnBrowse();
    void OnClear();
    void OnFit();
    void OnKeepAspect();
    void OnTransparencyChanged();
    void MarkModified();
    void RepaintPreview();

    const PrefSheetContext& context_;
    bool loading_ = false;  // controls being filled: their notices are no changes
    COLORREF customColors_[16] = {};
};
