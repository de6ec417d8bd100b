#pragma once
#include "platform/desktop.h"

// A screen whose work area is what the test says.
class FixedDesktop final : public Desktop {
public:
    explicit FixedDesktop(ScreenRect workArea) : workArea_(workArea) {}
    ScreenRect WorkArea() const override { return workArea_; }

private:
    ScreenRect workArea_;
};
