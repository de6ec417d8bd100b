#include "platform/win32/win32_file.h"

#include <windows.h>

#include <utility>

#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : handle_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // A write is known to have reached the file only once the handle closes.
    bool Close() { return !Valid() || ORV_CHECK(CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE))); }

private:
    HANDLE handle_;
};

constexpr DWORD kChunk = 1u << 20;

}  // namespace

FileReadStatus ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    out.clear();
    const FileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return FileReadStatus::Unreadable;
    // Read in pieces up to one byte past the limit: the size may change while
    // it is read, and a pipe has none.
    for (;;) {
        const std::size_t room = maxBytes + 1 - out.size();
        if (room == 0) return FileReadStatus::TooLarge;
        const DWORD want = room < kChunk ? static_cast<DWORD>(room) : kChunk;
        const std::size_t at = out.size();
        out.resize(at + want);
        DWORD got = 0;
        if (!ReadFile(file.Get(), out.data() + at, want, &got, nullptr)) {
            out.clear();
            return FileReadStatus::Unreadable;
        }
        out.resize(at + got);
        if (got == 0) return FileReadStatus::Ok;
    }
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    const std::wstring temporary = Wide(path + ".part");
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.Valid()) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < text.size();) {
        const std::size_t left = text.size() - done;
        const DWORD piece = left < kChunk ? static_cast<DWORD>(left) : kChunk;
        DWORD written = 0;
        ok = ORV_CHECK(WriteFile(file.Get(), text.data() + done, piece, &written, nullptr)) && written == piece;
        done += written;
    }
    ok = ORV_CHECK(FlushFileBuffers(file.Get())) && ok;
    ok = file.Close() && ok;
    if (ok) ok = ORV_CHECK(MoveFileExW(temporary.c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}
