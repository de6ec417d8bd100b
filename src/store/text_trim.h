#pragma once
#include <string>
#include <string_view>

// White space as the C library's isspace knows it in the "C" locale.
constexpr bool IsTrimSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Trims the right end, then the left.
inline std::string TrimSpace(std::string_view text) {
    while (!text.empty() && IsTrimSpace(text.back())) text.remove_suffix(1);
    while (!text.empty() && IsTrimSpace(text.front())) text.remove_prefix(1);
    return std::string(text);
}
