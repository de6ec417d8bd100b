// UTF-8 inside, UTF-16 at the Windows boundary: the one pair of conversions.
#include <gtest/gtest.h>

#include <string>

#include "platform/text_codec.h"

namespace {

// Four scripts and a character outside the Basic Multilingual Plane.
const std::string kCyrillic = "\xD0\x92\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB0";  // Встреча
const std::string kChinese = "\xE4\xBC\x9A\xE8\xAE\xAE";                                   // 会议
const std::string kGreek = "\xCE\xA3\xCF\x8D\xCE\xBD\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82";      // Σύνοδος
const std::string kEmoji = "\xF0\x9F\x99\x82";                                             // U+1F642

TEST(TextCodec, RoundTripsEveryScriptThroughUtf16) {
    const std::string text = "Zo\xC3\xAB " + kCyrillic + " " + kChinese + " " + kGreek + " " + kEmoji;
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"Zo\u00EB \u0412\u0441\u0442\u0440\u0435\u0447\u0430 \u4F1A\u8BAE "
                    u"\u03A3\u03CD\u03BD\u03BF\u03B4\u03BF\u03C2 \U0001F642");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_EQ(Utf16Length(text), wide.size());
    EXPECT_EQ(Utf16Length(kEmoji), 2u);
}

// Windows hands over whatever a control or a value holds; no half character
// reaches the program's text.
TEST(TextCodec, LoneSurrogatesBecomeTheReplacementCharacter) {
    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        std::u16string wide;
        std::string utf8;
    } cases[] = {
        {u"a\xD83D", "a" + replacement},                 // a high half at the end
        {u"\xDE42z", replacement + "z"},                  // a low half first
        {u"\xD83D\xD83D\xDE42", replacement + kEmoji},    // two highs, then a pair
        {std::u16string(u"x\0y", 3), std::string("x\0y", 3)},  // a zero stays (REG_MULTI_SZ)
    };
    for (const auto& c : cases) EXPECT_EQ(Utf16ToUtf8(c.wide), c.utf8);
}

// What is not UTF-8 loses only its own bytes, each counted once.
TEST(TextCodec, InvalidUtf8LosesOnlyTheBadBytes) {
    const struct {
        std::string text;
        std::string valid;
        std::size_t replaced;
        std::u16string wide;
    } cases[] = {
        {"caf\xE9!", "caf?!", 1, u"caf\uFFFD!"},                                  // a Windows-1252 letter
        {"\xC0\xAF", "??", 2, u"\uFFFD\uFFFD"},                                   // an overlong "/"
        {"\xED\xA0\xBD", "???", 3, u"\uFFFD\uFFFD\uFFFD"},                        // an encoded surrogate
        {"\xF4\x90\x80\x80", "????", 4, u"\uFFFD\uFFFD\uFFFD\uFFFD"},             // above U+10FFFF
        {"ok \xE4\xBC", "ok ??", 2, u"ok \uFFFD\uFFFD"},                          // cut at the end
        {"\xE4\xBC" + kChinese, "??" + kChinese, 2, u"\uFFFD\uFFFD\u4F1A\u8BAE"},  // cut, then whole
        {kCyrillic + kEmoji, kCyrillic + kEmoji, 0, Utf8ToUtf16(kCyrillic) + u"\U0001F642"},
    };
    for (const auto& c : cases) {
        std::size_t replaced = 0;
        EXPECT_EQ(ValidUtf8(c.text, replaced), c.valid) << c.valid;
        EXPECT_EQ(replaced, c.replaced) << c.valid;
        EXPECT_EQ(Utf8ToUtf16(c.text), c.wide) << c.valid;
    }
}

// The editor's 50 characters as Windows counts them: 50 Chinese characters
// or 25 emoji fit; a cut never splits a character.
TEST(TextCodec, LimitsCountUtf16UnitsAndNeverSplitACharacter) {
    std::string chinese;
    std::string emoji;
    for (int i = 0; i < 50; ++i) chinese += kChinese.substr(0, 3);
    for (int i = 0; i < 25; ++i) emoji += kEmoji;
    EXPECT_EQ(Utf16Length(chinese), 50u);
    EXPECT_EQ(Utf16Length(emoji), 50u);
    EXPECT_EQ(CutUtf8(chinese, 50), chinese);
    EXPECT_EQ(CutUtf8(emoji, 50), emoji);
    EXPECT_EQ(CutUtf8(chinese, 49), chinese.substr(0, 147));
    // 49 units hold 24 emoji, not 24 and a half.
    EXPECT_EQ(CutUtf8(emoji, 49), emoji.substr(0, 96));
    EXPECT_EQ(CutUtf8("a" + kEmoji, 2), "a");
    EXPECT_EQ(CutUtf8("", 0), "");

    const std::u16string wide = Utf8ToUtf16("a" + kEmoji + "b");
    EXPECT_EQ(CutUtf16(wide, 3), wide.substr(0, 3));
    EXPECT_EQ(CutUtf16(wide, 2), u"a");
    EXPECT_EQ(CutUtf16(wide, 9), wide);
}

}  // namespace
