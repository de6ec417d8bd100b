// Proves that windows, GDI and the message loop work under the test runner.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kFill = RGB(12, 34, 56);

LRESULT CALLBACK FillWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PRINTCLIENT) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH brush = CreateSolidBrush(kFill);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        DeleteObject(brush);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(Harness, WindowPaintsIntoMemoryDc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FillWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HarnessFill";
    ASSERT_NE(RegisterClassA(&wc), 0);

    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "harness", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);

    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 30);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);

    EXPECT_EQ(GetPixel(mem, 5, 5), kFill);
    EXPECT_EQ(GetPixel(mem, 39, 29), kFill);

    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    DestroyWindow(hwnd);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

}  // namespace
