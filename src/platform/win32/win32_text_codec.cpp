#include "platform/win32/win32_text_codec.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace {

std::string Narrow(UINT codePage, const wchar_t* text, int size, BOOL* usedDefault) {
    if (size <= 0) return {};
    // UTF-8 takes no replacement character nor flags; the ANSI page takes
    // "?" for what it lacks, not a look-alike ("c" for "\u010D") the user
    // would not know was changed.
    const char* fallback = usedDefault != nullptr ? "?" : nullptr;
    const DWORD flags = usedDefault != nullptr ? WC_NO_BEST_FIT_CHARS : 0;
    const int n = WideCharToMultiByte(codePage, flags, text, size, nullptr, 0, fallback, usedDefault);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, flags, text, size, out.data(), n, fallback, usedDefault);
    return out;
}

}  // namespace

std::string Win32TextCodec::ToUtf8(std::string_view ansi) const {
    const std::wstring wide = WidenText(ansi, CP_ACP);
    return Narrow(CP_UTF8, wide.data(), static_cast<int>(wide.size()), nullptr);
}

std::string Win32TextCodec::FromUtf8(std::string_view utf8, std::size_t& replaced) const {
    const std::wstring wide = WidenText(utf8, CP_UTF8);
    BOOL usedDefault = FALSE;
    std::string out = Narrow(CP_ACP, wide.data(), static_cast<int>(wide.size()), &usedDefault);
    if (!usedDefault) return out;
    // Count the lost characters one at a time, a surrogate pair being one.
    out.clear();
    for (std::size_t i = 0; i < wide.size();) {
        const int units = (wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size()) ? 2 : 1;
        BOOL lost = FALSE;
        const std::string piece = Narrow(CP_ACP, wide.data() + i, units, &lost);
        // One "?" for a lost character, even one of two UTF-16 units.
        out += lost ? std::string("?") : piece;
        if (lost) ++replaced;
        i += static_cast<std::size_t>(units);
    }
    return out;
}
