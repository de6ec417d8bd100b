#pragma once
#include <unknwn.h>

// An owned COM interface pointer, released once; neither copied nor moved:
// each is filled in place and lives in one scope.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

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
