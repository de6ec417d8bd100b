#pragma once
// Decoding a wallpaper through the imaging component straight into the copy
// the windows keep.
#include <wincodec.h>

#include "wallpaper/wic_source_transform.h"

#include "ui/gdiplus.h"

// frame's screen-sized copy (see KeptWallpaperSize), strip by strip. A frame
// that can shrink while it decodes (Windows' JPEG decoder offers
// IWICBitmapSourceTransform) is decoded at the smallest of its scales that
// still covers the copy; any other, or one whose scales or pixel formats do
// not serve, through a converter to BGRA at its full size. Empty when the
// frame cannot be read or is too large to be a wallpaper.
GdipBitmap DecodeScreenSizedFrame(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame, int screenWidth,
                                  int screenHeight, bool fit);
