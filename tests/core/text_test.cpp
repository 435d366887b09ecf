#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"

#include <gtest/gtest.h>

using namespace sheaf;
using sheaf::sjis::sj;

namespace {
struct Case {
    const char* name;
    std::string input;
    std::string expected;
};

void runTable(std::initializer_list<Case> cases, std::string (*fn)(std::string_view))
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fn(c.input), c.expected);
    }
}
} // namespace

TEST(TextHelpers, trimEx)
{
    runTable({{"empty", "", ""},
              {"blanks and controls", " \t a b \r\n", "a b"},
              {"two blanks around one letter", "  a  ", "a"},
              {"full-width spaces around text", sj("\u3000\u3000本文\u3000"), sj("本文")},
              {"full-width space inside stays", sj("\u3000A\u3000B\u3000"), sj("A\u3000B")},
              {"only blanks and full-width spaces", sj(" \u3000 \u3000"), ""},
              {"0x81 not followed by 0x40 ends the skipping", sj("\u3001x"), sj("\u3001x")},
              {"trail byte 0x40 of another character stays", sj("x\u30A1"), sj("x\u30A1")},
              {"81 40 inside a character is no full-width space", sj("x\uFF41") + "@", sj("x\uFF41") + "@"},
              {"81 40 after a double-byte character is one", sj("\uFF41\u3000"), sj("\uFF41")},
              {"mark bytes are blanks outside the converter", "\x07" "b\x08", "b"}},
             [](std::string_view s) { return TrimEx(s); });
    const std::string masked = "\x07" "b\x08x\x07/b\x08";
    EXPECT_EQ(TrimEx(" " + masked + " ", true), masked) << "masked tags at both ends stay whole";
}

TEST(TextHelpers, titleFromFirstLine)
{
    const std::string a85(85, 'a');
    const std::string a79(79, 'a');
    runTable({{"blank line", "   ", "(untitled)"},
              {"one character with blanks", " x ", "x"},
              {"85 single bytes", a85, std::string(80, 'a') + "..."},
              {"lead byte at byte 80", a79 + sj("日本"), a79 + "..."},
              {"exactly 80 bytes", std::string(80, 'b'), std::string(80, 'b')},
              {"full-width spaces trimmed", sj("\u3000\u3000見出し\u3000"), sj("見出し")}},
             [](std::string_view s) { return titleFromFirstLine(s); });
}

TEST(TextHelpers, caseInsensitiveFindNeverStartsOnATrailByte)
{
    // "ア" is 0x83 0x41: its trail byte is an 'A'.
    const std::string katakanaA = sj("ア");
    EXPECT_EQ(findNoCase(katakanaA, "a"), std::string::npos);
    EXPECT_EQ(findNoCase(katakanaA + "xA", "a"), 3u);
    EXPECT_EQ(findNoCase("Hello World", "WORLD"), 6u);
    EXPECT_EQ(findNoCase(sj("表\\"), "\\"), 2u); // 0x5C as a trail byte of 表 is skipped
    EXPECT_EQ(asciiLower(katakanaA + "AB"), katakanaA + "ab");
    EXPECT_TRUE(equalsNoCase("KeyWord", "keyword"));
    EXPECT_FALSE(equalsNoCase("keyword:", "keyword"));
}

TEST(TextHelpers, numberFormatting)
{
    EXPECT_EQ(formatNumber(std::int64_t{1234567}), "1,234,567");
    EXPECT_EQ(formatNumber(std::int64_t{0}), "0");
    EXPECT_EQ(formatNumber(std::int64_t{-1000}), "-1,000");
    EXPECT_EQ(formatNumber(1234.5, 2, "Size "), "Size 1,234.50");
    EXPECT_EQ(formatNumber(999.0, 0, {}), "999");
}

TEST(TextHelpers, lines)
{
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(joinLines({"a", ""}), "a\r\n\r\n");
    EXPECT_EQ(cutBytes(sj("ab日本"), 3), "ab");
    EXPECT_EQ(cutBytes(sj("ab日本"), 4), sj("ab日"));
}

TEST(PathHelpers, nameParts)
{
    EXPECT_EQ(fileNamePart("C:\\doc\\Manual\\P0000001.txt"), "P0000001.txt");
    EXPECT_EQ(fileNamePart("/doc/manual/P0000001.txt"), "P0000001.txt");
    EXPECT_EQ(fileNamePart(sj("C:\\doc\\表.txt")), sj("表.txt")); // 0x5C trail byte is no separator
    EXPECT_EQ(folderPart("/doc/manual/P1.txt"), "/doc/manual");
    EXPECT_EQ(folderPart("/P1.txt"), "/");
    EXPECT_EQ(BaseName("/doc/manual.tar.gz"), "manual.tar");
    EXPECT_EQ(BaseName("/doc/README"), "README");
    EXPECT_EQ(BaseName("/doc.d/README"), "README");
    EXPECT_EQ(extensionLower("/x/a.SHF3"), ".shf3");
    EXPECT_EQ(changeExtension("/x/a.shf", ".shf3"), "/x/a.shf3");
    EXPECT_EQ(changeExtension("/x.y/a", ".ini"), "/x.y/a.ini");
    EXPECT_EQ(joinPath("/doc/", "P1.txt"), "/doc/P1.txt");
    EXPECT_EQ(joinPath("/", "P1.txt"), "/P1.txt");
    EXPECT_EQ(HtmlFileName("/doc/html", "C:\\doc\\Manual\\P0000012.txt"), "/doc/html/P0000012.htm");
}

TEST(PathHelpers, shortenFolder)
{
    runTable({{"two bytes", "D:", "D:"},
              {"drive and folder", "D:\\work\\pages", "D:\\work"},
              {"first folder with a blank", "C:\\My Documents\\x", "C:\\My"},
              {"slash path", "/work/pages/x", "/work"},
              {"single component", "pages", "pages"}},
             shortenFolder);
}
