#pragma once
// A 32-bit top-down DIB section selected into a memory DC, for drawing tests
// that read pixels back and save what they drew for a person to look at.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/gdi.h"

class DibCanvas {
public:
    DibCanvas(int width, int height, COLORREF fill) : width_(width), height_(height), dc_(nullptr) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;  // top-down: row 0 first
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        selected_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~DibCanvas() { SelectObject(dc_, selected_); }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Fill(COLORREF color) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToPixel(color);
    }

    // The colour at (x, y) as a COLORREF, alpha dropped.
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

    // Writes a 24-bit BMP; false when the file cannot be written.
    bool SaveBmp(const std::string& path) const {
        GdiFlush();
        const int stride = (width_ * 3 + 3) & ~3;
        BITMAPFILEHEADER fh = {};
        BITMAPINFOHEADER ih = {};
        ih.biSize = sizeof ih;
        ih.biWidth = width_;
        ih.biHeight = height_;  // bottom-up on disk
        ih.biPlanes = 1;
        ih.biBitCount = 24;
        ih.biCompression = BI_RGB;
        ih.biSizeImage = static_cast<DWORD>(stride * height_);
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof ih;
        fh.bfSize = fh.bfOffBits + ih.biSizeImage;
        std::vector<unsigned char> data(ih.biSizeImage, 0);
        for (int y = 0; y < height_; ++y) {
            unsigned char* row = &data[static_cast<std::size_t>((height_ - 1 - y) * stride)];
            for (int x = 0; x < width_; ++x) {
                const std::uint32_t p = bits_[y * width_ + x];
                row[x * 3] = p & 0xFF;
                row[x * 3 + 1] = (p >> 8) & 0xFF;
                row[x * 3 + 2] = (p >> 16) & 0xFF;
            }
        }
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) return false;
        bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
                  std::fwrite(data.data(), 1, data.size(), f) == data.size();
        return std::fclose(f) == 0 && ok;
    }

private:
    static std::uint32_t ToPixel(COLORREF c) {
        return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
               (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
    }

    int width_;
    int height_;
    MemoryDc dc_;
    BitmapHandle bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ selected_ = nullptr;
};

// Directory for pictures drawn by tests: "screens" next to the test
// executable's directory, i.e. in the build tree. Created on demand.
inline std::string ScreensDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    for (int up = 0; up < 2; ++up) {
        const auto slash = dir.find_last_of("\\/");
        if (slash == std::string::npos) break;
        dir.resize(slash);
    }
    dir += "\\screens";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}
