#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// The registry as the program uses it: keys under the current user's hive,
// names compared without regard to case, values read into buffers of a stated
// size (a value larger than the buffer is a failed read), types not examined
// on reading, subkeys enumerated by index, keys deleted with their values.
// Text values (Sz, MultiSz) pass as UTF-8 bytes; Windows holds them as UTF-16.
enum class RegType : std::uint32_t { Sz = 1, Binary = 3, Dword = 4, MultiSz = 7 };
enum class RegAccess { Read, Write, All };

// Registry key and value names compare without regard to (ASCII) case.
bool SameRegistryName(std::string_view a, std::string_view b);

class Registry {
public:
    // Opaque key handle; 0 is "no key".
    using Handle = std::uintptr_t;

    virtual ~Registry() = default;

    // The root of the current user's hive; never closed.
    virtual Handle CurrentUser() const = 0;

    // Create (or open when present) the key at path below parent.
    virtual bool CreateKey(Handle parent, std::string_view path, RegAccess access, Handle& out) = 0;
    // Open an existing key; fails when absent.
    virtual bool OpenKey(Handle parent, std::string_view path, RegAccess access, Handle& out) = 0;
    virtual void CloseKey(Handle key) = 0;

    // On entry size is the buffer's size; on success it is the number of bytes
    // stored. A null buffer queries the size only. A value larger than the
    // buffer fails and the buffer's contents are then unspecified.
    virtual bool QueryValue(Handle key, std::string_view name, void* buffer, std::uint32_t& size) = 0;
    virtual bool SetValue(Handle key, std::string_view name, RegType type, const void* data,
                          std::uint32_t size) = 0;
    virtual bool DeleteValue(Handle key, std::string_view name) = 0;
    // Deletes a subkey that has no subkeys of its own, with its values.
    virtual bool DeleteKey(Handle parent, std::string_view subkey) = 0;
    // Name of the index-th subkey; fails past the last one or when the name
    // is longer than maxNameLength characters.
    virtual bool EnumKey(Handle key, std::uint32_t index, std::size_t maxNameLength, std::string& name) = 0;

    // How many threads may read at once (open, query, close), each through
    // its own handles. Under Wine every call waits on a round trip to the
    // server, and reads in parallel overlap those waits.
    virtual unsigned ReadThreads() const { return 1; }
    // Runs first on each of those threads but the caller's.
    virtual void StartReadThread() const {}
};

// An open key, closed when it goes out of scope. Move-only.
class RegKey {
public:
    RegKey() = default;
    RegKey(Registry& registry, Registry::Handle handle) : registry_(&registry), handle_(handle) {}
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept
        : registry_(other.registry_), handle_(std::exchange(other.handle_, 0)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) {
            Close();
            registry_ = other.registry_;
            handle_ = std::exchange(other.handle_, 0);
        }
        return *this;
    }

    // Create or open path below the current user's hive (or below parent).
    static RegKey Create(Registry& registry, std::string_view path, RegAccess access);
    static RegKey Create(const RegKey& parent, std::string_view path, RegAccess access);
    static RegKey Open(Registry& registry, std::string_view path, RegAccess access);
    static RegKey Open(const RegKey& parent, std::string_view path, RegAccess access);

    bool IsOpen() const { return handle_ != 0; }
    explicit operator bool() const { return IsOpen(); }
    Registry::Handle Handle() const { return handle_; }
    Registry* Owner() const { return registry_; }

    // Typed reads: false leaves out as it was.
    bool ReadDword(std::string_view name, std::uint32_t& out) const;
    // Text values are UTF-8 here. Reads a text of at most bufferSize
    // characters (UTF-16 units, as Windows keeps it, the terminating zero
    // included); it ends at the first zero or at bufferSize - 1 characters,
    // whichever comes first, never inside a character.
    bool ReadString(std::string_view name, std::size_t bufferSize, std::string& out) const;
    // Reads at most bufferSize bytes; out gets the bytes stored.
    bool ReadBinary(std::string_view name, std::size_t bufferSize, std::string& out) const;
    // Size of a value, without reading it.
    bool ValueSize(std::string_view name, std::uint32_t& size) const;

    bool WriteDword(std::string_view name, std::uint32_t value) const;
    // Written with its terminating zero (length + 1 bytes).
    bool WriteString(std::string_view name, std::string_view text) const;
    bool WriteBinary(std::string_view name, const void* data, std::size_t size) const;
    bool DeleteValue(std::string_view name) const;
    bool DeleteSubkey(std::string_view name) const;
    bool EnumSubkey(std::uint32_t index, std::size_t maxNameLength, std::string& name) const;

    void Close() {
        if (registry_ && handle_) registry_->CloseKey(handle_);
        handle_ = 0;
    }

private:
    Registry* registry_ = nullptr;
    Registry::Handle handle_ = 0;
};
