#pragma once
#include <cstdint>

struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The screen as the program sees it.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The part of the screen not covered by the taskbar.
    virtual ScreenRect WorkArea() const = 0;
};
