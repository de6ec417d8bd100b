#include "ui/buffered_paint.h"

#include "ui/gdi.h"

void PaintBuffered(HWND window, HDC target, const RECT& clip, const PaintProc& paint) {
    RECT client;
    RECT part;
    if (target == nullptr || !GetClientRect(window, &client) || !IntersectRect(&part, &clip, &client)) return;
    BitmapHandle bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    MemoryDc buffer(target);
    if (!bitmap || buffer.Get() == nullptr) return;
    SelectObject(buffer, bitmap);  // the DC's saved state deselects it
    if (!paint(buffer, part)) return;
    BitBlt(target, part.left, part.top, part.right - part.left, part.bottom - part.top, buffer, part.left, part.top,
           SRCCOPY);
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
