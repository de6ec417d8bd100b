#include "ui/wnd.h"

#include <utility>

#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

namespace {

// Records the object on its window: works for our own classes and for
// subclassed standard controls, which may use their window words themselves.
constexpr wchar_t kObjectProp[] = L"OrvWndObject";

// Creation hands the object over through the create parameters. A subclassed
// standard control's creation does not, and it is attached afterwards.
struct CreateContext {
    CWnd* wnd;
};

}  // namespace

CWnd::~CWnd() {
    // An object that dies before its window leaves the window to the default
    // procedure instead of a dangling pointer.
    if (hwnd_ != nullptr) {
        if (superProc_ != nullptr) {
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
        }
        Detach();
    }
}

const MessageMap* CWnd::GetThisMessageMap() {
    using ThisClass = CWnd;
    static const MessageEntry entries[] = {
        ON_MESSAGE(WM_DRAWITEM, &CWnd::OnDrawItem)
        {MessageEntry::Kind::End, 0, 0, 0, kAnyCode, nullptr},
    };
    static const MessageMap map = {nullptr, entries};
    return &map;
}

bool CWnd::RegisterWindowClass(WNDCLASSW wc) {
    wc.lpfnWndProc = &CWnd::StaticWndProc;
    if (wc.hInstance == nullptr) wc.hInstance = GetModuleHandleW(nullptr);
    WNDCLASSW existing;
    if (GetClassInfoW(wc.hInstance, wc.lpszClassName, &existing)) return true;
    return RegisterClassW(&wc) != 0;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const char* title, DWORD style, const RECT& rect,
                    HWND parent, UINT_PTR idOrMenu) {
    CreateContext context{this};
    HWND hwnd = CreateWindowExW(exStyle, className, Wide(title).c_str(), style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(idOrMenu),
                                GetModuleHandleW(nullptr), &context);
    return hwnd != nullptr && hwnd_ == hwnd;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || hwnd_ != nullptr || FromHandle(hwnd) != nullptr) return false;
    Attach(hwnd);
    superProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
    return superProc_ != nullptr;
}

bool CWnd::CreateOrDelete(CWnd* wnd, const WindowCreation& creation) {
    // A window that fails during creation has already deleted its object.
    bool destroyed = false;
    wnd->destroyedWhileCreating_ = &destroyed;
    const bool created = ORV_CHECK(wnd->CreateEx(creation.exStyle, creation.wndClass.lpszClassName, creation.title,
                                                 creation.style, creation.rect, creation.parent, 0));
    if (destroyed) return false;
    wnd->destroyedWhileCreating_ = nullptr;
    if (!created) {
        delete wnd;
        return false;
    }
    return true;
}

BOOL CWnd::DestroyWindow() { return hwnd_ != nullptr ? ::DestroyWindow(hwnd_) : FALSE; }

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd != nullptr ? static_cast<CWnd*>(GetPropW(hwnd, kObjectProp)) : nullptr;
}

void CWnd::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropW(hwnd, kObjectProp, this);
}

void CWnd::Detach() {
    RemovePropW(hwnd_, kObjectProp);
    hwnd_ = nullptr;
    superProc_ = nullptr;
}

bool CWnd::PreTranslateMessage(MSG&) { return false; }

LRESULT CWnd::Default() { return DefWindowProcedure(current_.message, current_.wParam, current_.lParam); }

LRESULT CWnd::DefWindowProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    if (superProc_ != nullptr) return CallWindowProcW(superProc_, hwnd_, message, wParam, lParam);
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void CWnd::DrawItem(const DRAWITEMSTRUCT&) {}

LRESULT CWnd::OnDrawItem(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_MENU) {
        if (CWnd* control = FromHandle(item->hwndItem)) {
            control->DrawItem(*item);
            return TRUE;
        }
    }
    return Default();
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Commands from menus and controls carry their id in the low word and
    // the notification code in the high word.
    const bool isCommand = message == WM_COMMAND;
    const UINT id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageEntry* e = map->entries; e->kind != MessageEntry::Kind::End; ++e) {
            bool match = false;
            switch (e->kind) {
                case MessageEntry::Kind::Message:
                    match = e->message == message;
                    break;
                case MessageEntry::Kind::Command:
                case MessageEntry::Kind::CommandRange:
                    match = isCommand && id >= e->firstId && id <= e->lastId &&
                            (e->code == kAnyCode || e->code == code);
                    break;
                case MessageEntry::Kind::End:
                    break;
            }
            if (match) {
                result = e->handler(*this, wParam, lParam);
                return true;
            }
        }
    }
    return false;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Dispatch(message, wParam, lParam, result)) return result;
    return DefWindowProcedure(message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandle(hwnd);
    if (wnd == nullptr && message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (const auto* context = static_cast<const CreateContext*>(cs->lpCreateParams)) {
            wnd = context->wnd;
            wnd->Attach(hwnd);
        }
    }
    if (wnd == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);

    return wnd->Invoke(hwnd, message, wParam, lParam);
}

LRESULT CWnd::Invoke(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG saved = current_;
    current_ = MSG{hwnd, message, wParam, lParam, 0, {}};
    ++depth_;
    LRESULT result = 0;
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's code; the message counts as handled.
        TraceCurrentException("window procedure");
        result = 0;
    }
    --depth_;
    current_ = saved;

    if (message == WM_NCDESTROY) {
        if (superProc_ != nullptr) {
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
        }
        Detach();
        ncDestroyed_ = true;
    }
    // A window may be destroyed from inside one of its own handlers; the
    // object outlives every handler still running on it.
    if (ncDestroyed_ && depth_ == 0) {
        ncDestroyed_ = false;
        if (destroyedWhileCreating_ != nullptr) *std::exchange(destroyedWhileCreating_, nullptr) = true;
        PostNcDestroy();  // may delete this
    }
    return result;
}
