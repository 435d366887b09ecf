#include "common/sjis.h"

#include <gtest/gtest.h>

#include <random>

using namespace sheaf;

namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

// Decoding and encoding back must give the identical bytes, through UTF-16 and UTF-8.
void expectRoundTrip(const std::string& s)
{
    ASSERT_EQ(sjis::fromUtf16(sjis::toUtf16(s)), s);
    ASSERT_EQ(sjis::fromUtf8(sjis::toUtf8(s)), s);
}

} // namespace

TEST(SjisCodec, everySingleByteRoundTrips)
{
    for (int b = 0; b < 256; ++b)
        expectRoundTrip(bytes({b}));
}

TEST(SjisCodec, everyTwoByteSequenceRoundTrips)
{
    for (int lead = 0; lead < 256; ++lead)
        for (int trail = 0; trail < 256; ++trail) {
            SCOPED_TRACE(testing::Message() << std::hex << lead << " " << trail);
            expectRoundTrip(bytes({lead, trail}));
            expectRoundTrip("x" + bytes({lead, trail}) + "\r\n");
        }
}

TEST(SjisCodec, randomStringsRoundTrip)
{
    std::mt19937 rng(932);
    std::uniform_int_distribution<int> len(0, 64);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        for (int n = len(rng); n > 0; --n)
            s.push_back(static_cast<char>(byte(rng)));
        expectRoundTrip(s);
    }
}

TEST(SjisCodec, leadBytesWithoutTrail)
{
    struct Case {
        const char* name;
        std::string input;
        std::u16string decoded;
    };
    const Case cases[] = {
        {"lone lead byte at the end", "ab" + bytes({0x82}), u"ab\uF782"},
        {"lead byte before CR LF", bytes({0x82, 0x0D, 0x0A}), u"\uF782\r\n"},
        {"lead byte before an invalid trail", bytes({0x82, 0x7F}), u"\uF782\u007F"},
        {"byte 0x80 and 0xFD..0xFF", bytes({0x80, 0xFD, 0xFE, 0xFF}), u"\uF780\uF7FD\uF7FE\uF7FF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sjis::toUtf16(c.input), c.decoded);
        expectRoundTrip(c.input);
    }
}

TEST(SjisCodec, decodesToTheCharactersItHolds)
{
    struct Case {
        const char* name;
        std::string input;
        std::u16string decoded;
    };
    const Case cases[] = {
        {"0x5C is a backslash", "C:\\doc", u"C:\\doc"},
        {"0x7E is a tilde", "~/x", u"~/x"},
        {"kanji", bytes({0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA}), u"日本語"},
        {"trail byte 0x5C", bytes({0x95, 0x5C}), u"表"},
        {"full-width at sign and space", bytes({0x81, 0x97, 0x81, 0x40}), u"＠\u3000"},
        {"half-width katakana", bytes({0xB1}), u"ｱ"},
        {"NEC row 13 duplicate", bytes({0x87, 0x90}), u"\u2252\uFE00"},
        {"standard code of the same character", bytes({0x81, 0xE0}), u"\u2252"},
        {"IBM extension duplicate", bytes({0xFA, 0x4A}), u"\u2160\uFE00"},
        {"NEC row 13 Roman numeral one", bytes({0x87, 0x54}), u"\u2160"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sjis::toUtf16(c.input), c.decoded);
    }
}

TEST(SjisCodec, duplicateCodesAreTheNonRoundTrippingPairs)
{
    int duplicates = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead)
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::u16string text = sjis::toUtf16(bytes({lead, trail}));
            if (text.size() >= 2 && text.back() >= 0xFE00 && text.back() <= 0xFE0F)
                ++duplicates;
        }
    EXPECT_EQ(duplicates, 398);
}

TEST(SjisCodec, encodesUnicodeText)
{
    EXPECT_EQ(sjis::sj("注：日本語"), bytes({0x92, 0x8D, 0x81, 0x46, 0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA}));
    EXPECT_EQ(sjis::byteLength(u"日本a"), 5u);

    std::size_t unmappable = 0;
    EXPECT_EQ(sjis::fromUtf8("a\xF0\x9F\x98\x80" "b", &unmappable), "a?b");
    EXPECT_EQ(unmappable, 1u);
    EXPECT_EQ(sjis::fromUtf16(u"x\u00E9", &unmappable), "x?");
    EXPECT_EQ(unmappable, 1u);
    EXPECT_EQ(sjis::fromUtf8(std::string("a\0b", 3), &unmappable), std::string("a\0b", 3));
    EXPECT_EQ(unmappable, 0u);
}

TEST(SjisCodec, encodesWhatInputMethodsTypeWhileDecodingStaysExact)
{
    struct Case {
        const char* name;
        char16_t typed;
        std::string bytes;
    };
    const Case cases[] = {
        {"wave dash", u'\u301C', bytes({0x81, 0x60})},        {"minus sign", u'\u2212', bytes({0x81, 0x7C})},
        {"double vertical line", u'\u2016', bytes({0x81, 0x61})}, {"em dash", u'\u2014', bytes({0x81, 0x5C})},
        {"cent sign", u'\u00A2', bytes({0x81, 0x91})},         {"pound sign", u'\u00A3', bytes({0x81, 0x92})},
        {"not sign", u'\u00AC', bytes({0x81, 0xCA})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t unmappable = 0;
        EXPECT_EQ(sjis::fromUtf16(std::u16string(1, c.typed), &unmappable), c.bytes);
        EXPECT_EQ(unmappable, 0u);
        // The stored bytes decode as before and encode back to themselves.
        EXPECT_NE(sjis::toUtf16(c.bytes), std::u16string(1, c.typed));
        EXPECT_EQ(sjis::fromUtf16(sjis::toUtf16(c.bytes)), c.bytes);
    }
}
