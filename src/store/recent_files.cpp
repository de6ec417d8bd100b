#include "store/recent_files.h"

#include <algorithm>

#include "platform/text_codec.h"
#include "store/registry_paths.h"

namespace {

constexpr char kSoundFiles[] = "SoundFiles";
constexpr char kLaunchFiles[] = "LaunchFiles";
constexpr char kDefaultSound[] = "snd\\clock.wav";

RecentFiles ReadList(const RegKey& key, const char* name) {
    std::string data;
    // A character is at most three bytes of the UTF-8 the value reads as.
    if (!key.ReadBinary(name, 3 * kRecentFilesBuffer, data) || Utf16Length(data) > kRecentFilesBuffer) return {};
    return ParseRecentFiles(data);
}

void WriteList(const RegKey& key, const char* name, const RecentFiles& files) {
    if (files.empty()) {
        key.DeleteValue(name);
        return;
    }
    const std::string data = FormatRecentFiles(files);
    key.Owner()->SetValue(key.Handle(), name, RegType::MultiSz, data.data(), static_cast<std::uint32_t>(data.size()));
}

}  // namespace

RecentFiles ParseRecentFiles(std::string_view data) {
    RecentFiles files;
    std::size_t offset = 0;
    while (offset < data.size() && data[offset] != '\0' && files.size() < kMaxRecentFiles) {
        const std::size_t end = std::min(data.find('\0', offset), data.size());
        // An event would keep it and lose it at the next load.
        if (Utf16Length(data.substr(offset, end - offset)) <= kMaxRecentPath) files.emplace_back(data.substr(offset, end - offset));
        offset = end + 1;
    }
    return files;
}

std::string FormatRecentFiles(const RecentFiles& files) {
    std::string data;
    std::size_t taken = 0;
    for (auto it = files.begin(); it != files.end() && taken < kMaxRecentFiles; ++it, ++taken) {
        data += *it;
        data += '\0';
    }
    data += '\0';
    return data;
}

void LoadRecentFiles(Registry& registry, const std::string& installPath, RecentFiles& sounds,
                     RecentFiles& launches) {
    sounds.clear();
    launches.clear();
    const RegKey user = OpenUserKey(registry, RegAccess::Read);
    if (!user) return;
    sounds = ReadList(user, kSoundFiles);
    // Without an installation folder there is no default to offer.
    if (sounds.empty() && !installPath.empty()) {
        std::string sound = installPath + kDefaultSound;
        if (sound.size() <= kMaxRecentPath) sounds.push_back(std::move(sound));
    }
    launches = ReadList(user, kLaunchFiles);
}

void SaveRecentFiles(Registry& registry, const RecentFiles& sounds, const RecentFiles& launches) {
    const RegKey user = OpenUserKey(registry, RegAccess::Write);
    if (!user) return;
    WriteList(user, kSoundFiles, sounds);
    WriteList(user, kLaunchFiles, launches);
}
