#include "probe_accessible.h"

#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/accessible_iid.h"

namespace {

class ComSession {
public:
    ComSession() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComSession() {
        if (ok_) CoUninitialize();
    }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;

private:
    bool ok_;
};

class Accessible {
public:
    Accessible() = default;
    ~Accessible() {
        if (p_ != nullptr) p_->Release();
    }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;
    IAccessible** Out() { return &p_; }
    IAccessible* operator->() const { return p_; }
    IAccessible* Get() const { return p_; }

private:
    IAccessible* p_ = nullptr;
};

// Line breaks and the field mark would break the printed record.
std::string Utf8(BSTR text) {
    std::string out;
    if (text == nullptr) return out;
    const int n = static_cast<int>(SysStringLen(text));
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, n, nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size));
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, n, out.data(), size, nullptr, nullptr);
    for (char& c : out) {
        if (c == '\n' || c == '\r' || c == '|') c = ' ';
    }
    SysFreeString(text);
    return out;
}

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

long Number(IAccessible* acc, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) {
    VARIANT v;
    VariantInit(&v);
    return SUCCEEDED((acc->*get)(Child(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}

// id|role|state|left top width height|name|description
void PrintElement(IAccessible* acc, long id) {
    BSTR name = nullptr;
    BSTR description = nullptr;
    acc->get_accName(Child(id), &name);
    acc->get_accDescription(Child(id), &description);
    long x = 0, y = 0, w = 0, h = 0;
    acc->accLocation(&x, &y, &w, &h, Child(id));
    std::printf("%ld|%ld|0x%lx|%ld %ld %ld %ld|%s|%s\n", id, Number(acc, &IAccessible::get_accRole, id),
                static_cast<unsigned long>(Number(acc, &IAccessible::get_accState, id)), x, y, w, h,
                Utf8(name).c_str(), Utf8(description).c_str());
}

HWND heardWindow = nullptr;
long heardChild = -1;

void CALLBACK OnFocus(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (hwnd == heardWindow && object == OBJID_CLIENT && heardChild < 0) heardChild = child;
}

}  // namespace

int PrintAccessibleTree(HWND hwnd) {
    ComSession com;
    Accessible acc;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                                          reinterpret_cast<void**>(acc.Out())))) {
        return 1;
    }
    long count = 0;
    if (FAILED(acc->get_accChildCount(&count)) || count < 0) return 1;
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    LONG got = 0;
    if (FAILED(AccessibleChildren(acc.Get(), 0, count, children.data(), &got))) return 1;
    PrintElement(acc.Get(), CHILDID_SELF);
    for (LONG i = 0; i < got; ++i) {
        if (children[static_cast<std::size_t>(i)].vt == VT_I4) {
            PrintElement(acc.Get(), children[static_cast<std::size_t>(i)].lVal);
        } else {
            VariantClear(&children[static_cast<std::size_t>(i)]);
        }
    }
    return 0;
}

// Prints "child|name" of the first focus event the window raises after the
// message, its name asked through the event's own object as a reader does.
int HearFocus(HWND hwnd, double seconds, UINT msg, WPARAM wParam, LPARAM lParam) {
    ComSession com;
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    heardWindow = hwnd;
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &OnFocus, process, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return 1;
    PostMessageA(hwnd, msg, wParam, lParam);
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    while (heardChild < 0 && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    UnhookWinEvent(hook);
    if (heardChild < 0) return 1;
    Accessible acc;
    VARIANT child;
    VariantInit(&child);
    BSTR name = nullptr;
    if (SUCCEEDED(AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(heardChild),
                                            acc.Out(), &child))) {
        acc->get_accName(child, &name);
    }
    std::printf("%ld|%s\n", heardChild, Utf8(name).c_str());
    return 0;
}
