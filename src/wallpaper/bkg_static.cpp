#include "wallpaper/bkg_static.h"

#include <utility>

#include "wallpaper/wallpaper.h"
#include "ui/gdi.h"

BEGIN_MESSAGE_TABLE(CBkgStatic, CWnd)
    ON_MESSAGE(WM_PAINT, &CBkgStatic::OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, &CBkgStatic::OnPrintClient)
END_MESSAGE_TABLE()

bool CBkgStatic::ReloadImage() {
    // Released first: a failed load leaves no image rather than the old one.
    image.Reset();
    if (imagePath.empty()) return true;
    // Kept at the screen's size as the calendar keeps it: a photo's repaints
    // cost what the screen does. What is kept depends on fit.
    image = LoadScreenSizedWallpaper(imagePath, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                     GetSystemMetrics(SM_CYVIRTUALSCREEN), fit != 0);
    return static_cast<bool>(image);
}

void CBkgStatic::Paint(HDC dc, int width, int height) {
    {
        GdipGraphics graphics = GraphicsFromDc(dc);
        GdipSolidFill fill = MakeSolidFill(0xFF000000u | (static_cast<Gdiplus::ARGB>(GetRValue(backColor)) << 16) |
                                           (static_cast<Gdiplus::ARGB>(GetGValue(backColor)) << 8) |
                                           GetBValue(backColor));
        Gdiplus::DllExports::GdipFillRectangleI(graphics.Get(), fill.Get(), 0, 0, width, height);
    }
    if (image) DrawWallpaper(dc, 0, 0, width, height, image.Get(), fit != 0, keepAspect != 0);
    if (framed) {
        const RECT all = {0, 0, width, height};
        FrameRect(dc, &all, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
}

LRESULT CBkgStatic::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(hwnd_);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    Paint(dc, rc.right, rc.bottom);
    return 0;
}

LRESULT CBkgStatic::OnPrintClient(WPARAM wParam, LPARAM) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    Paint(reinterpret_cast<HDC>(wParam), rc.right, rc.bottom);
    return 0;
}
