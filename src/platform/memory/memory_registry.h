#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

// The current user's hive in memory, for native tests. Behaves as the Win32
// registry does where the program can tell: names ignore case, access rights
// are enforced, a string stored without its terminator reads back with one,
// a key with subkeys cannot be deleted, a deleted key's handles fail.
// Subkeys enumerate in creation order.
class MemoryRegistry final : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    Handle CurrentUser() const override;
    bool CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) override;
    bool OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) override;
    void CloseKey(Handle key) override;
    bool QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) override;
    bool SetValue(Handle key, std::string_view name, RegType type, const void* data, std::uint32_t size) override;
    bool DeleteValue(Handle key, std::string_view name) override;
    bool DeleteKey(Handle parent, std::string_view subkey) override;
    bool EnumKey(Handle key, std::uint32_t index, std::size_t maxNameLength, std::string& name) override;

    // Keys opened and not yet closed.
    std::size_t OpenHandleCount() const { return handles_.size(); }
    // A value as stored, looked up without opening anything.
    bool Peek(std::string_view path, std::string_view name, RegType& type, std::string& bytes) const;

private:
    struct Value {
        std::string name;
        RegType type;
        std::string bytes;
    };
    struct Node {
        std::string name;
        std::vector<Value> values;
        std::vector<std::shared_ptr<Node>> subkeys;
        bool deleted = false;
    };
    struct OpenKeyEntry {
        std::shared_ptr<Node> node;
        RegAccess access;
    };

    Node* Live(Handle key, bool forRead, bool forWrite) const;
    static std::shared_ptr<Node> Descend(std::shared_ptr<Node> node, std::string_view path, bool create);
    std::shared_ptr<Node> Walk(Handle parent, std::string_view path, bool create);
    static std::vector<Value>::iterator FindValue(Node& node, std::string_view name);
    Handle NewHandle(std::shared_ptr<Node> node, RegAccess access);

    std::shared_ptr<Node> root_;
    std::map<Handle, OpenKeyEntry> handles_;
    Handle nextHandle_ = 0x100;
};
