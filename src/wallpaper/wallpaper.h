#pragma once
// The wallpaper image: loading it from a file and drawing it into a
// rectangle, shared by the calendar window's background and the preview
// control of the preferences.
#include <windows.h>

#include <string>

#include "ui/gdiplus.h"

// Decodes the image file; an empty handle when the path is empty or the file
// cannot be read or decoded. The path is in the system's ANSI code page.
GdipBitmap LoadWallpaperImage(const std::string& path);

// What windows on a screen of the given size can show of image (see
// KeptWallpaperSize): a new smaller bitmap, or image itself when it is kept
// whole or the copy cannot be made. A decoded photo can take tens of
// megabytes; the copy costs what the screen does.
GdipBitmap ScreenSizedWallpaper(GdipBitmap image, int screenWidth, int screenHeight, bool fit);

// The wallpaper file as ScreenSizedWallpaper keeps it, decoded through the
// imaging component strip by strip, so that at most the decoder's own copy
// of a photo is ever whole; empty when it cannot (no COM, a metafile).
GdipBitmap DecodeScreenSizedWallpaper(const std::string& path, int screenWidth, int screenHeight, bool fit);
// DecodeScreenSizedWallpaper, else LoadWallpaperImage and ScreenSizedWallpaper.
GdipBitmap LoadScreenSizedWallpaper(const std::string& path, int screenWidth, int screenHeight, bool fit);

// Draws image into (x0, y0, w, h) of dc, whose background the caller has
// already filled: tiled at its natural size, or with fit stretched over the
// rectangle, with keepAspect after cropping it to the rectangle's shape.
// Only the first tile is scaled from the image; the others copy it on dc.
void DrawWallpaper(HDC dc, int x0, int y0, int w, int h, Gdiplus::GpImage* image, bool fit, bool keepAspect);
