#include "platform/registry.h"

#include <algorithm>
#include <vector>

#include "core/little_endian.h"
#include "platform/text_codec.h"

bool SameRegistryName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

RegKey RegKey::Create(Registry& registry, std::string_view path, RegAccess access) {
    Registry::Handle h = 0;
    if (!registry.CreateKey(registry.CurrentUser(), path, access, h)) return {};
    return RegKey(registry, h);
}

RegKey RegKey::Create(const RegKey& parent, std::string_view path, RegAccess access) {
    Registry::Handle h = 0;
    if (!parent || !parent.registry_->CreateKey(parent.handle_, path, access, h)) return {};
    return RegKey(*parent.registry_, h);
}

RegKey RegKey::Open(Registry& registry, std::string_view path, RegAccess access) {
    Registry::Handle h = 0;
    if (!registry.OpenKey(registry.CurrentUser(), path, access, h)) return {};
    return RegKey(registry, h);
}

RegKey RegKey::Open(const RegKey& parent, std::string_view path, RegAccess access) {
    Registry::Handle h = 0;
    if (!parent || !parent.registry_->OpenKey(parent.handle_, path, access, h)) return {};
    return RegKey(*parent.registry_, h);
}

bool RegKey::ReadDword(std::string_view name, std::uint32_t& out) const {
    std::uint8_t b[4] = {};
    std::uint32_t size = sizeof b;
    if (!IsOpen() || !registry_->QueryValue(handle_, name, b, size)) return false;
    // A shorter value would set only part of the number; it counts as missing.
    if (size != sizeof b) return false;
    out = GetLe32(b);
    return true;
}

bool RegKey::ReadString(std::string_view name, std::size_t bufferSize, std::string& out) const {
    if (bufferSize == 0 || bufferSize > UINT32_MAX / 3) return false;
    std::string bytes;
    // A UTF-16 unit takes at most three bytes of UTF-8.
    if (!ReadBinary(name, bufferSize * 3, bytes) || Utf16Length(bytes) > bufferSize) return false;
    // Stored data need not carry its terminating zero; the text never runs
    // past the buffer and leaves room for the terminator.
    bytes.resize(std::min(bytes.find('\0'), bytes.size()));
    out = std::string(CutUtf8(bytes, bufferSize - 1));
    return true;
}

bool RegKey::ReadBinary(std::string_view name, std::size_t bufferSize, std::string& out) const {
    if (!IsOpen() || bufferSize > UINT32_MAX) return false;
    std::vector<std::uint8_t> buffer(bufferSize);
    std::uint32_t size = static_cast<std::uint32_t>(bufferSize);
    if (!registry_->QueryValue(handle_, name, buffer.data(), size)) return false;
    if (size > bufferSize) return false;
    out.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return true;
}

bool RegKey::ValueSize(std::string_view name, std::uint32_t& size) const {
    std::uint32_t s = 0;
    if (!IsOpen() || !registry_->QueryValue(handle_, name, nullptr, s)) return false;
    size = s;
    return true;
}

bool RegKey::WriteDword(std::string_view name, std::uint32_t value) const {
    std::uint8_t b[4];
    PutLe32(b, value);
    return IsOpen() && registry_->SetValue(handle_, name, RegType::Dword, b, sizeof b);
}

bool RegKey::WriteString(std::string_view name, std::string_view text) const {
    if (!IsOpen() || text.size() >= UINT32_MAX) return false;
    const std::string data(text);  // c_str() supplies the terminating zero
    return registry_->SetValue(handle_, name, RegType::Sz, data.c_str(), static_cast<std::uint32_t>(data.size() + 1));
}

bool RegKey::WriteBinary(std::string_view name, const void* data, std::size_t size) const {
    if (!IsOpen() || size > UINT32_MAX) return false;
    return registry_->SetValue(handle_, name, RegType::Binary, data, static_cast<std::uint32_t>(size));
}

bool RegKey::DeleteValue(std::string_view name) const { return IsOpen() && registry_->DeleteValue(handle_, name); }

bool RegKey::DeleteSubkey(std::string_view name) const { return IsOpen() && registry_->DeleteKey(handle_, name); }

bool RegKey::EnumSubkey(std::uint32_t index, std::size_t maxNameLength, std::string& name) const {
    return IsOpen() && registry_->EnumKey(handle_, index, maxNameLength, name);
}
