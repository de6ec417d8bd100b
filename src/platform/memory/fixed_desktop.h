#pragma once
#include <utility>
#include <vector>

#include "platform/desktop.h"

// The monitors the test says: one whose work area fills it, or a layout.
class FixedDesktop final : public Desktop {
public:
    explicit FixedDesktop(ScreenRect workArea, int dpi = DpiScale::kBaseDpi) : monitors_{{workArea, workArea, dpi}} {}
    explicit FixedDesktop(std::vector<Monitor> monitors) : monitors_(std::move(monitors)) {}
    std::vector<Monitor> Monitors() const override { return monitors_; }

private:
    std::vector<Monitor> monitors_;
};
