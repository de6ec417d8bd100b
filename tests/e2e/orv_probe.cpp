// A small helper for end-to-end tests: finds the program's windows and sends
// them the program's own messages, as the shell and the user would.
//
//   orv_probe find CLASS [TITLE]          prints "visible left top right bottom" of the first match; 1 if none
//   orv_probe count CLASS                 prints the number of top-level windows of the class
//   orv_probe send CLASS MSG WPARAM LPARAM   SendMessage; prints the result
//   orv_probe post CLASS MSG WPARAM LPARAM   PostMessage
//   orv_probe wait CLASS SECONDS          waits until a window of the class exists; 1 on timeout
//   orv_probe gone CLASS SECONDS          waits until no window of the class exists; 1 on timeout
//   orv_probe idle CLASS SECONDS          waits until a window of the class exists and its process has
//                                         first waited for input (its start is done); 1 on timeout
//   orv_probe msgbox SECONDS              waits for a message box; prints caption and text; answers OK
//   orv_probe msgboxu SECONDS             the same, the texts read as wide characters and printed in UTF-8
//   orv_probe children CLASS              prints the control ids of the first match's child windows
//   orv_probe item CLASS TITLE ID         prints "left top right bottom" of the first visible descendant
//                                         with that control id (a dialog's or a property page's control)
//   orv_probe text CLASS TITLE ID         prints the text of that control (a drop-down list: its selection)
//   orv_probe focus CLASS TITLE           prints the control id of the window with the keyboard focus in
//                                         that window's thread (a picker's or a drop-down's inner window
//                                         counts as its control); 1 if none
//   orv_probe blink CLASS SECONDS         samples the client area on the screen every 50 ms, its child
//                                         windows left out; prints "inked blank": samples with and without
//                                         text on the tooltip colour
//   orv_probe shot CLASS PATH             saves the window as it shows on the screen as a 24-bit BMP
//   orv_probe clip TEXT [COUNT]           puts TEXT, COUNT times over, on the clipboard (system code page)
//   orv_probe credential TARGET USER PASSWORD   keeps a generic credential, as the Sync page does
//   orv_probe accessible CLASS           reads the first match's accessible tree as a screen reader does;
//                                         prints "id|role|state|left top width height|name|description",
//                                         the window's own object (id 0) first
//   orv_probe hear CLASS SECONDS MSG WPARAM LPARAM   listens for the window's focus events, posts the
//                                         message; prints "child|name" of the first one; 1 if none came
//   orv_probe launch WAITCLASS QUITCLASS QUITMSG QUITWPARAM EXE [ARGS]
//       starts EXE, times it until a visible WAITCLASS window shows painted, posts the
//       quit message, waits for the end; prints "ms_to_window peak_working_set_kb ms_total"
// Numbers may be decimal or 0x-prefixed hex. CLASS "-" matches any class.
#include <windows.h>
#include <psapi.h>
#include <wincred.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "probe_accessible.h"

namespace {

const char* ClassArg(const char* arg) { return std::string(arg) == "-" ? nullptr : arg; }

HWND Find(const char* cls, const char* title) { return FindWindowA(ClassArg(cls), title); }

struct CountContext {
    const char* cls;
    int count;
};

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lParam) {
    auto* ctx = reinterpret_cast<CountContext*>(lParam);
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) == ctx->cls) ++ctx->count;
    return TRUE;
}

bool WaitFor(const char* cls, double seconds, bool present) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    do {
        if ((Find(cls, nullptr) != nullptr) == present) return true;
        Sleep(50);
    } while (static_cast<LONG>(deadline - GetTickCount()) > 0);
    return false;
}

// A message box is a dialog with its text in the static 0xFFFF; other dialogs
// (an editor behind the box) are passed over.
BOOL CALLBACK FindBox(HWND hwnd, LPARAM lParam) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) != "#32770" || GetDlgItem(hwnd, 0xFFFF) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
}

HWND WaitForMessageBox(double seconds) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    do {
        HWND box = nullptr;
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
        if (box != nullptr) {
            // Found as soon as it is created; its texts are set before it shows.
            for (int i = 0; i < 100 && !IsWindowVisible(box); ++i) Sleep(50);
            return box;
        }
        Sleep(50);
    } while (static_cast<LONG>(deadline - GetTickCount()) > 0);
    return nullptr;
}

UINT_PTR Number(const char* text) { return static_cast<UINT_PTR>(std::strtoull(text, nullptr, 0)); }

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// A part of the screen as 32-bit pixels, row by row from the top.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
};

bool ReadScreen(RECT rc, ScreenPixels& out) {
    const RECT screenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!IntersectRect(&rc, &rc, &screenRect)) return false;
    out.width = rc.right - rc.left;
    out.height = rc.bottom - rc.top;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, out.width, out.height, screen, rc.left, rc.top, SRCCOPY) != 0;
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        out.pixels.assign(p, p + static_cast<std::size_t>(out.width) * out.height);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

// Pixels of the client area that are not the tooltip background.
int Ink(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    ScreenPixels shot;
    if (!ReadScreen(rc, shot)) return -1;
    const COLORREF back = GetSysColor(COLOR_INFOBK);
    const DWORD backPixel = (GetRValue(back) << 16) | (GetGValue(back) << 8) | GetBValue(back);
    // The child buttons stay while the text blinks: their pixels do not count.
    std::vector<RECT> children;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT cr;
        if (IsWindowVisible(c) && GetWindowRect(c, &cr)) children.push_back(cr);
    }
    int ink = 0;
    for (std::size_t i = 0; i < shot.pixels.size(); ++i) {
        const POINT at = {rc.left + static_cast<LONG>(i % shot.width), rc.top + static_cast<LONG>(i / shot.width)};
        bool covered = false;
        for (const RECT& cr : children) covered = covered || PtInRect(&cr, at);
        ink += !covered && (shot.pixels[i] & 0xFFFFFF) != backPixel ? 1 : 0;
    }
    return ink;
}

struct ItemContext {
    int id;
    HWND found;
};

BOOL CALLBACK FindItem(HWND hwnd, LPARAM lParam) {
    auto* ctx = reinterpret_cast<ItemContext*>(lParam);
    if (GetDlgCtrlID(hwnd) != ctx->id || !IsWindowVisible(hwnd)) return TRUE;
    ctx->found = hwnd;
    return FALSE;
}

bool SaveShot(HWND hwnd, const char* path) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    ScreenPixels shot;
    if (!ReadScreen(rc, shot)) return false;
    const int stride = (shot.width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = shot.width;
    ih.biHeight = shot.height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = static_cast<DWORD>(stride * shot.height);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    std::vector<unsigned char> data(ih.biSizeImage, 0);
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const DWORD p = shot.pixels[static_cast<std::size_t>(y) * shot.width + x];
            unsigned char* out = &data[static_cast<std::size_t>(shot.height - 1 - y) * stride + x * 3];
            out[0] = p & 0xFF;
            out[1] = (p >> 8) & 0xFF;
            out[2] = (p >> 16) & 0xFF;
        }
    }
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
                    std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

bool Painted(HWND hwnd) {
    RECT rc;
    if (!GetWindowRect(hwnd, &rc)) return false;
    rc.top = (rc.top + rc.bottom) / 2;
    rc.bottom = rc.top + 1;
    ScreenPixels row;
    if (!ReadScreen(rc, row) || row.pixels.empty()) return false;
    for (DWORD p : row.pixels)
        if (p != row.pixels.front()) return true;
    return false;
}

int Launch(int argc, char** argv) {
    std::string commandLine = std::string("\"") + argv[6] + "\"";
    for (int i = 7; i < argc; ++i) commandLine += std::string(" ") + argv[i];
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER start;
    LARGE_INTEGER shown;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
    HWND window = nullptr;
    for (int i = 0; i < 30000 && !(window && IsWindowVisible(window)); ++i) {
        window = FindWindowA(argv[2], nullptr);
        if (!(window && IsWindowVisible(window))) Sleep(1);
    }
    // Shown is not yet seen: wait until the screen shows more than one colour
    // across the window's middle, as any painted text or grid does.
    for (int i = 0; i < 5000 && window != nullptr && !Painted(window); ++i) Sleep(1);
    QueryPerformanceCounter(&shown);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters);
    if (HWND quit = FindWindowA(argv[3], nullptr)) {
        PostMessageA(quit, static_cast<UINT>(Number(argv[4])), Number(argv[5]), 0);
    }
    WaitForSingleObject(pi.hProcess, 20000);
    QueryPerformanceCounter(&end);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (window == nullptr) return 1;
    std::printf("%.1f %zu %.1f\n", Ms(start, shown), static_cast<std::size_t>(counters.PeakWorkingSetSize / 1024),
                Ms(start, end));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    // Rectangles and pictures in the screen's own pixels at every scale, as
    // the program, which is DPI-aware, and xdotool see them.
    SetProcessDPIAware();
    const std::string verb = argv[1];
    if (verb == "find" && argc >= 3) {
        HWND hwnd = Find(argv[2], argc >= 4 ? argv[3] : nullptr);
        if (hwnd == nullptr) return 1;
        RECT rc;
        GetWindowRect(hwnd, &rc);
        std::printf("%d %ld %ld %ld %ld\n", IsWindowVisible(hwnd) ? 1 : 0, rc.left, rc.top, rc.right, rc.bottom);
        return 0;
    }
    if (verb == "count" && argc >= 3) {
        CountContext ctx{argv[2], 0};
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&ctx));
        std::printf("%d\n", ctx.count);
        return 0;
    }
    if ((verb == "send" || verb == "post") && argc >= 6) {
        HWND hwnd = Find(argv[2], nullptr);
        if (hwnd == nullptr) return 1;
        const UINT msg = static_cast<UINT>(Number(argv[3]));
        const WPARAM wParam = Number(argv[4]);
        const LPARAM lParam = static_cast<LPARAM>(Number(argv[5]));
        if (verb == "send") {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_NORMAL, 10000, &result)) return 1;
            std::printf("%llu\n", static_cast<unsigned long long>(result));
            return 0;
        }
        return PostMessageA(hwnd, msg, wParam, lParam) ? 0 : 1;
    }
    if ((verb == "wait" || verb == "gone") && argc >= 4) {
        return WaitFor(argv[2], std::atof(argv[3]), verb == "wait") ? 0 : 1;
    }
    if (verb == "idle" && argc >= 4) {
        const DWORD start = GetTickCount();
        if (!WaitFor(argv[2], std::atof(argv[3]), true)) return 1;
        DWORD pid = 0;
        GetWindowThreadProcessId(Find(argv[2], nullptr), &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (process == nullptr) return 1;
        const DWORD left = static_cast<DWORD>(std::atof(argv[3]) * 1000) - (GetTickCount() - start);
        const DWORD waited = WaitForInputIdle(process, static_cast<LONG>(left) > 0 ? left : 0);
        CloseHandle(process);
        return waited == 0 ? 0 : 1;
    }
    if (verb == "msgbox" && argc >= 3) {
        HWND box = WaitForMessageBox(std::atof(argv[2]));
        if (box == nullptr) return 1;
        char caption[256] = {};
        char text[1024] = {};
        GetWindowTextA(box, caption, sizeof caption);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        std::printf("%s|%s\n", caption, text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (verb == "msgboxu" && argc >= 3) {
        // As msgbox, but the texts read as wide characters and printed in
        // UTF-8, so that text outside the ANSI code page can be compared.
        HWND box = WaitForMessageBox(std::atof(argv[2]));
        if (box == nullptr) return 1;
        wchar_t caption[256] = {};
        wchar_t text[1024] = {};
        GetWindowTextW(box, caption, 256);
        GetDlgItemTextW(box, 0xFFFF, text, 1024);
        char out[4096] = {};
        const std::wstring both = std::wstring(caption) + L"|" + text;
        WideCharToMultiByte(CP_UTF8, 0, both.c_str(), -1, out, sizeof out, nullptr, nullptr);
        std::printf("%s\n", out);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (verb == "children" && argc >= 3) {
        HWND hwnd = Find(argv[2], nullptr);
        if (hwnd == nullptr) return 1;
        std::string ids;
        for (HWND c = GetWindow(hwnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!ids.empty()) ids += ' ';
            ids += std::to_string(GetDlgCtrlID(c));
        }
        std::printf("%s\n", ids.c_str());
        return 0;
    }
    if ((verb == "item" || verb == "text") && argc >= 5) {
        HWND hwnd = Find(argv[2], std::string(argv[3]) == "-" ? nullptr : argv[3]);
        if (hwnd == nullptr) return 1;
        // A direct child first: a picker's own up-down also answers to id 1 (OK).
        ItemContext ctx{static_cast<int>(Number(argv[4])), GetDlgItem(hwnd, static_cast<int>(Number(argv[4])))};
        if (ctx.found == nullptr) EnumChildWindows(hwnd, FindItem, reinterpret_cast<LPARAM>(&ctx));  // all descendants
        if (ctx.found == nullptr) return 1;
        if (verb == "text") {
            // A drop-down list answers with its selected entry.
            char text[512] = {};
            SendMessageA(ctx.found, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
            std::printf("%s\n", text);
            return 0;
        }
        RECT rc;
        GetWindowRect(ctx.found, &rc);
        std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
        return 0;
    }
    if (verb == "focus" && argc >= 4) {
        HWND hwnd = Find(argv[2], std::string(argv[3]) == "-" ? nullptr : argv[3]);
        if (hwnd == nullptr) return 1;
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) || info.hwndFocus == nullptr) return 1;
        HWND focus = info.hwndFocus;
        for (HWND parent = GetParent(focus); parent != nullptr; parent = GetParent(focus)) {
            char name[16] = {};
            GetClassNameA(parent, name, sizeof name);
            if (std::string(name) == "#32770") break;
            focus = parent;
        }
        std::printf("%d\n", GetDlgCtrlID(focus));
        return 0;
    }
    if (verb == "blink" && argc >= 4) {
        HWND hwnd = Find(argv[2], nullptr);
        if (hwnd == nullptr) return 1;
        int inked = 0;
        int blank = 0;
        const DWORD end = GetTickCount() + static_cast<DWORD>(std::atof(argv[3]) * 1000);
        while (static_cast<LONG>(end - GetTickCount()) > 0) {
            const int ink = Ink(hwnd);
            if (ink < 0) return 1;
            ++(ink > 0 ? inked : blank);
            Sleep(50);
        }
        std::printf("%d %d\n", inked, blank);
        return 0;
    }
    if (verb == "shot" && argc >= 4) {
        HWND hwnd = Find(argv[2], nullptr);
        return hwnd != nullptr && SaveShot(hwnd, argv[3]) ? 0 : 1;
    }
    if (verb == "clip" && argc >= 3) {
        std::string text;
        const long count = argc >= 4 ? std::atol(argv[3]) : 1;
        for (long i = 0; i < count; ++i) text += argv[2];
        // The clipboard needs an owner window for SetClipboardData to take the data.
        HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (owner == nullptr || !OpenClipboard(owner)) return 1;
        EmptyClipboard();
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        bool ok = false;
        if (void* p = mem != nullptr ? GlobalLock(mem) : nullptr) {
            std::memcpy(p, text.c_str(), text.size() + 1);
            GlobalUnlock(mem);
            ok = SetClipboardData(CF_TEXT, mem) != nullptr;
        }
        CloseClipboard();
        DestroyWindow(owner);
        return ok ? 0 : 1;
    }
    if (verb == "credential" && argc >= 5) {
        CREDENTIALA credential = {};
        credential.Type = CRED_TYPE_GENERIC;
        credential.TargetName = argv[2];
        credential.UserName = argv[3];
        credential.CredentialBlobSize = static_cast<DWORD>(std::strlen(argv[4]));
        credential.CredentialBlob = reinterpret_cast<LPBYTE>(argv[4]);
        credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
        return CredWriteA(&credential, 0) ? 0 : 1;
    }
    if (verb == "launch" && argc >= 7) return Launch(argc, argv);
    if (verb == "accessible" && argc >= 3) {
        HWND hwnd = Find(argv[2], nullptr);
        return hwnd != nullptr ? PrintAccessibleTree(hwnd) : 1;
    }
    if (verb == "hear" && argc >= 7) {
        HWND hwnd = Find(argv[2], nullptr);
        if (hwnd == nullptr) return 1;
        return HearFocus(hwnd, std::atof(argv[3]), static_cast<UINT>(Number(argv[4])), Number(argv[5]),
                         static_cast<LPARAM>(Number(argv[6])));
    }
    return 2;
}
