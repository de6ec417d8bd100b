#pragma once
#include <windows.h>

#include <string>

#include "ui/gdiplus.h"
#include "ui/wnd.h"

// A static control that shows a colour and, optionally, a wallpaper drawn as
// the calendar window draws its background: the colour swatch and the
// wallpaper preview of the preferences. The owner sets the fields, calls
// ReloadImage after changing imagePath and invalidates the control.
class CBkgStatic : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    GdipBitmap image;
    COLORREF backColor = RGB(255, 255, 255);
    std::string imagePath;  // system ANSI code page
    int fit = 0;            // 1: stretch over the control instead of tiling
    int keepAspect = 0;     // with fit: crop to the control's shape first
    bool framed = false;    // a one-pixel frame round the colour, so that white shows on a white page

    // Drops the current image and loads imagePath, at most a screenful for
    // the current fit. True when the path is empty or the file was loaded;
    // false, with no image, otherwise.
    bool ReloadImage();

    // What the control says instead of a picture: a path kept without its
    // image is named, so that it does not look like no wallpaper at all.
    std::string Note() const;

    // The control's picture for a client area of width x height.
    void Paint(HDC dc, int width, int height);

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
};
