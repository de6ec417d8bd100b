// The preference group, "ScheRect", "DueEventCoord", the desktop's wallpaper
// values and the installation folder, each of any type and length, on a work
// area of any size a screen can have. Whatever is read must be usable and
// must come back the same after the program writes it.
#include <string>

#include "platform/text_codec.h"
#include "fuzz_support.h"
#include "platform/memory/fixed_desktop.h"
#include "platform/memory/memory_locale.h"
#include "store/app_values.h"
#include "store/registry_paths.h"
#include "store/settings.h"
#include "upcoming/due_list_model.h"

namespace {

const char* const kPreferenceNames[] = {"BkgColor",    "BkgImgFile",      "BkgImgFit",    "BkgImgRetainRatio",
                                        "BkgAlpha",    "UewStartup",      "UewNotification", "UewBeginning",
                                        "UewUpcoming", "UewSoon",         "UewHours",     "UewHours2",
                                        "ScheRect",    "DueEventCoord",   "UewToast"};

bool SamePreferences(const Preferences& a, const Preferences& b) {
    return a.BkgColor == b.BkgColor && a.BkgImgFile == b.BkgImgFile && a.BkgImgFit == b.BkgImgFit &&
           a.BkgImgRetainRatio == b.BkgImgRetainRatio && a.BkgAlpha == b.BkgAlpha && a.UewStartup == b.UewStartup &&
           a.UewNotification == b.UewNotification && a.UewBeginning == b.UewBeginning &&
           a.UewUpcoming == b.UewUpcoming && a.UewSoon == b.UewSoon && a.UewHours == b.UewHours &&
           a.UewHours2 == b.UewHours2 && a.UewToast == b.UewToast && a.ScheRect == b.ScheRect;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string userKey = std::string(kUserKeyPath) + "\\" + std::string(kUserId);
    MemoryRegistry registry;
    for (const char* name : kPreferenceNames) {
        if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, userKey, name, *v);
    }
    if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, "Control Panel\\Desktop", "Wallpaper", *v);
    if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, "Control Panel\\Desktop", "TileWallpaper", *v);
    if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, kRootKeyPath, "Path", *v);
    // A work area as a screen has one: at least 200 pixels each way, within 16-bit coordinates.
    const std::int32_t left = in.Byte();
    const std::int32_t top = in.Byte();
    const ScreenRect work{left, top, left + 200 + in.U16() % 32000, top + 200 + in.U16() % 32000};
    const FixedDesktop desktop(work);

    MemoryLocaleSource locale = MemoryLocaleSource::English();
    AppValues app;
    LocaleNames names;
    ORV_FUZZ_CHECK(LoadAppValues(registry, locale, app, names));
    StoreRig rig(registry, SelectNow(0));
    ORV_FUZZ_CHECK(LoadSettings(registry, desktop, app.installPath, rig.store, rig.prefs));
    const Preferences& p = rig.prefs;
    // A path the rest of the program can hand to Windows.
    ORV_FUZZ_CHECK(Utf16Length(p.BkgImgFile) <= 259 && p.BkgImgFile.find('\0') == std::string::npos);

    // Wherever it was stored, the calendar opens where it can be reached.
    ScreenRect shown = p.ScheRect;
    KeepOnDesktop(shown, desktop);
    ORV_FUZZ_CHECK(shown.right <= shown.left || shown.bottom <= shown.top ||
                   (shown.left < work.right && shown.right > work.left && shown.top < work.bottom &&
                    shown.bottom > work.top));

    DueAnchor anchor;
    anchor.LoadPosition(registry, desktop);
    ORV_FUZZ_CHECK(anchor.anchorX >= 0 && anchor.anchorX <= work.right);
    ORV_FUZZ_CHECK(anchor.anchorY >= 0 && anchor.anchorY <= work.bottom);

    // Written as the sheet and the exit write them, read back the same.
    SaveSettings(registry, kPreferenceGroup, p, rig.store);
    SaveSettings(registry, kExitGroup, p, rig.store);
    anchor.SavePosition(registry);
    StoreRig again(registry, SelectNow(0));
    ORV_FUZZ_CHECK(LoadSettings(registry, desktop, app.installPath, again.store, again.prefs));
    ORV_FUZZ_CHECK(SamePreferences(again.prefs, p));
    DueAnchor reread;
    reread.LoadPosition(registry, desktop);
    ORV_FUZZ_CHECK(reread.anchorX == anchor.anchorX && reread.anchorY == anchor.anchorY);
    ORV_FUZZ_CHECK(reread.anchorRight == anchor.anchorRight && reread.anchorBottom == anchor.anchorBottom);
    ORV_FUZZ_CHECK(registry.OpenHandleCount() == 0);
    return 0;
}
