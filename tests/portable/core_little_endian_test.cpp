#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "core/little_endian.h"

namespace {

struct Le32Case {
    std::uint32_t value;
    std::array<std::uint8_t, 4> bytes;
};

// The edges: each byte alone, the sign bit, all ones.
constexpr Le32Case kLe32Cases[] = {
    {0x00000000u, {0x00, 0x00, 0x00, 0x00}}, {0x00000001u, {0x01, 0x00, 0x00, 0x00}},
    {0x000000FFu, {0xFF, 0x00, 0x00, 0x00}}, {0x00000100u, {0x00, 0x01, 0x00, 0x00}},
    {0x00FF0000u, {0x00, 0x00, 0xFF, 0x00}}, {0x7FFFFFFFu, {0xFF, 0xFF, 0xFF, 0x7F}},
    {0x80000000u, {0x00, 0x00, 0x00, 0x80}}, {0xFFFFFFFFu, {0xFF, 0xFF, 0xFF, 0xFF}},
    {0x12345678u, {0x78, 0x56, 0x34, 0x12}},
};

TEST(LittleEndianTest, Le32BytesBothWays) {
    for (const Le32Case& c : kLe32Cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(GetLe32(c.bytes.data()), c.value);
        std::array<std::uint8_t, 4> put{};
        PutLe32(put.data(), c.value);
        EXPECT_EQ(put, c.bytes);
        // Appended after what is there.
        std::string appended(1, 'x');
        AppendLe32(appended, c.value);
        std::string expected(1, 'x');
        expected.append(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(appended, expected);
    }
}

TEST(LittleEndianTest, Le16BytesBothWays) {
    constexpr struct {
        std::uint16_t value;
        std::array<std::uint8_t, 2> bytes;
    } kCases[] = {{0x0000, {0x00, 0x00}}, {0x00FF, {0xFF, 0x00}}, {0x0100, {0x00, 0x01}},
                  {0x8000, {0x00, 0x80}}, {0xFFFF, {0xFF, 0xFF}}, {0x0514, {0x14, 0x05}}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(GetLe16(c.bytes.data()), c.value);
        std::array<std::uint8_t, 2> put{};
        PutLe16(put.data(), c.value);
        EXPECT_EQ(put, c.bytes);
    }
}

}  // namespace
