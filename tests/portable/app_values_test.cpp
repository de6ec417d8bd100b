#include <gtest/gtest.h>

#include <string>

#include "platform/memory/faulty_registry.h"
#include "platform/memory/memory_locale.h"
#include "platform/memory/memory_registry.h"
#include "store/app_values.h"
#include "store/registry_paths.h"

namespace {

class AppValuesTest : public testing::Test {
protected:
    MemoryRegistry memory;
    FaultyRegistry reg{memory};
    MemoryLocaleSource locale = MemoryLocaleSource::English();
    AppValues values;
    LocaleNames names;

    RegKey Root() { return RegKey::Create(memory, kRootKeyPath, RegAccess::All); }
    std::string PathFrom(const std::string& stored) {
        Root().WriteString("Path", stored);
        EXPECT_TRUE(LoadAppValues(reg, locale, values, names));
        return values.installPath;
    }
};

TEST_F(AppValuesTest, InstallPathIsTrimmedAndEndsInABackslash) {
    ASSERT_TRUE(LoadAppValues(reg, locale, values, names));
    EXPECT_EQ(values.installPath, "");  // absent
    EXPECT_EQ(PathFrom("  C:\\Program Files\\Orv \t"), "C:\\Program Files\\Orv\\");
    EXPECT_EQ(PathFrom("C:\\Orv\\ "), "C:\\Orv\\");
    EXPECT_EQ(PathFrom(""), "\\");
    EXPECT_EQ(PathFrom("   "), "\\");
    EXPECT_EQ(PathFrom(std::string(259, 'p')), std::string(259, 'p') + "\\");
    EXPECT_EQ(PathFrom(std::string(260, 'p')), "");  // longer than its buffer: missing
    // Stored without a terminator, the text stays inside the buffer.
    const std::string raw(260, 'r');
    Root().WriteBinary("Path", raw.data(), raw.size());
    ASSERT_TRUE(LoadAppValues(reg, locale, values, names));
    EXPECT_EQ(values.installPath, std::string(259, 'r') + "\\");
}

TEST_F(AppValuesTest, DataVersion) {
    values.dataVer = 7;
    ASSERT_TRUE(LoadAppValues(reg, locale, values, names));
    EXPECT_EQ(values.dataVer, 0u);
    WriteDataVersion(reg);
    RegType type{};
    std::string bytes;
    ASSERT_TRUE(memory.Peek(kRootKeyPath, "DataVer", type, bytes));
    EXPECT_EQ(type, RegType::Dword);
    EXPECT_EQ(bytes, std::string("\1\0\0\0", 4));
    ASSERT_TRUE(LoadAppValues(reg, locale, values, names));
    EXPECT_EQ(values.dataVer, 1u);
    Root().WriteBinary("DataVer", "\2\0", 2);  // a part of a number is none
    ASSERT_TRUE(LoadAppValues(reg, locale, values, names));
    EXPECT_EQ(values.dataVer, 0u);
}

TEST_F(AppValuesTest, LocaleTablesStartOnSunday) {
    ASSERT_TRUE(LoadAppValues(reg, locale, values, names));
    EXPECT_EQ(names.ShortDayNames[0], "Sun");
    EXPECT_EQ(names.ShortDayNames[1], "Mon");
    EXPECT_EQ(names.DayNames[0], "Sunday");
    EXPECT_EQ(names.DayNames[6], "Saturday");
    EXPECT_EQ(names.ShortMonthNames[0], "Jan");
    EXPECT_EQ(names.MonthNames[11], "December");
    EXPECT_EQ(names.DayNames, EnglishLocaleNames().DayNames);
    EXPECT_EQ(names.MonthNames, EnglishLocaleNames().MonthNames);

    // An item the locale cannot supply is left empty; nothing else suffers.
    locale.items.erase(0x30);  // Sunday's full name
    locale.items.erase(0x4F);  // "Dec"
    ASSERT_TRUE(LoadAppValues(reg, locale, values, names));
    EXPECT_EQ(names.DayNames[0], "");
    EXPECT_EQ(names.ShortMonthNames[11], "");
    EXPECT_EQ(names.DayNames[1], "Monday");
    EXPECT_EQ(names.ShortMonthNames[10], "Nov");
}

TEST_F(AppValuesTest, NoRootKeyNoStart) {
    reg.FailName(RegOp::Open, "OrvCalendar");
    EXPECT_FALSE(LoadAppValues(reg, locale, values, names));
    WriteDataVersion(reg);  // silently nothing
    RegType type{};
    std::string bytes;
    EXPECT_FALSE(memory.Peek(kRootKeyPath, "DataVer", type, bytes));
}

}  // namespace
