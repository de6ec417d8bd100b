#pragma once
// What the program relies on from the registry, run against every
// implementation. An Env owns a scratch hive: Registry& registry().
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/registry.h"

template <class Env>
class RegistryContract : public testing::Test {
protected:
    Env env;
    Registry& reg = env.registry();

    RegKey Make(std::string_view path, RegAccess access = RegAccess::All) {
        return RegKey::Create(reg, path, access);
    }
    bool Exists(std::string_view path) { return static_cast<bool>(RegKey::Open(reg, path, RegAccess::Read)); }
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, CreateMakesTheWholePathAndOpensWhatIsThere) {
    EXPECT_FALSE(this->Exists("Orv\\A\\B"));
    {
        RegKey key = this->Make("Orv\\A\\B");
        ASSERT_TRUE(key);
        ASSERT_TRUE(key.WriteDword("n", 7));
    }
    EXPECT_TRUE(this->Exists("Orv\\A"));
    // Create on an existing key opens it with its values.
    RegKey again = this->Make("Orv\\A\\B", RegAccess::Read);
    std::uint32_t n = 0;
    EXPECT_TRUE(again.ReadDword("n", n));
    EXPECT_EQ(n, 7u);
    // Relative to an open parent, and below a parent opened for reading only.
    RegKey parent = this->Make("Orv\\A", RegAccess::Read);
    RegKey child = RegKey::Create(parent, "C", RegAccess::Write);
    ASSERT_TRUE(child);
    EXPECT_TRUE(this->Exists("Orv\\A\\C"));
    EXPECT_FALSE(RegKey::Open(parent, "Missing", RegAccess::Read));
    EXPECT_FALSE(this->Exists("Orv\\A\\Missing"));
}

TYPED_TEST_P(RegistryContract, KeyAndValueNamesIgnoreCase) {
    ASSERT_TRUE(this->Make("Orv\\User\\Default_Id").WriteString("BkgImgFile", "x"));
    // The events key spells "user" in lower case: it is the same key.
    RegKey sc = this->Make("orv\\user\\Default_Id\\sc");
    ASSERT_TRUE(sc);
    RegKey lower = RegKey::Open(this->reg, "ORV\\USER\\DEFAULT_ID", RegAccess::Read);
    std::string text;
    EXPECT_TRUE(lower.ReadString("bkgimgfile", 260, text));
    EXPECT_EQ(text, "x");

    RegKey users = RegKey::Open(this->reg, "Orv\\User", RegAccess::Read);
    std::string name;
    ASSERT_TRUE(users.EnumSubkey(0, 19, name));
    EXPECT_EQ(name, "Default_Id");  // the case it was created with
    EXPECT_FALSE(users.EnumSubkey(1, 19, name));
    RegKey id = RegKey::Open(this->reg, "Orv\\User\\Default_Id", RegAccess::Read);
    ASSERT_TRUE(id.EnumSubkey(0, 19, name));
    EXPECT_EQ(name, "sc");
}

TYPED_TEST_P(RegistryContract, ReadsNeedABufferLargeEnough) {
    RegKey key = this->Make("Orv\\Sizes");
    const std::uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(key.WriteBinary("bin", eight, sizeof eight));

    std::uint32_t size = 0;
    ASSERT_TRUE(this->reg.QueryValue(key.Handle(), "bin", nullptr, size));  // size query: no buffer
    EXPECT_EQ(size, 8u);
    std::uint8_t buffer[8] = {};
    size = 8;
    ASSERT_TRUE(this->reg.QueryValue(key.Handle(), "bin", buffer, size));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(buffer[7], 8);
    size = 7;
    EXPECT_FALSE(this->reg.QueryValue(key.Handle(), "bin", buffer, size));

    // The typed reads leave their target alone on failure.
    std::string out = "unchanged";
    EXPECT_FALSE(key.ReadBinary("bin", 7, out));
    EXPECT_EQ(out, "unchanged");
    EXPECT_TRUE(key.ReadBinary("bin", 36, out));
    EXPECT_EQ(out, std::string("\1\2\3\4\5\6\7\10", 8));
    std::uint32_t n = 99;
    EXPECT_FALSE(key.ReadDword("bin", n));  // longer than 4 bytes
    EXPECT_FALSE(key.ReadDword("missing", n));
    EXPECT_FALSE(key.ValueSize("missing", size));
    EXPECT_EQ(n, 99u);
    // Shorter than 4 bytes sets only part of a number: not a number.
    ASSERT_TRUE(key.WriteBinary("short", eight, 2));
    EXPECT_FALSE(key.ReadDword("short", n));
    EXPECT_EQ(n, 99u);
}

TYPED_TEST_P(RegistryContract, TypesAreNotExaminedOnReading) {
    RegKey key = this->Make("Orv\\Types");
    ASSERT_TRUE(key.WriteDword("dw", 0x01FF));
    std::string bytes;
    ASSERT_TRUE(key.ReadBinary("dw", 4, bytes));
    EXPECT_EQ(bytes, std::string("\xFF\x01\0\0", 4));  // little-endian
    const std::uint8_t raw[4] = {0x78, 0x56, 0x34, 0x12};
    ASSERT_TRUE(key.WriteBinary("bin", raw, 4));
    std::uint32_t n = 0;
    ASSERT_TRUE(key.ReadDword("bin", n));
    EXPECT_EQ(n, 0x12345678u);
    // An empty value (the mark of an event key being written) is stored as such.
    ASSERT_TRUE(key.WriteBinary("bin", raw, 0));
    ASSERT_TRUE(key.ReadBinary("bin", 4, bytes));
    EXPECT_EQ(bytes, "");
    // "TileWallpaper" is text; a number stored as text reads as its digits.
    ASSERT_TRUE(key.WriteString("tile", "1"));
    std::string text;
    ASSERT_TRUE(key.ReadString("tile", 260, text));
    EXPECT_EQ(text, "1");
}

TYPED_TEST_P(RegistryContract, StringsCarryTheirTerminator) {
    RegKey key = this->Make("Orv\\Strings");
    ASSERT_TRUE(key.WriteString("title", "Dentist"));
    std::uint32_t size = 0;
    ASSERT_TRUE(key.ValueSize("title", size));
    EXPECT_EQ(size, 8u);
    std::string text;
    ASSERT_TRUE(key.ReadString("title", 61, text));
    EXPECT_EQ(text, "Dentist");
    ASSERT_TRUE(key.WriteString("empty", ""));
    ASSERT_TRUE(key.ValueSize("empty", size));
    EXPECT_EQ(size, 1u);
    std::string stale(1, 'x');
    ASSERT_TRUE(key.ReadString("empty", 260, stale));
    EXPECT_EQ(stale, "");
    // Overwriting with a shorter text leaves nothing of the longer one.
    ASSERT_TRUE(key.WriteString("title", "Gym"));
    ASSERT_TRUE(key.ReadString("title", 61, text));
    EXPECT_EQ(text, "Gym");
}

TYPED_TEST_P(RegistryContract, StringFillingItsBufferExactly) {
    RegKey key = this->Make("Orv\\Exact");
    const std::string fits(259, 'p');  // 259 characters and the zero: 260 bytes
    ASSERT_TRUE(key.WriteString("path", fits));
    std::string text;
    ASSERT_TRUE(key.ReadString("path", 260, text));
    EXPECT_EQ(text, fits);
    const std::string tooLong(260, 'q');  // 261 bytes: does not fit
    ASSERT_TRUE(key.WriteString("long", tooLong));
    text = "unchanged";
    EXPECT_FALSE(key.ReadString("long", 260, text));
    EXPECT_EQ(text, "unchanged");
}

TYPED_TEST_P(RegistryContract, StringWithoutTerminatorStaysInsideItsBuffer) {
    RegKey key = this->Make("Orv\\Unterminated");
    // Stored as raw bytes, nothing adds a terminator.
    ASSERT_TRUE(key.WriteBinary("raw", "abcde", 5));
    std::string text;
    ASSERT_TRUE(key.ReadString("raw", 16, text));
    EXPECT_EQ(text, "abcde");
    ASSERT_TRUE(key.ReadString("raw", 5, text));
    EXPECT_EQ(text, "abcd");  // the buffer's last byte is the terminator's
    text = "unchanged";
    EXPECT_FALSE(key.ReadString("raw", 4, text));
    EXPECT_EQ(text, "unchanged");
    const std::string full(61, 't');
    ASSERT_TRUE(key.WriteBinary("title", full.data(), full.size()));
    ASSERT_TRUE(key.ReadString("title", 61, text));
    EXPECT_EQ(text, std::string(60, 't'));
    // A zero inside the data ends the text.
    ASSERT_TRUE(key.WriteBinary("inner", "ab\0cd", 5));
    ASSERT_TRUE(key.ReadString("inner", 16, text));
    EXPECT_EQ(text, "ab");

    // A string value stored without its zero reads back whole.
    ASSERT_TRUE(this->reg.SetValue(key.Handle(), "sz", RegType::Sz, "abcde", 5));
    ASSERT_TRUE(key.ReadString("sz", 16, text));
    EXPECT_EQ(text, "abcde");
}

TYPED_TEST_P(RegistryContract, SubkeysEnumerateByIndexUntilFailure) {
    RegKey sc = this->Make("Orv\\sc");
    for (const char* name : {"1", "12", "7"}) ASSERT_TRUE(RegKey::Create(sc, name, RegAccess::Write));
    ASSERT_TRUE(RegKey::Create(sc, "twentycharacterslong", RegAccess::Write));
    std::set<std::string> seen;
    std::set<std::string> tooLong;
    std::string name;
    std::uint32_t index = 0;
    for (; index < 10; ++index) {
        if (sc.EnumSubkey(index, 19, name)) {
            seen.insert(name);
        } else if (sc.EnumSubkey(index, 20, name)) {
            tooLong.insert(name);  // longer than the 19 characters asked for
        } else {
            break;
        }
    }
    EXPECT_EQ(index, 4u);
    EXPECT_EQ(seen, (std::set<std::string>{"1", "12", "7"}));
    EXPECT_EQ(tooLong, (std::set<std::string>{"twentycharacterslong"}));
    RegKey empty = this->Make("Orv\\sc\\1", RegAccess::Read);
    EXPECT_FALSE(empty.EnumSubkey(0, 19, name));
}

TYPED_TEST_P(RegistryContract, DeleteKeyTakesItsValuesButNotItsSubkeys) {
    RegKey sc = this->Make("Orv\\sc");
    {
        RegKey event = RegKey::Create(sc, "5", RegAccess::Write);
        ASSERT_TRUE(event.WriteString("title", "x"));
        ASSERT_TRUE(event.WriteDword("n", 1));
    }
    EXPECT_TRUE(sc.DeleteSubkey("5"));
    EXPECT_FALSE(this->Exists("Orv\\sc\\5"));
    EXPECT_FALSE(sc.DeleteSubkey("5"));
    // Re-created, it comes back empty.
    RegKey reborn = RegKey::Create(sc, "5", RegAccess::Read);
    std::uint32_t size = 0;
    EXPECT_FALSE(reborn.ValueSize("title", size));
    reborn.Close();

    ASSERT_TRUE(this->Make("Orv\\sc\\6\\inner"));
    EXPECT_FALSE(sc.DeleteSubkey("6"));
    EXPECT_TRUE(this->Exists("Orv\\sc\\6\\inner"));
    EXPECT_TRUE(sc.DeleteSubkey("6\\INNER"));
    EXPECT_TRUE(sc.DeleteSubkey("6"));

    // A parent opened for reading can delete; the handles of a deleted key fail.
    RegKey reader = this->Make("Orv\\sc", RegAccess::Read);
    RegKey doomed = this->Make("Orv\\sc\\8", RegAccess::All);
    EXPECT_TRUE(reader.DeleteSubkey("8"));
    EXPECT_FALSE(doomed.WriteDword("n", 1));
}

TYPED_TEST_P(RegistryContract, DeleteValueAndAccessRights) {
    RegKey writer = this->Make("Orv\\Rights", RegAccess::Write);
    ASSERT_TRUE(writer.WriteDword("n", 3));
    RegKey reader = this->Make("Orv\\Rights", RegAccess::Read);
    std::uint32_t n = 0;
    EXPECT_FALSE(writer.ReadDword("n", n));  // write access does not read
    EXPECT_FALSE(reader.WriteDword("n", 4));  // nor read access write
    EXPECT_FALSE(reader.DeleteValue("n"));
    ASSERT_TRUE(reader.ReadDword("n", n));
    EXPECT_EQ(n, 3u);
    EXPECT_TRUE(writer.DeleteValue("N"));
    EXPECT_FALSE(reader.ReadDword("n", n));
    EXPECT_FALSE(writer.DeleteValue("n"));
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, CreateMakesTheWholePathAndOpensWhatIsThere, KeyAndValueNamesIgnoreCase,
                            ReadsNeedABufferLargeEnough, TypesAreNotExaminedOnReading, StringsCarryTheirTerminator,
                            StringFillingItsBufferExactly, StringWithoutTerminatorStaysInsideItsBuffer,
                            SubkeysEnumerateByIndexUntilFailure, DeleteKeyTakesItsValuesButNotItsSubkeys,
                            DeleteValueAndAccessRights);
