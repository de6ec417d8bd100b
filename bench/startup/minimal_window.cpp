// The yardstick for start-up figures: what every tray program does before it
// shows anything (common controls, OLE, GDI+, one tray icon) and one painted
// popup, run under the same Wine.
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>  // before gdiplus.h, which needs PROPID
#include <gdiplus.h>
#include <ole2.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_USER + 1;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            // A line of text across the middle, where the launcher looks for a painted window.
            RECT rc;
            GetClientRect(hwnd, &rc);
            DrawTextA(dc, "Minimal popup, painted", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    if (FAILED(OleInitialize(nullptr))) return 1;
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "MinimalWindow";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Minimal", WS_POPUP | WS_SYSMENU, 494, 368, 480, 377, nullptr,
                                nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;

    NOTIFYICONDATAA tray = {};
    tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray.hWnd = hwnd;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayMessage;
    tray.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    lstrcpyA(tray.szTip, "Minimal");
    Shell_NotifyIconA(NIM_ADD, &tray);

    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &tray);
    Gdiplus::GdiplusShutdown(gdiplus);
    OleUninitialize();
    return 0;
}
