#pragma once
#include <unknwn.h>

// An owned COM interface pointer of this layer (the window layer has its own
// above it), released once; neither copied nor moved.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For a call that fills the pointer in.
    void** OutVoid() {
        Reset();
        return reinterpret_cast<void**>(&p_);
    }
    T** Out() {
        Reset();
        return &p_;
    }
    void Reset() {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};
