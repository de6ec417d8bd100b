#include <windows.h>

#include <gtest/gtest.h>

#include "platform/memory/cp1252_codec.h"
#include "platform/win32/win32_text_codec.h"

namespace {

// The system's code page converts as the fake of the native tests does.
TEST(Win32TextCodec, ConvertsLikeTheWesternCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "the test prefix uses code page " << GetACP();
    const Win32TextCodec system;
    const Cp1252Codec fake;
    const std::string ansi = "caf\xE9 \x80 \x96 x";
    EXPECT_EQ(system.ToUtf8(ansi), fake.ToUtf8(ansi));
    const std::string utf8 = "caf\xC3\xA9 \xE2\x82\xAC \xED\x95\x9C \xF0\x9F\x93\x85";
    std::size_t systemReplaced = 0;
    std::size_t fakeReplaced = 0;
    EXPECT_EQ(system.FromUtf8(utf8, systemReplaced), fake.FromUtf8(utf8, fakeReplaced));
    EXPECT_EQ(systemReplaced, 2u);
    EXPECT_EQ(fakeReplaced, 2u);
}

// Windows would write a look-alike ("c" for "\u010D", "A" for "\u0100")
// without a word; the import counts a "?" instead, as the fake does.
TEST(Win32TextCodec, GivesNoLookAlikesForWhatTheCodePageLacks) {
    if (GetACP() != 1252) GTEST_SKIP() << "the test prefix uses code page " << GetACP();
    const Win32TextCodec system;
    const Cp1252Codec fake;
    const struct {
        const char* utf8;
        const char* ansi;
        std::size_t replaced;
    } cases[] = {
        {"Ko\xC4\x8D\xC3\xADk \xC4\x8C", "Ko?\xEDk ?", 2},  // c and C with caron
        {"\xC4\x80\xC5\x81\xE2\x80\x9C", "??\x93", 2},   // A with macron, L with stroke, a quote the page has
        {"\xEF\xBC\xA1", "?", 1},                             // fullwidth A
    };
    for (const auto& c : cases) {
        std::size_t systemReplaced = 0;
        std::size_t fakeReplaced = 0;
        EXPECT_EQ(system.FromUtf8(c.utf8, systemReplaced), c.ansi) << c.utf8;
        EXPECT_EQ(systemReplaced, c.replaced) << c.utf8;
        EXPECT_EQ(fake.FromUtf8(c.utf8, fakeReplaced), c.ansi) << c.utf8;
        EXPECT_EQ(fakeReplaced, c.replaced) << c.utf8;
    }
}

}  // namespace
