#include "common/error.h"
#include "common/sjis.h"
#include "common/text.h"
#include "html/htmlpatterns.h"
#include "html/inlinetags.h"
#include "html/linerules.h"
#include "html/t2h.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

using namespace sheaf;
using namespace sheaf::html;
using namespace sheaf::test;

namespace {

struct Example {
    std::string name;
    int line = 0;
    std::string settings;
    std::string page;
    std::string expected;
};

// "→" is a tab and \xNN a byte; the text is UTF-8 and becomes Shift-JIS.
std::string decodeExampleText(const std::string& utf8)
{
    std::string s = replaceAll(utf8, "→", "\t");
    std::string out;
    std::size_t i = 0;
    std::string pending;
    auto flush = [&] {
        out += sjis::fromUtf8(pending);
        pending.clear();
    };
    while (i < s.size()) {
        if (s.compare(i, 2, "\\x") == 0 && i + 4 <= s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 3]))) {
            flush();
            out.push_back(static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16)));
            i += 4;
        } else {
            pending.push_back(s[i++]);
        }
    }
    flush();
    return out;
}

std::vector<Example> readExamples(const std::string& file)
{
    std::ifstream in(std::string(SHEAF_TEST_DATA) + "/converter/" + file);
    const std::string fence(32, '`');
    std::vector<Example> examples;
    std::string line;
    int number = 0;
    Example current;
    std::vector<std::string> parts;
    bool inside = false;
    while (std::getline(in, line)) {
        ++number;
        if (!inside && line.rfind(fence + " example", 0) == 0) {
            inside = true;
            current = Example{line.substr(fence.size() + 9), number, {}, {}, {}};
            parts.assign(1, "");
        } else if (inside && line == fence) {
            inside = false;
            if (parts.size() == 3)
                current.settings = parts[0];
            current.page = parts[parts.size() - 2];
            current.expected = parts.back();
            examples.push_back(current);
        } else if (inside && line == ".") {
            parts.emplace_back();
        } else if (inside) {
            parts.back() += line + "\n";
        }
    }
    return examples;
}

std::vector<std::string> lines(const std::string& text) { return splitLines(decodeExampleText(text)); }

// The lines after the title heading up to "</body>".
std::vector<std::string> bodyOf(const std::vector<std::string>& html)
{
    auto begin = std::find(html.begin(), html.end(), "<body>");
    auto end = std::find(html.begin(), html.end(), "</body>");
    if (begin == html.end() || end == html.end() || end < begin + 2)
        return {};
    return {begin + 2, end};
}

std::string show(const std::vector<std::string>& v)
{
    std::string out;
    for (const auto& l : v)
        out += sjis::toUtf8(l) + "\n";
    return out;
}

void runExamples(const std::string& file)
{
    const auto examples = readExamples(file);
    ASSERT_FALSE(examples.empty());
    for (const auto& ex : examples) {
        SCOPED_TRACE(file + ":" + std::to_string(ex.line) + " " + ex.name);
        TempDir dir;
        if (!ex.settings.empty())
            writeBytes(dir.file("p.ini"), decodeExampleText(ex.settings));
        clsT2H converter(dir.file("p.ini"));
        std::vector<std::string> result;
        const std::vector<std::string> expected = lines(ex.expected);
        if (!expected.empty() && expected[0].rfind("error: ", 0) == 0) {
            try {
                converter.ConvertLines(lines(ex.page), result);
                ADD_FAILURE() << "no error; got\n" << show(result);
            } catch (const SheafError& e) {
                EXPECT_NE(std::string(e.what()).find(expected[0].substr(7)), std::string::npos)
                    << sjis::toUtf8(e.what());
            }
            continue;
        }
        converter.ConvertLines(lines(ex.page), result);
        const bool whole = !expected.empty() && expected[0] == "<html>";
        const auto actual = whole ? result : bodyOf(result);
        EXPECT_EQ(show(actual), show(expected));
    }
}

} // namespace

TEST(Converter, examples) { runExamples("examples.txt"); }
TEST(Converter, regressions) { runExamples("regressions.txt"); }

TEST(Converter, pageStoresAreClearedBetweenPages)
{
    clsT2H converter("/nonexistent/p.ini");
    std::vector<std::string> result;
    converter.ConvertLines({"T", "<pre>", "x", "</pre>", "<a href=\"a.htm\">a</a>"}, result);
    EXPECT_EQ(converter.preBlocks().size(), 1u);
    EXPECT_EQ(converter.embeddedTags().size(), 1u);
    converter.ClearPageStores();
    EXPECT_TRUE(converter.preBlocks().empty());
    EXPECT_TRUE(converter.embeddedTags().empty());
    converter.ConvertLines({"T", "<pre>", "y", "</pre>"}, result);
    EXPECT_EQ(std::count(result.begin(), result.end(), "y"), 1);
}

TEST(Converter, blocksComeOutAlikeWhateverTheirShareOfThePage)
{
    // Blocks that are most of the page stay where they are, others are
    // lifted into a list of their own; the HTML must not tell the two apart.
    const std::vector<std::string> block{"<pre>", "a < b", "<a href=\"x.htm\">x</a> &", "</pre>"};
    const auto convert = [&](std::size_t linesAround, bool pagesBetween) {
        std::vector<std::string> page{"T"};
        for (std::size_t i = 0; i < linesAround; ++i)
            page.push_back("line " + std::to_string(i));
        page.insert(page.end(), block.begin(), block.end());
        page.insert(page.end(), block.begin(), block.end());
        for (std::size_t i = 0; i < linesAround; ++i)
            page.push_back("tail " + std::to_string(i));
        clsT2H converter("/nonexistent/p.ini");
        std::vector<std::string> result;
        if (pagesBetween) // stores of an earlier page not cleared: the numbers go on
            converter.ConvertLines({"T", "<pre>", "earlier", "</pre>"}, result);
        converter.ConvertLines(page, result);
        const auto from = std::find(result.begin(), result.end(), "<pre>");
        return std::vector<std::string>(from, from + 8);
    };
    const std::vector<std::string> expected{"<pre>", "a &lt; b", "<a href=\"x.htm\">x</a> &amp;", "</pre>",
                                            "<pre>", "a &lt; b", "<a href=\"x.htm\">x</a> &amp;", "</pre>"};
    for (const std::size_t around : {0u, 1u, 10u})
        for (const bool between : {false, true})
            EXPECT_EQ(convert(around, between), expected) << around << " lines around, earlier page " << between;
}

TEST(Converter, convertFileWritesOnlyWhenTheConversionSucceeds)
{
    TempDir dir;
    writeBytes(dir.file("P1.txt"), "Title\r\n" + sjis::sj("・項目") + "\r\n");
    writeBytes(dir.file("P2.txt"), "Title\r\n<pre>\r\n");
    writeBytes(dir.file("P2.htm"), "old");
    clsT2H converter(dir.file("none.ini"));
    converter.ConvertFile(dir.file("P1.txt"), dir.file("P1.htm"));
    const std::string html = readBytes(dir.file("P1.htm"));
    EXPECT_NE(html.find("<ul>\r\n<li>" + sjis::sj("項目") + "</li>\r\n</ul>\r\n"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 9), "</html>\r\n");
    EXPECT_THROW(converter.ConvertFile(dir.file("P2.txt"), dir.file("P2.htm")), SheafError);
    EXPECT_EQ(readBytes(dir.file("P2.htm")), "old");
    EXPECT_THROW(converter.ConvertFile(dir.file("none.txt"), dir.file("P3.htm")), SheafError);
}

TEST(Converter, lineClassification)
{
    struct Case {
        const char* line;
        LineStyle style;
    };
    const Case cases[] = {
        {"", LineStyle::Empty},          {"a\tb", LineStyle::TableRow},   {"<h2>abcd>", LineStyle::RawHeading},
        {"<h2>abc>", LineStyle::Plain},  {"======", LineStyle::Rule},     {"=====", LineStyle::Plain},
        {"@~#1", LineStyle::Placeholder}, {"@~#", LineStyle::Plain},      {"\x81\x45x", LineStyle::Bullet},
        {"\x81\x45", LineStyle::Bullet}, {"1.", LineStyle::Numbered},     {"1/2.x", LineStyle::Numbered},
        {".1.", LineStyle::Plain},       {"1.5", LineStyle::Plain},       {"a1.", LineStyle::Plain},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(CheckPatternStyle(c.line), c.style);
    }
    EXPECT_EQ(SplitWithTab("a\t\tb"), (std::vector<std::string>{"a", "b"}));
}

namespace {

// The inline pass as first described: save the leftmost tag, replace all its
// occurrences, and search again from the start, until no tag is found. The
// one-pass implementation must give the same line and the same store.
std::string referenceProtect(std::string line, EmbeddedTagStore& store)
{
    maskProtectedTags(line);
    auto loop = [&](const char* contains, const std::regex& pattern, char marker, bool image) {
        while (line.find(contains) != std::string::npos) {
            std::smatch m;
            if (!std::regex_search(line, m, pattern))
                return false;
            const std::string text = m.str(0);
            const std::string tok = marker + std::to_string(store.size()) + marker;
            line = replaceAll(line, text, tok);
            store.push_back(image ? "<img src=" + text.substr(1) : text);
        }
        return true;
    };
    loop("<font ", std::regex(R"(<font [0-9a-zA-Z= "#+]+>)"), kFontMarker, false);
    loop("<a href", std::regex(R"(<a href[ ="]*[-0-9a-zA-Z /:.~@#_ "]*>)"), kAnchorMarker, false);
    while (line.find('.') != std::string::npos) {
        std::string ext;
        for (const char* e : {".gif", ".jpg", ".bmp", ".png"})
            if (line.find(e) != std::string::npos) {
                ext = e;
                break;
            }
        if (ext.empty())
            break;
        const std::regex image("<[ \"]*[./_\\- 0-9~a-zA-Z]+\\" + ext + "[ \"]*>");
        std::smatch m;
        if (!std::regex_search(line, m, image))
            break;
        const std::string text = m.str(0);
        line = replaceAll(line, text, kImageMarker + std::to_string(store.size()) + kImageMarker);
        store.push_back("<img src=" + text.substr(1));
    }
    escapeText(line);
    return line;
}

std::string fastProtect(std::string s, EmbeddedTagStore& store)
{
    maskProtectedTags(s);
    embedFontTags(s, store);
    embedAnchorTags(s, store);
    embedImageTags(s, store);
    escapeText(s);
    return s;
}

} // namespace

TEST(Converter, onePassInlineTagsMatchTheRepeatedSearch)
{
    const std::vector<std::string> pieces{"<a href", "<font ", ".gif", ".png", ".jpg", "<", ">", "\"", " ", "=",
                                          "a",       "x",      "/",    "#",    "<b>",  "</a>", "?", "-", "img", "."};
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> len(1, 14);
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        for (int n = len(rng); n > 0; --n)
            line += pieces[pick(rng)];
        EmbeddedTagStore a;
        EmbeddedTagStore b;
        const std::string expected = referenceProtect(line, a);
        ASSERT_EQ(fastProtect(line, b), expected) << line;
        ASSERT_EQ(b, a) << line;
    }
}

TEST(Converter, pathologicalPagesConvertInLinearTime)
{
    // Guards against hangs only; the benchmark measures the speed.
    using Clock = std::chrono::steady_clock;
    auto convert = [](std::vector<std::string> page) {
        clsT2H converter("/nonexistent/p.ini");
        std::vector<std::string> result;
        const auto start = Clock::now();
        converter.ConvertLines(page, result);
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    auto blocks = [](int n) {
        std::vector<std::string> page{"T"};
        for (int i = 0; i < n; ++i)
            page.insert(page.end(), {"<pre>", "a < b", "</pre>"});
        return page;
    };
    EXPECT_LT(convert(blocks(99)), 20.0);
    EXPECT_THROW(convert(blocks(100)), SheafError);

    std::string tags;
    for (int i = 0; i < 10000; ++i)
        tags += "<a href=\"P" + std::to_string(i) + ".htm\">x</a> <font color=\"#FF0000\">r</font> <i" +
                std::to_string(i) + ".gif> & ";
    EXPECT_LT(convert({"T", tags}), 20.0);

    EXPECT_LT(convert({"T", std::string(1 << 20, 'x') + "<"}), 20.0);
    EXPECT_LT(convert({"T", "<a href" + std::string(1 << 20, ' ')}), 20.0);
    EXPECT_LT(convert({"T", std::string(1 << 19, '<') + std::string(1 << 19, '"')}), 20.0);

    std::vector<std::string> many{"T"};
    for (int i = 0; i < 100000; ++i)
        many.push_back(i % 3 ? "\x81\x45 item" : "plain & <b>text</b>");
    EXPECT_LT(convert(many), 20.0);
}
