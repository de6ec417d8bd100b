#pragma once
#include "platform/registry.h"

// The registry through the wide Win32 calls, text values as UTF-8; a handle
// is the HKEY's bits.
class Win32Registry final : public Registry {
public:
    Handle CurrentUser() const override;
    bool CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) override;
    bool OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) override;
    void CloseKey(Handle key) override;
    bool QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) override;
    bool SetValue(Handle key, std::string_view name, RegType type, const void* data, std::uint32_t size) override;
    bool DeleteValue(Handle key, std::string_view name) override;
    bool DeleteKey(Handle parent, std::string_view subkey) override;
    bool EnumKey(Handle key, std::uint32_t index, std::size_t maxNameLength, std::string& name) override;
    // One helper: under Wine each thread costs a megabyte of stack at its
    // start, which it gives back (ReleaseUnusedStack).
    unsigned ReadThreads() const override { return 2; }
    void StartReadThread() const override;
};
