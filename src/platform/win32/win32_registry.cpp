#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/thread_stack.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/trace.h"

namespace {

HKEY ToHkey(Registry::Handle h) { return reinterpret_cast<HKEY>(h); }
Registry::Handle FromHkey(HKEY k) { return reinterpret_cast<Registry::Handle>(k); }

REGSAM ToSam(RegAccess access) {
    switch (access) {
        case RegAccess::Read: return KEY_READ;
        case RegAccess::Write: return KEY_WRITE;
        case RegAccess::All: break;
    }
    return KEY_ALL_ACCESS;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

Registry::Handle Win32Registry::CurrentUser() const { return FromHkey(HKEY_CURRENT_USER); }

bool Win32Registry::CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) {
    const std::wstring p = Wide(path);
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (!ORV_CHECK_STATUS(RegCreateKeyExW(ToHkey(parent), p.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          ToSam(access), nullptr, &key, &disposition)))
        return false;
    out = FromHkey(key);
    return true;
}

bool Win32Registry::OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) {
    const std::wstring p = Wide(path);
    HKEY key = nullptr;
    if (RegOpenKeyExW(ToHkey(parent), p.c_str(), 0, ToSam(access), &key) != ERROR_SUCCESS) return false;
    out = FromHkey(key);
    return true;
}

void Win32Registry::CloseKey(Handle key) { RegCloseKey(ToHkey(key)); }

// Windows keeps text values as UTF-16 whatever wrote them; the program sees
// them as UTF-8, as the ANSI calls gave them in the code page before.
bool Win32Registry::QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) {
    const std::wstring n = Wide(name);
    DWORD type = REG_NONE;
    DWORD stored = 0;
    if (RegQueryValueExW(ToHkey(key), n.c_str(), nullptr, &type, nullptr, &stored) != ERROR_SUCCESS) return false;
    if (!IsText(type)) {
        DWORD s = size;
        if (RegQueryValueExW(ToHkey(key), n.c_str(), nullptr, nullptr, static_cast<BYTE*>(buffer), &s) != ERROR_SUCCESS)
            return false;
        size = s;
        return true;
    }
    // Every UTF-16 unit takes at least one byte of UTF-8: more units than
    // the buffer has bytes cannot fit, and are not read at all.
    if (buffer != nullptr && stored / 2 > size) return false;
    std::wstring units(stored / 2 + 1, L'\0');
    DWORD s = static_cast<DWORD>(units.size() * sizeof(wchar_t));
    if (RegQueryValueExW(ToHkey(key), n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(units.data()), &s) !=
        ERROR_SUCCESS)
        return false;
    units.resize(s / 2);  // an odd last byte is no character
    const std::string text = Utf8(units);
    if (text.size() > UINT32_MAX) return false;
    if (buffer != nullptr) {
        if (text.size() > size) return false;
        std::copy(text.begin(), text.end(), static_cast<char*>(buffer));
    }
    size = static_cast<std::uint32_t>(text.size());
    return true;
}

bool Win32Registry::SetValue(Handle key, std::string_view name, RegType type, const void* data, std::uint32_t size) {
    const std::wstring n = Wide(name);
    if (!IsText(static_cast<DWORD>(type)))
        return ORV_CHECK_STATUS(
            RegSetValueExW(ToHkey(key), n.c_str(), 0, static_cast<DWORD>(type), static_cast<const BYTE*>(data), size));
    const std::wstring text = Wide(std::string_view(static_cast<const char*>(data), size));
    return ORV_CHECK_STATUS(RegSetValueExW(ToHkey(key), n.c_str(), 0, static_cast<DWORD>(type),
                                           reinterpret_cast<const BYTE*>(text.data()),
                                           static_cast<DWORD>(text.size() * sizeof(wchar_t))));
}

bool Win32Registry::DeleteValue(Handle key, std::string_view name) {
    const std::wstring n = Wide(name);
    return RegDeleteValueW(ToHkey(key), n.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteKey(Handle parent, std::string_view subkey) {
    const std::wstring s = Wide(subkey);
    // An empty name would delete the parent itself.
    return !s.empty() && RegDeleteKeyW(ToHkey(parent), s.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::EnumKey(Handle key, std::uint32_t index, std::size_t maxNameLength, std::string& name) {
    std::vector<wchar_t> buffer(maxNameLength + 1);
    DWORD length = static_cast<DWORD>(buffer.size());
    if (RegEnumKeyExW(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    name = Utf8(std::wstring_view(buffer.data(), length));
    return true;
}

void Win32Registry::StartReadThread() const { ReleaseUnusedStack(); }
