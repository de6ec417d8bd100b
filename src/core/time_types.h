#pragma once
#include <cstdint>

// Instants are seconds since 1970-01-01 UTC; 64-bit in memory so arithmetic
// near the 32-bit limit of the stored fields cannot overflow.
using Instant = std::int64_t;

// A date named by (year << 16) | (month << 8) | day; later dates compare larger.
using DateKey = std::uint32_t;

// Colour with red in the low byte, then green, then blue (COLORREF layout).
using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<Rgb>(r) | (static_cast<Rgb>(g) << 8) | (static_cast<Rgb>(b) << 16);
}

constexpr Instant kSecondsPerDay = 86400;
