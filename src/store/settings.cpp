#include "store/settings.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <type_traits>
#include <variant>

#include "core/little_endian.h"
#include "store/registry_paths.h"

namespace {

constexpr std::size_t kPathBuffer = 260;
constexpr char kRectValue[] = "ScheRect";

// The preference group: each value's name and member, in the order they are
// written. The member's type says how it is stored: a DWORD (a byte in its
// low eight bits) or a string.
using PreferenceMember = std::variant<std::int32_t Preferences::*, Rgb Preferences::*, std::uint8_t Preferences::*,
                                      std::string Preferences::*>;
struct StoredPreference {
    const char* name;
    PreferenceMember member;
};
const StoredPreference kStoredPreferences[] = {
    {"BkgColor", &Preferences::BkgColor},
    {"BkgImgFile", &Preferences::BkgImgFile},
    {"BkgImgFit", &Preferences::BkgImgFit},
    {"BkgImgRetainRatio", &Preferences::BkgImgRetainRatio},
    {"BkgAlpha", &Preferences::BkgAlpha},
    {"UewStartup", &Preferences::UewStartup},
    {"UewNotification", &Preferences::UewNotification},
    {"UewBeginning", &Preferences::UewBeginning},
    {"UewUpcoming", &Preferences::UewUpcoming},
    {"UewSoon", &Preferences::UewSoon},
    {"UewHours", &Preferences::UewHours},
    {"UewHours2", &Preferences::UewHours2},
    {"UewToast", &Preferences::UewToast},
};

// False when the value is missing or unreadable; the member keeps its default.
bool ReadPreference(const RegKey& key, const StoredPreference& value, Preferences& p) {
    if (const auto* text = std::get_if<std::string Preferences::*>(&value.member)) {
        return key.ReadString(value.name, kPathBuffer, p.**text);
    }
    std::uint32_t v = 0;
    if (!key.ReadDword(value.name, v)) return false;
    if (const auto* number = std::get_if<std::int32_t Preferences::*>(&value.member)) {
        p.**number = static_cast<std::int32_t>(v);
    } else if (const auto* color = std::get_if<Rgb Preferences::*>(&value.member)) {
        p.**color = v;
    } else if (const auto* byte = std::get_if<std::uint8_t Preferences::*>(&value.member)) {
        p.**byte = static_cast<std::uint8_t>(v & 0xFF);
    }
    return true;
}

void WritePreference(const RegKey& key, const StoredPreference& value, const Preferences& p) {
    std::visit(
        [&](auto member) {
            const auto& field = p.*member;
            if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
                key.WriteString(value.name, field);
            } else {
                key.WriteDword(value.name, static_cast<std::uint32_t>(field));
            }
        },
        value.member);
}

bool ReadRect(const RegKey& key, ScreenRect& rect) {
    std::string b;
    // A shorter value would set only part of the rectangle: treated as missing.
    if (!key.ReadBinary(kRectValue, 16, b) || b.size() != 16) return false;
    auto at = [&](std::size_t i) {
        return static_cast<std::int32_t>(GetLe32(reinterpret_cast<const std::uint8_t*>(b.data()) + i * 4));
    };
    rect = {at(0), at(1), at(2), at(3)};
    return true;
}

// A damaged rectangle (empty, inverted, a few pixels) would make an invisible
// window that each exit stores again. One off every monitor is moved onto
// the screen, whole, when the window opens.
bool IsUsableWindowRect(const ScreenRect& r, const Desktop& desktop) {
    const DpiScale s{desktop.DpiOf(r)};
    return std::int64_t{r.right} - r.left >= s(kScheMinWidth) && std::int64_t{r.bottom} - r.top >= s(kScheMinHeight);
}

std::string RectBytes(const ScreenRect& r) {
    std::string b;
    for (std::int32_t v : {r.left, r.top, r.right, r.bottom}) AppendLe32(b, static_cast<std::uint32_t>(v));
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
                               &p.UewBeginning, &p.UewUpcoming, &p.UewSoon, &p.UewToast}) {
        *flag = *flag != 0 ? 1 : 0;
    }
    p.UewHours = std::clamp(p.UewHours, 0, kMaxUewHours);
    p.UewHours2 = std::clamp(p.UewHours2, 0, kMaxUewHours);
    // As the sheet keeps them: an event "beginning in" the soon hours must be
    // one the window lists, or it opens to show nothing.
    p.UewHours = std::max(p.UewHours, p.UewHours2);
    p.BkgColor &= 0x00FFFFFFu;
}

void LoadExclusionsValue(const RegKey& key, EventStore& store) {
    std::uint32_t size = 0;
    // The stored size is not trusted with an allocation of any size.
    if (!key.ValueSize(kExclusionsValue, size) || size == 0 || size > kMaxExclusionBytes) return;
    std::string bytes;
    if (!key.ReadBinary(kExclusionsValue, size, bytes) || bytes.empty()) return;
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
    bool imageFileStored = true;
    for (const StoredPreference& value : kStoredPreferences) {
        if (!ReadPreference(key, value, p) && value.member == PreferenceMember(&Preferences::BkgImgFile)) {
            imageFileStored = false;
        }
    }
    // Present, even empty, it stands; only a missing one asks the desktop,
    // whose tile setting then decides the fit over a stored one.
    if (!imageFileStored) ApplyWallpaperRule(registry, installPath, p);
    if (!ReadRect(key, p.ScheRect) || !IsUsableWindowRect(p.ScheRect, desktop)) {
        // 480 x 377 near the bottom-right corner of the work area, in
        // pixels at 96 DPI; the rectangle itself is stored as physical pixels.
        const ScreenRect w = desktop.WorkArea();
        const DpiScale s{desktop.PrimaryDpi()};
        p.ScheRect.left = w.right - s(530);
        p.ScheRect.right = p.ScheRect.left + s(480);
        p.ScheRect.top = w.bottom - s(400);
        p.ScheRect.bottom = p.ScheRect.top + s(377);
        // A screen small for its scale: the top-left corner, with the strip
        // that moves the window, stays on the work area.
        const std::int32_t dx = std::max(0, w.left - p.ScheRect.left);
        const std::int32_t dy = std::max(0, w.top - p.ScheRect.top);
        p.ScheRect = {p.ScheRect.left + dx, p.ScheRect.top + dy, p.ScheRect.right + dx, p.ScheRect.bottom + dy};
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
        for (const StoredPreference& value : kStoredPreferences) WritePreference(key, value, prefs);
    } else {
        const std::string rect = RectBytes(prefs.ScheRect);
        key.WriteBinary(kRectValue, rect.data(), rect.size());
        store.WriteExclusions(key);
    }
}
