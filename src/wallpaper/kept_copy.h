#pragma once
// The screen-sized copy of a wallpaper, filled strip by strip from whatever
// reads the source, so that no second whole image ever exists.
#include <cstdint>
#include <functional>

#include "ui/gdiplus.h"
#include "wallpaper/wallpaper_geometry.h"

// Hands the rows [first, first + count) of the source, columns [0, width),
// as 32-bit BGRA to use; false when they cannot be read.
using RowReader = std::function<bool(int first, int count, int width,
                                     const std::function<void(const std::uint8_t* rows, int stride)>& use)>;

// keep's copy of a source of the given size; empty when a read fails.
GdipBitmap KeptCopy(const WallpaperKeep& keep, int sourceWidth, int sourceHeight, const RowReader& read);
