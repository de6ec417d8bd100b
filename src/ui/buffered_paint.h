#pragma once
#include <windows.h>

#include <functional>

// Draws part of a window's client area: the device context to draw in and
// the clip, in client coordinates, that the drawing must cover. False when
// it drew nothing (the window has nothing to show yet): the target keeps
// what it had.
using PaintProc = std::function<bool(HDC dc, const RECT& clip)>;

// Draws the clip part of window's client area off screen and copies it to
// target, so the screen never shows a half-drawn picture. A tall part is
// painted in bands, top to bottom: paint is called once a band, with the
// band as its clip, and must draw what covers the band alone. Nothing
// happens when the clip misses the client area or GDI runs out.
void PaintBuffered(HWND window, HDC target, const RECT& clip, const PaintProc& paint);

// WM_PAINT: what needs painting, through PaintBuffered, between BeginPaint
// and EndPaint. False when the paint DC's clip box cannot be read.
bool PaintInvalidPart(HWND window, const PaintProc& paint);

// WM_PRINTCLIENT: the whole client area into dc, through PaintBuffered, so a
// printed window shows exactly what the screen does.
void PrintClient(HWND window, HDC dc, const PaintProc& paint);
