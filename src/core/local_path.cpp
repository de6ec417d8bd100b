#include "core/local_path.h"

#include <array>
#include <cstddef>
#include <string>

namespace {

constexpr std::size_t kMaxPath = 259;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

// CON, NUL, COM1, LPT2... name a device in any folder and with any extension.
bool IsDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view name : kNames)
        if (SameText(base, name)) return true;
    return base.size() == 4 && (SameText(base.substr(0, 3), "COM") || SameText(base.substr(0, 3), "LPT")) &&
           base[3] >= '0' && base[3] <= '9';
}

// "..", and ".. ." too: Windows drops a name's trailing dots and blanks.
bool IsParentName(std::string_view component) {
    return component.find("..") != std::string_view::npos &&
           component.find_first_not_of(". ") == std::string_view::npos;
}

}  // namespace

bool IsLocalFilePath(std::string_view path) {
    if (path.size() < 4 || path.size() > kMaxPath) return false;
    const char drive = Upper(path[0]);
    if (drive < 'A' || drive > 'Z' || path[1] != ':' || !IsSeparator(path[2])) return false;
    std::size_t begin = 3;
    while (begin <= path.size()) {
        std::size_t end = begin;
        while (end < path.size() && !IsSeparator(path[end])) {
            const auto c = static_cast<unsigned char>(path[end]);
            if (c < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
                return false;
            ++end;
        }
        const std::string_view component = path.substr(begin, end - begin);
        if (IsParentName(component) || IsDeviceName(component)) return false;
        // A file, not a folder: the last component names it.
        if (end == path.size() && component.empty()) return false;
        begin = end + 1;
    }
    return true;
}

bool IsLocalWavePath(std::string_view path) {
    return IsLocalFilePath(path) && path.size() > 4 && SameText(path.substr(path.size() - 4), ".wav");
}
