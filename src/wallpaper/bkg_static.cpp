#include "wallpaper/bkg_static.h"

#include <utility>

#include "core/local_path.h"
#include "platform/win32/wide_text.h"
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

std::string CBkgStatic::Note() const {
    if (image || imagePath.empty()) return {};
    // Only a local path is asked about: the question alone would reach a host.
    const bool exists = !IsLocalFilePath(imagePath) ||
                        GetFileAttributesW(Wide(imagePath).c_str()) != INVALID_FILE_ATTRIBUTES;
    return (exists ? "Could not be read:\n" : "Missing:\n") + imagePath;
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
    const std::string note = Note();
    if (!note.empty()) {
        std::wstring text = Wide(note);
        RECT box = {4, 4, width - 4, height - 4};
        const int luma = GetRValue(backColor) * 3 + GetGValue(backColor) * 6 + GetBValue(backColor);
        const int saved = SaveDC(dc);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, luma > 1275 ? RGB(0, 0, 0) : RGB(255, 255, 255));
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(GetParent(hwnd_), WM_GETFONT, 0, 0)));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        RestoreDC(dc, saved);
    }
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
