// "SoundFiles" and "LaunchFiles" of any type and length, beside an
// installation folder of any text: the editor's lists as loaded must hold
// paths an event can keep, and must come back the same once written.
#include <string>

#include "platform/text_codec.h"
#include "fuzz_support.h"
#include "platform/memory/memory_locale.h"
#include "store/app_values.h"
#include "store/recent_files.h"
#include "store/registry_paths.h"

namespace {

// What an event's sound or launch file can be: read back at load into 260 bytes.
void CheckList(const RecentFiles& files) {
    ORV_FUZZ_CHECK(files.size() <= kMaxRecentFiles);
    for (const std::string& path : files) {
        ORV_FUZZ_CHECK(!path.empty() && Utf16Length(path) <= 259 && path.find('\0') == std::string::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string userKey = std::string(kUserKeyPath) + "\\" + std::string(kUserId);
    MemoryRegistry registry;
    const std::optional<FuzzValue> stored = in.Value();
    if (stored) Plant(registry, userKey, "SoundFiles", *stored);
    if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, userKey, "LaunchFiles", *v);
    if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, kRootKeyPath, "Path", *v);

    MemoryLocaleSource locale = MemoryLocaleSource::English();
    AppValues app;
    LocaleNames names;
    ORV_FUZZ_CHECK(LoadAppValues(registry, locale, app, names));
    RecentFiles sounds;
    RecentFiles launches;
    LoadRecentFiles(registry, app.installPath, sounds, launches);
    CheckList(sounds);
    CheckList(launches);

    // The stored form of a list reads back as the list.
    ORV_FUZZ_CHECK(ParseRecentFiles(FormatRecentFiles(sounds)) == sounds);
    ORV_FUZZ_CHECK(ParseRecentFiles(FormatRecentFiles(launches)) == launches);
    // As the editor leaves them when it closes, and as the next one finds them.
    SaveRecentFiles(registry, sounds, launches);
    RecentFiles soundsAgain;
    RecentFiles launchesAgain;
    LoadRecentFiles(registry, app.installPath, soundsAgain, launchesAgain);
    ORV_FUZZ_CHECK(soundsAgain == sounds && launchesAgain == launches);
    ORV_FUZZ_CHECK(registry.OpenHandleCount() == 0);
    return 0;
}
