#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/thread_stack.h"
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

}  // namespace

Registry::Handle Win32Registry::CurrentUser() const { return FromHkey(HKEY_CURRENT_USER); }

bool Win32Registry::CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) {
    const std::string p(path);
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (!ORV_CHECK_STATUS(RegCreateKeyExA(ToHkey(parent), p.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          ToSam(access), nullptr, &key, &disposition)))
        return false;
    out = FromHkey(key);
    return true;
}

bool Win32Registry::OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) {
    const std::string p(path);
    HKEY key = nullptr;
    if (RegOpenKeyExA(ToHkey(parent), p.c_str(), 0, ToSam(access), &key) != ERROR_SUCCESS) return false;
    out = FromHkey(key);
    return true;
}

void Win32Registry::CloseKey(Handle key) { RegCloseKey(ToHkey(key)); }

bool Win32Registry::QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) {
    const std::string n(name);
    DWORD s = size;
    const LONG rc = RegQueryValueExA(ToHkey(key), n.c_str(), nullptr, nullptr, static_cast<BYTE*>(buffer), &s);
    if (rc != ERROR_SUCCESS) return false;
    size = s;
    return true;
}

bool Win32Registry::SetValue(Handle key, std::string_view name, RegType type, const void* data, std::uint32_t size) {
    const std::string n(name);
    return ORV_CHECK_STATUS(
        RegSetValueExA(ToHkey(key), n.c_str(), 0, static_cast<DWORD>(type), static_cast<const BYTE*>(data), size));
}

bool Win32Registry::DeleteValue(Handle key, std::string_view name) {
    const std::string n(name);
    return RegDeleteValueA(ToHkey(key), n.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteKey(Handle parent, std::string_view subkey) {
    const std::string s(subkey);
    // An empty name would delete the parent itself.
    return !s.empty() && RegDeleteKeyA(ToHkey(parent), s.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::EnumKey(Handle key, std::uint32_t index, std::size_t maxNameLength, std::string& name) {
    std::vector<char> buffer(maxNameLength + 1);
    DWORD length = static_cast<DWORD>(buffer.size());
    if (RegEnumKeyExA(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    name.assign(buffer.data(), length);
    return true;
}

void Win32Registry::StartReadThread() const { ReleaseUnusedStack(); }
