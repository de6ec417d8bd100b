#include "store/app_values.h"

#include "store/registry_paths.h"
#include "store/text_trim.h"

namespace {

// Locale items: the first day name of each series is Monday's; Sunday's is the seventh.
constexpr std::uint32_t kDayName1 = 0x2A;
constexpr std::uint32_t kShortDayName1 = 0x31;
constexpr std::uint32_t kMonthName1 = 0x38;
constexpr std::uint32_t kShortMonthName1 = 0x44;

void Fill(LocaleSource& locale, std::uint32_t item, std::string& entry) {
    if (!locale.GetItem(item, entry)) entry.clear();
}

// Monday..Saturday go to 1..6, Sunday to 0.
template <std::size_t N>
void FillDays(LocaleSource& locale, std::uint32_t first, std::array<std::string, N>& table) {
    for (std::uint32_t i = 0; i < 6; ++i) Fill(locale, first + i, table[i + 1]);
    Fill(locale, first + 6, table[0]);
}

template <std::size_t N>
void FillMonths(LocaleSource& locale, std::uint32_t first, std::array<std::string, N>& table) {
    for (std::uint32_t i = 0; i < N; ++i) Fill(locale, first + i, table[i]);
}

}  // namespace

bool LoadAppValues(Registry& registry, LocaleSource& locale, AppValues& values, LocaleNames& names) {
    {
        const RegKey root = RegKey::Create(registry, kRootKeyPath, RegAccess::Read);
        if (!root) return false;
        std::uint32_t v = 0;
        values.dataVer = root.ReadDword("DataVer", v) ? v : 0;
        std::string path;
        if (root.ReadString("Path", 260, path)) {
            values.installPath = TrimSpace(path);
            if (values.installPath.empty() || values.installPath.back() != '\\') values.installPath += '\\';
        } else {
            values.installPath.clear();
        }
    }
    FillDays(locale, kShortDayName1, names.ShortDayNames);
    FillDays(locale, kDayName1, names.DayNames);
    FillMonths(locale, kShortMonthName1, names.ShortMonthNames);
    FillMonths(locale, kMonthName1, names.MonthNames);
    return true;
}

void WriteDataVersion(Registry& registry) {
    RegKey::Create(registry, kRootKeyPath, RegAccess::Write).WriteDword("DataVer", 1);
}
