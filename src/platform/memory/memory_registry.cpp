#include "platform/memory/memory_registry.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr Registry::Handle kCurrentUser = 0x10;

bool CanRead(RegAccess a) { return a != RegAccess::Write; }
bool CanWrite(RegAccess a) { return a != RegAccess::Read; }

}  // namespace

MemoryRegistry::MemoryRegistry() : root_(std::make_shared<Node>()) {}

MemoryRegistry::~MemoryRegistry() = default;

Registry::Handle MemoryRegistry::CurrentUser() const { return kCurrentUser; }

MemoryRegistry::Node* MemoryRegistry::Live(Handle key, bool forRead, bool forWrite) const {
    if (key == kCurrentUser) return root_.get();
    auto it = handles_.find(key);
    if (it == handles_.end() || it->second.node->deleted) return nullptr;
    if ((forRead && !CanRead(it->second.access)) || (forWrite && !CanWrite(it->second.access))) return nullptr;
    return it->second.node.get();
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Descend(std::shared_ptr<Node> node, std::string_view path,
                                                              bool create) {
    while (node && !path.empty()) {
        const std::size_t cut = path.find('\\');
        const std::string_view part = path.substr(0, cut);
        path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
        if (part.empty()) return nullptr;
        auto child = std::find_if(node->subkeys.begin(), node->subkeys.end(),
                                  [&](const std::shared_ptr<Node>& n) { return SameRegistryName(n->name, part); });
        if (child != node->subkeys.end()) {
            node = *child;
        } else if (create) {
            auto made = std::make_shared<Node>();
            made->name = std::string(part);
            node->subkeys.push_back(made);
            node = made;
        } else {
            return nullptr;
        }
    }
    return node;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Walk(Handle parent, std::string_view path, bool create) {
    if (parent == kCurrentUser) return Descend(root_, path, create);
    auto it = handles_.find(parent);
    if (it == handles_.end() || it->second.node->deleted) return nullptr;
    return Descend(it->second.node, path, create);
}

std::vector<MemoryRegistry::Value>::iterator MemoryRegistry::FindValue(Node& node, std::string_view name) {
    return std::find_if(node.values.begin(), node.values.end(),
                        [&](const Value& v) { return SameRegistryName(v.name, name); });
}

Registry::Handle MemoryRegistry::NewHandle(std::shared_ptr<Node> node, RegAccess access) {
    const Handle h = nextHandle_++;
    handles_.emplace(h, OpenKeyEntry{std::move(node), access});
    return h;
}

bool MemoryRegistry::CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) {
    auto node = Walk(parent, path, true);
    if (!node) return false;
    out = NewHandle(std::move(node), access);
    return true;
}

bool MemoryRegistry::OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) {
    auto node = Walk(parent, path, false);
    if (!node) return false;
    out = NewHandle(std::move(node), access);
    return true;
}

void MemoryRegistry::CloseKey(Handle key) { handles_.erase(key); }

bool MemoryRegistry::QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) {
    Node* node = Live(key, true, false);
    if (!node) return false;
    auto v = FindValue(*node, name);
    if (v == node->values.end()) return false;
    std::string data = v->bytes;
    // The ANSI query hands back a string with its terminator even when it was
    // stored without one.
    if (v->type == RegType::Sz && !data.empty() && data.back() != '\0') data.push_back('\0');
    const std::uint32_t stored = static_cast<std::uint32_t>(data.size());
    if (buffer == nullptr) {
        size = stored;
        return true;
    }
    if (stored > size) {
        // Callers must not trust the buffer after a failed read.
        std::memset(buffer, 0xCD, size);
        size = stored;
        return false;
    }
    if (stored != 0) std::memcpy(buffer, data.data(), stored);
    size = stored;
    return true;
}

bool MemoryRegistry::SetValue(Handle key, std::string_view name, RegType type, const void* data, std::uint32_t size) {
    Node* node = Live(key, false, true);
    if (!node || (data == nullptr && size != 0)) return false;
    std::string bytes(static_cast<const char*>(data), size);
    auto v = FindValue(*node, name);
    if (v != node->values.end()) {
        v->type = type;
        v->bytes = std::move(bytes);
    } else {
        node->values.push_back(Value{std::string(name), type, std::move(bytes)});
    }
    return true;
}

bool MemoryRegistry::DeleteValue(Handle key, std::string_view name) {
    Node* node = Live(key, false, true);
    if (!node) return false;
    auto v = FindValue(*node, name);
    if (v == node->values.end()) return false;
    node->values.erase(v);
    return true;
}

bool MemoryRegistry::DeleteKey(Handle parent, std::string_view subkey) {
    // As with the Win32 call, the parent handle's access rights do not matter.
    if (subkey.empty()) return false;
    const std::size_t cut = subkey.rfind('\\');
    std::shared_ptr<Node> owner =
        cut == std::string_view::npos ? Walk(parent, {}, false) : Walk(parent, subkey.substr(0, cut), false);
    if (!owner) return false;
    const std::string_view leaf = cut == std::string_view::npos ? subkey : subkey.substr(cut + 1);
    auto child = std::find_if(owner->subkeys.begin(), owner->subkeys.end(),
                              [&](const std::shared_ptr<Node>& n) { return SameRegistryName(n->name, leaf); });
    if (child == owner->subkeys.end() || !(*child)->subkeys.empty()) return false;
    (*child)->deleted = true;
    owner->subkeys.erase(child);
    return true;
}

bool MemoryRegistry::EnumKey(Handle key, std::uint32_t index, std::size_t maxNameLength, std::string& name) {
    Node* node = Live(key, true, false);
    if (!node || index >= node->subkeys.size()) return false;
    const std::string& found = node->subkeys[index]->name;
    if (found.size() > maxNameLength) return false;
    name = found;
    return true;
}

bool MemoryRegistry::Peek(std::string_view path, std::string_view name, RegType& type, std::string& bytes) const {
    const std::shared_ptr<Node> node = Descend(root_, path, false);
    if (!node) return false;
    auto v = FindValue(*node, name);
    if (v == node->values.end()) return false;
    type = v->type;
    bytes = v->bytes;
    return true;
}
