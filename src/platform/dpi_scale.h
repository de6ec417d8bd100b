#pragma once
// The windows' pixel measures are written for 96 DPI (100 %); a window draws
// them at its own monitor's DPI.
struct DpiScale {
    static constexpr int kBaseDpi = 96;
    int dpi = kBaseDpi;

    // A measure given at 96 DPI, to the nearest pixel (halves away from zero,
    // as MulDiv rounds).
    constexpr int operator()(int pixels) const {
        const long long scaled = static_cast<long long>(pixels) * dpi;
        return static_cast<int>(scaled >= 0 ? (scaled + kBaseDpi / 2) / kBaseDpi : (scaled - kBaseDpi / 2) / kBaseDpi);
    }
};
