#include "platform/memory/faulty_registry.h"

#include <algorithm>

namespace {

// True when name equals one of the backslash-separated segments of path.
bool NamesSegment(std::string_view path, std::string_view name) {
    while (true) {
        const std::size_t cut = path.find('\\');
        if (SameRegistryName(path.substr(0, cut), name)) return true;
        if (cut == std::string_view::npos) return false;
        path = path.substr(cut + 1);
    }
}

}  // namespace

void FaultyRegistry::FailNth(RegOp op, std::uint32_t n) { failAt_[Index(op)] = n == 0 ? 0 : counts_[Index(op)] + n; }

void FaultyRegistry::FailName(RegOp op, std::string_view name) { named_.push_back({op, std::string(name)}); }

void FaultyRegistry::Heal() {
    failAt_ = {};
    failCall_ = 0;
    failFrom_ = 0;
    named_.clear();
}

bool FaultyRegistry::Trip(RegOp op, std::string_view name) {
    const std::uint32_t call = ++counts_[Index(op)];
    ++total_;
    if (failAt_[Index(op)] == call || failCall_ == total_ || (failFrom_ != 0 && total_ >= failFrom_)) return true;
    return std::any_of(named_.begin(), named_.end(),
                       [&](const NamedFault& f) { return f.op == op && NamesSegment(name, f.name); });
}

bool FaultyRegistry::CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) {
    return !Trip(RegOp::Open, path) && inner_.CreateKey(parent, path, access, out);
}

bool FaultyRegistry::OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) {
    return !Trip(RegOp::Open, path) && inner_.OpenKey(parent, path, access, out);
}

bool FaultyRegistry::QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) {
    return !Trip(RegOp::Read, name) && inner_.QueryValue(key, name, buffer, size);
}

bool FaultyRegistry::SetValue(Handle key, std::string_view name, RegType type, const void* data, std::uint32_t size) {
    writes_.emplace_back(name);
    return !Trip(RegOp::Write, name) && inner_.SetValue(key, name, type, data, size);
}

bool FaultyRegistry::DeleteValue(Handle key, std::string_view name) {
    return !Trip(RegOp::Delete, name) && inner_.DeleteValue(key, name);
}

bool FaultyRegistry::DeleteKey(Handle parent, std::string_view subkey) {
    return !Trip(RegOp::Delete, subkey) && inner_.DeleteKey(parent, subkey);
}

bool FaultyRegistry::EnumKey(Handle key, std::uint32_t index, std::size_t maxNameLength, std::string& name) {
    return !Trip(RegOp::Enum, {}) && inner_.EnumKey(key, index, maxNameLength, name);
}
