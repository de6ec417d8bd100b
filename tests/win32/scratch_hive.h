#pragma once
// Redirects HKEY_CURRENT_USER to a fresh key for the life of the object, so
// tests never touch the real settings, and deletes that key afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_registry.h"

class ScratchHive {
public:
    static constexpr const char* kParent = "Software\\OrvCalendarTests";

    ScratchHive() {
        char name[64];
        wsprintfA(name, "%s\\%08lx%08lx", kParent, GetCurrentProcessId(), GetTickCount() ^ ++serial_);
        path_ = name;
        DWORD disposition = 0;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                                  &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
        EXPECT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, key_), ERROR_SUCCESS);
    }
    ~ScratchHive() {
        Restore();
        RegCloseKey(key_);
        // RegDeleteKeyA leaves keys with subkeys alone; the tree call does not.
        EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()), ERROR_SUCCESS);
        RegDeleteKeyA(HKEY_CURRENT_USER, kParent);  // only when no other run uses it
    }
    ScratchHive(const ScratchHive&) = delete;
    ScratchHive& operator=(const ScratchHive&) = delete;

    Registry& registry() { return registry_; }
    // The scratch key as the rest of the system sees it, below the real hive.
    const std::string& Path() const { return path_; }
    // Ends the redirection early, to look at the result from outside.
    void Restore() { RegOverridePredefKey(HKEY_CURRENT_USER, nullptr); }

private:
    static inline DWORD serial_ = 0;
    Win32Registry registry_;
    HKEY key_ = nullptr;
    std::string path_;
};
