#pragma once
#include <windows.h>
#include <oleacc.h>

#include "ui/accessible_iid.h"

// A window's accessible object: made at a reader's first request, so a
// window nobody reads pays nothing, and cut off from the window when the
// window goes (T::Disconnect), since a reader may hold it longer.
template <class T>
class AccessibleHolder {
public:
    AccessibleHolder() = default;
    ~AccessibleHolder() { Reset(); }
    AccessibleHolder(const AccessibleHolder&) = delete;
    AccessibleHolder& operator=(const AccessibleHolder&) = delete;

    // The LRESULT that answers WM_GETOBJECT's OBJID_CLIENT request.
    template <class Make>
    LRESULT Answer(WPARAM wParam, Make make) {
        if (object_ == nullptr) object_ = make();
        return LresultFromObject(kAccessibleIid, wParam, object_);
    }
    void Reset() {
        if (object_ == nullptr) return;
        object_->Disconnect();
        object_->Release();
        object_ = nullptr;
    }

private:
    T* object_ = nullptr;
};
