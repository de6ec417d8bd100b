#include "store/settings.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "store/registry_paths.h"

namespace {

constexpr std::size_t kPathBuffer = 260;

void ReadInt(const RegKey& key, std::string_view name, std::int32_t& field) {
    std::uint32_t v = 0;
    if (key.ReadDword(name, v)) field = static_cast<std::int32_t>(v);
}

bool ReadRect(const RegKey& key, ScreenRect& rect) {
    std::string b;
    // A shorter value would set only part of the rectangle: treated as missing.
    if (!key.ReadBinary("ScheRect", 16, b) || b.size() != 16) return false;
    auto at = [&](std::size_t i) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(b.data()) + i * 4;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                         (static_cast<std::uint32_t>(p[2]) << 16) |
                                         (static_cast<std::uint32_t>(p[3]) << 24));
    };
    rect = {at(0), at(1), at(2), at(3)};
    return true;
}

std::string RectBytes(const ScreenRect& r) {
    std::string b;
    for (std::int32_t v : {r.left, r.top, r.right, r.bottom})
        for (int shift = 0; shift < 32; shift += 8)
            b.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> shift) & 0xFF));
    return b;
}

void ApplyWallpaperRule(Registry& registry, const std::string& installPath, Preferences& prefs) {
    std::string path;
    int tile = 0;
    ReadDesktopWallpaper(registry, path, tile);
    if (path.find(":\\") != std::string::npos) {
        prefs.BkgImgFile = path;
        prefs.BkgImgFit = tile == 0 ? 1 : 0;
    } else if (!installPath.empty()) {
        // A folder too long for the sample's name gives no image rather than
        // a path longer than any the program reads or hands to Windows.
        std::string sample = installPath + "img\\sample01.jpg";
        if (sample.size() >= kPathBuffer) sample.clear();
        prefs.BkgImgFile = std::move(sample);
    } else {
        prefs.BkgImgFile.clear();
    }
}

// Whatever the registry holds is untrusted: a flag is on or off, the hours
// stay in the range the preferences sheet allows, a colour has no top byte.
void ClampLoaded(Preferences& p) {
    for (std::int32_t* flag : {&p.BkgImgFit, &p.BkgImgRetainRatio, &p.UewStartup, &p.UewNotification,
                               &p.UewBeginning, &p.UewUpcoming, &p.UewSoon}) {
        *flag = *flag != 0 ? 1 : 0;
    }
    p.UewHours = std::clamp(p.UewHours, 0, kMaxUewHours);
    p.UewHours2 = std::clamp(p.UewHours2, 0, kMaxUewHours);
    p.BkgColor &= 0x00FFFFFFu;
}

void LoadExclusionsValue(const RegKey& key, EventStore& store) {
    std::uint32_t size = 0;
    // The stored size is not trusted with an allocation of any size.
    if (!key.ValueSize("EventExcluded", size) || size == 0 || size > kMaxExclusionBytes) return;
    std::string bytes;
    if (!key.ReadBinary("EventExcluded", size, bytes) || bytes.empty()) return;
    store.LoadExclusions(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

void ReadDesktopWallpaper(Registry& registry, std::string& path, int& tile) {
    tile = 0;
    path.clear();
    const RegKey key = RegKey::Create(registry, "Control Panel\\Desktop", RegAccess::Read);
    if (!key) return;
    key.ReadString("Wallpaper", kPathBuffer, path);
    std::string text;
    if (key.ReadString("TileWallpaper", kPathBuffer, text)) tile = std::atoi(text.c_str());
}

bool LoadSettings(Registry& registry, const Desktop& desktop, const std::string& installPath, EventStore& store,
                  Preferences& prefs) {
    const RegKey key = OpenUserKey(registry, RegAccess::Read);
    if (!key) return false;

    Preferences p;  // the defaults stand for whatever cannot be read
    std::uint32_t v = 0;
    if (key.ReadDword("BkgColor", v)) p.BkgColor = v;
    ReadInt(key, "BkgImgFit", p.BkgImgFit);
    // Present, even empty, it stands; only a missing one asks the desktop.
    if (!key.ReadString("BkgImgFile", kPathBuffer, p.BkgImgFile)) ApplyWallpaperRule(registry, installPath, p);
    ReadInt(key, "BkgImgRetainRatio", p.BkgImgRetainRatio);
    if (key.ReadDword("BkgAlpha", v)) p.BkgAlpha = static_cast<std::uint8_t>(v & 0xFF);
    ReadInt(key, "UewStartup", p.UewStartup);
    ReadInt(key, "UewNotification", p.UewNotification);
    ReadInt(key, "UewBeginning", p.UewBeginning);
    ReadInt(key, "UewUpcoming", p.UewUpcoming);
    ReadInt(key, "UewSoon", p.UewSoon);
    ReadInt(key, "UewHours", p.UewHours);
    ReadInt(key, "UewHours2", p.UewHours2);
    if (!ReadRect(key, p.ScheRect)) {
        // 480 x 377 near the bottom-right corner of the work area.
        const ScreenRect w = desktop.WorkArea();
        p.ScheRect.left = w.right - 530;
        p.ScheRect.right = p.ScheRect.left + 480;
        p.ScheRect.top = w.bottom - 400;
        p.ScheRect.bottom = p.ScheRect.top + 377;
    }
    ClampLoaded(p);
    prefs = std::move(p);

    LoadExclusionsValue(key, store);
    return true;
}

void SaveSettings(Registry& registry, int group, const Preferences& prefs, const EventStore& store) {
    if (group != kPreferenceGroup && group != kExitGroup) return;
    const RegKey key = OpenUserKey(registry, RegAccess::Write);
    if (!key) return;
    if (group == kPreferenceGroup) {
        key.WriteDword("BkgColor", prefs.BkgColor);
        key.WriteString("BkgImgFile", prefs.BkgImgFile);
        key.WriteDword("BkgImgFit", static_cast<std::uint32_t>(prefs.BkgImgFit));
        key.WriteDword("BkgImgRetainRatio", static_cast<std::uint32_t>(prefs.BkgImgRetainRatio));
        key.WriteDword("BkgAlpha", prefs.BkgAlpha);
        key.WriteDword("UewStartup", static_cast<std::uint32_t>(prefs.UewStartup));
        key.WriteDword("UewNotification", static_cast<std::uint32_t>(prefs.UewNotification));
        key.WriteDword("UewBeginning", static_cast<std::uint32_t>(prefs.UewBeginning));
        key.WriteDword("UewUpcoming", static_cast<std::uint32_t>(prefs.UewUpcoming));
        key.WriteDword("UewSoon", static_cast<std::uint32_t>(prefs.UewSoon));
        key.WriteDword("UewHours", static_cast<std::uint32_t>(prefs.UewHours));
        key.WriteDword("UewHours2", static_cast<std::uint32_t>(prefs.UewHours2));
    } else {
        const std::string rect = RectBytes(prefs.ScheRect);
        key.WriteBinary("ScheRect", rect.data(), rect.size());
        store.WriteExclusions(key);
    }
}
