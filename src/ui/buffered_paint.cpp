#include "ui/buffered_paint.h"

#include <algorithm>

#include "ui/gdi.h"

namespace {

// The off-screen bitmap holds at most this much: a band of the part to
// paint, painted and copied in turn. A bitmap of the whole window would add
// the window's size in memory at every paint.
constexpr int kBandBytes = 256 * 1024;

}  // namespace

void PaintBuffered(HWND window, HDC target, const RECT& clip, const PaintProc& paint) {
    RECT client;
    RECT part;
    if (target == nullptr || !GetClientRect(window, &client) || !IntersectRect(&part, &clip, &client)) return;
    const int width = part.right - part.left;
    const int bandHeight = std::clamp(kBandBytes / (4 * width), 1, static_cast<int>(part.bottom - part.top));
    BitmapHandle bitmap(CreateCompatibleBitmap(target, width, bandHeight));
    MemoryDc buffer(target);
    if (!bitmap || buffer.Get() == nullptr) return;
    SelectObject(buffer, bitmap);  // the DC's saved state deselects it
    for (int top = part.top; top < part.bottom; top += bandHeight) {
        const RECT band = {part.left, top, part.right, std::min<int>(part.bottom, top + bandHeight)};
        // The painter draws in client coordinates; the band is the bitmap's origin.
        SetWindowOrgEx(buffer, band.left, band.top, nullptr);
        if (!paint(buffer, band)) return;
        BitBlt(target, band.left, band.top, width, band.bottom - band.top, buffer, band.left, band.top, SRCCOPY);
    }
}

bool PaintInvalidPart(HWND window, const PaintProc& paint) {
    PaintDc dc(window);
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) return false;
    PaintBuffered(window, dc, clip, paint);
    return true;
}

void PrintClient(HWND window, HDC dc, const PaintProc& paint) {
    RECT client;
    if (GetClientRect(window, &client)) PaintBuffered(window, dc, client, paint);
}
