#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

// Wraps a registry and fails chosen calls, to prove the failure rules.
enum class RegOp { Open, Read, Write, Delete, Enum };

class FaultyRegistry final : public Registry {
public:
    explicit FaultyRegistry(Registry& inner) : inner_(inner) {}

    // Fails the n-th call of that kind counted from now (1 = the next one).
    void FailNth(RegOp op, std::uint32_t n);
    // Fails every call of that kind on the key path segment or value name
    // (compared without regard to case): "front", "sc", "7".
    void FailName(RegOp op, std::string_view name);
    // Fails the n-th call of any kind counted from now (1 = the next one).
    void FailNthCall(std::uint32_t n) { failCall_ = n == 0 ? 0 : total_ + n; }
    // Fails that call and every later one: a registry that stops working.
    void FailFromCall(std::uint32_t n) { failFrom_ = n == 0 ? 0 : total_ + n; }
    // Forgets every planned failure.
    void Heal();
    // Calls of that kind seen so far.
    std::uint32_t Calls(RegOp op) const { return counts_[Index(op)]; }
    // Calls of every kind seen so far (closing a key cannot fail and is not counted).
    std::uint32_t TotalCalls() const { return total_; }
    // Names of the values written (or tried), in order.
    const std::vector<std::string>& Writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }

    Handle CurrentUser() const override { return inner_.CurrentUser(); }
    bool CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) override;
    bool OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) override;
    void CloseKey(Handle key) override { inner_.CloseKey(key); }
    bool QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) override;
    bool SetValue(Handle key, std::string_view name, RegType type, const void* data, std::uint32_t size) override;
    bool DeleteValue(Handle key, std::string_view name) override;
    bool DeleteKey(Handle parent, std::string_view subkey) override;
    bool EnumKey(Handle key, std::uint32_t index, std::size_t maxNameLength, std::string& name) override;

private:
    static std::size_t Index(RegOp op) { return static_cast<std::size_t>(op); }
    // Counts the call; true when it is to fail.
    bool Trip(RegOp op, std::string_view name);

    struct NamedFault {
        RegOp op;
        std::string name;
    };

    Registry& inner_;
    std::array<std::uint32_t, 5> counts_{};
    std::array<std::uint32_t, 5> failAt_{};  // 0 = none
    std::uint32_t total_ = 0;
    std::uint32_t failCall_ = 0;  // 0 = none
    std::uint32_t failFrom_ = 0;  // 0 = none
    std::vector<NamedFault> named_;
    std::vector<std::string> writes_;
};
