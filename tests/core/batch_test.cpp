#include "common/sjis.h"
#include "html/batch.h"
#include "project/createtree.h"
#include "project/outline.h"
#include "project/project.h"
#include "support/projectbuilder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::html;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

struct BatchFixture {
    TempDir dir;
    ProjectPaths paths = SetProjectPaths(dir.file("m.shf3"));
    ItemList items;
    Outline outline;
    std::vector<std::string> asked;
    std::size_t total = 0;
    std::size_t steps = 0;

    BatchFixture(const std::vector<ItemShape>& shapes, const std::vector<std::string>& pages)
    {
        items = makeItems(shapes, paths.pageFolder);
        for (std::size_t i = 0; i < pages.size(); ++i)
            if (!pages[i].empty())
                writeBytes(items[i]->sFileName, pages[i]);
        CCreateTree(outline).Execute(items);
    }

    BatchResult run(bool continueWithoutSettings, bool ignoreMissing)
    {
        BatchHandler h;
        h.continueWithoutSettings = [&, continueWithoutSettings] {
            asked.push_back("settings");
            return continueWithoutSettings;
        };
        h.ignoreMissingPage = [&, ignoreMissing](const std::string& name) {
            asked.push_back(name);
            return ignoreMissing;
        };
        h.start = [&](std::size_t n) { total = n; };
        h.step = [&] { ++steps; };
        return convertAll(outline, paths, h);
    }
    bool html(const std::string& title) const { return stdfs::exists(paths.htmlFolder + "/" + title + ".htm"); }
};

} // namespace

TEST(BatchConversion, missingSettingsAreAskedFirst)
{
    BatchFixture f({{0, "a"}}, {"A\r\n"});
    BatchResult r = f.run(false, true);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(f.html("a"));
    EXPECT_EQ(f.asked, std::vector<std::string>{"settings"});

    r = f.run(true, true);
    EXPECT_EQ(r.converted, 1u);
    EXPECT_NE(readBytes(f.paths.htmlFolder + "/a.htm").find("charset=shift_jis"), std::string::npos);

    writeBytes(f.paths.htmlIniPath, "[HtmlFontSize]\r\nFirstLineSize=1\r\n");
    f.asked.clear();
    r = f.run(false, true);
    EXPECT_TRUE(f.asked.empty()) << "no question when the file exists";
    EXPECT_NE(readBytes(f.paths.htmlFolder + "/a.htm").find("<h1>A</h1>"), std::string::npos);
}

TEST(BatchConversion, missingPagesTag1AndProgress)
{
    BatchFixture f({{0, "a"}, {1, "b"}, {1, "c"}, {0, "d"}}, {"A", "", "C", "D"});
    f.items[2]->bTag1 = 1;
    BatchResult r = f.run(true, true);
    EXPECT_EQ(f.asked, (std::vector<std::string>{"settings", "b.txt"}));
    EXPECT_EQ(r.converted, 2u);
    EXPECT_EQ(r.missing, 1u);
    EXPECT_EQ(r.skippedTag1, 1u);
    EXPECT_EQ(f.total, 4u) << "the range counts every node";
    EXPECT_EQ(f.steps, 2u) << "only converted pages step";
    EXPECT_TRUE(f.html("a") && f.html("d"));
    EXPECT_FALSE(f.html("c"));

    BatchFixture g({{0, "a"}, {0, "b"}, {0, "c"}}, {"A", "", "C"});
    r = g.run(true, false);
    EXPECT_TRUE(r.aborted);
    EXPECT_TRUE(g.html("a"));
    EXPECT_FALSE(g.html("c"));
}

TEST(BatchConversion, allTag1ConvertsNothing)
{
    BatchFixture f({{0, "a"}, {0, "b"}}, {"A", "B"});
    f.items[0]->bTag1 = f.items[1]->bTag1 = 1;
    const BatchResult r = f.run(true, true);
    EXPECT_EQ(r.converted, 0u);
    EXPECT_TRUE(stdfs::is_empty(f.paths.htmlFolder + "/images") && !f.html("a") && !f.html("b"));
}

TEST(BatchConversion, aFailureEndsTheRunAndNamesTheLastConvertedNode)
{
    BatchFixture f({{0, "a"}, {0, "b"}, {0, "c"}, {0, "d"}},
                   {"A", "B", "C\r\n<pre>\r\n", "D"});
    const BatchResult r = f.run(true, true);
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_EQ(*r.failure, "1 : c.txt" + sjis::sj(" まで処理したところでエラーが発生しました"));
    EXPECT_EQ(r.failureDetail, sjis::sj("<pre> と </pre> との対応関係が一致しません。"));
    EXPECT_TRUE(f.html("a") && f.html("b"));
    EXPECT_FALSE(f.html("c"));
    EXPECT_FALSE(f.html("d"));

    EXPECT_EQ(batchFailureMessage(0, "C:\\x\\P0000009.txt"),
              "0 : P0000009.txt" + sjis::sj(" まで処理したところでエラーが発生しました"));
}

TEST(LinkInsertion, firstTitleInTreeOrderWithoutRegardToCase)
{
    ItemList items = makeItems({{0, "Intro"}, {0, "Setup"}, {1, "setup"}}, "/p");
    items[1]->sFileName = "C:\\doc\\m\\P0000007.txt";
    Outline outline;
    CCreateTree(outline).Execute(items);
    EXPECT_EQ(makePageLink(outline, "setup"), "<a href=\"P0000007.htm\">setup</a>");
    EXPECT_FALSE(makePageLink(outline, "Nothing").has_value());
}

TEST(BatchConversion, parallelOutputIsByteIdenticalAndStopsInOrder)
{
    // A generated project of mixed markup; page 30 fails (an unpaired <pre>).
    std::vector<ItemShape> shapes;
    std::vector<std::string> pages;
    for (int i = 0; i < 60; ++i) {
        shapes.push_back({i % 3 == 2 ? 1 : 0, "p" + std::to_string(i)});
        std::string page = "Page " + std::to_string(i) + "\r\n";
        for (int k = 0; k <= i % 7; ++k)
            page += sjis::sj("・項目 <b>太字</b> & <a href=\"p1.htm\">link</a>\r\n1. 手順\r\n名前\t値\r\n注：メモ\r\n\r\n");
        pages.push_back(page);
    }
    BatchFixture serial(shapes, pages);
    BatchHandler one;
    one.continueWithoutSettings = [] { return true; };
    one.threads = 1;
    ASSERT_EQ(convertAll(serial.outline, serial.paths, one).converted, 60u);
    BatchFixture parallel(shapes, pages);
    BatchHandler four = one;
    four.threads = 4;
    ASSERT_EQ(convertAll(parallel.outline, parallel.paths, four).converted, 60u);
    for (int i = 0; i < 60; ++i) {
        const std::string name = "/p" + std::to_string(i) + ".htm";
        EXPECT_EQ(readBytes(serial.paths.htmlFolder + name), readBytes(parallel.paths.htmlFolder + name)) << name;
    }

    pages[30] = "Broken\r\n<pre>\r\nno end\r\n";
    BatchFixture failing(shapes, pages);
    std::vector<std::size_t> stepsSeen;
    BatchHandler h = four;
    h.step = [&] { stepsSeen.push_back(stepsSeen.size()); };
    const BatchResult r = convertAll(failing.outline, failing.paths, h);
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_EQ(*r.failure, batchFailureMessage(29, "p30.txt"));
    EXPECT_EQ(r.converted, 30u);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(failing.html("p" + std::to_string(i)), i < 30) << i << ": the pages before written, none after";
    for (const auto& e : stdfs::directory_iterator(failing.paths.htmlFolder))
        EXPECT_FALSE(e.path().filename().string().rfind(".sheaf~", 0) == 0) << "no temporary file is left";

    BatchFixture going(shapes, pages);
    BatchHandler keep = four;
    keep.keepGoing = true;
    const BatchResult k = convertAll(going.outline, going.paths, keep);
    EXPECT_FALSE(k.failure.has_value());
    ASSERT_EQ(k.failures.size(), 1u);
    EXPECT_EQ(k.failures[0].first, going.items[30]->sFileName);
    EXPECT_EQ(k.converted, 59u);
    EXPECT_TRUE(going.html("p59"));
}

TEST(BatchConversion, aSecondRunRewritesOnlyThePagesWhoseHtmlChanged)
{
    BatchFixture f({{0, "a"}, {0, "b"}}, {"A\r\ntext\r\n", "B\r\ntext\r\n"});
    ASSERT_EQ(f.run(true, true).converted, 2u);
    const std::string a = f.paths.htmlFolder + "/a.htm", b = f.paths.htmlFolder + "/b.htm";
    const auto old = stdfs::last_write_time(a) - std::chrono::hours(1);
    stdfs::last_write_time(a, old);
    stdfs::last_write_time(b, old);
    const std::string bBefore = readBytes(b);
    writeBytes(f.items[1]->sFileName, "B\r\nother text\r\n");

    const BatchResult r = f.run(true, true);
    EXPECT_EQ(r.converted, 2u) << "an unchanged page still counts as converted";
    EXPECT_EQ(stdfs::last_write_time(a), old);
    EXPECT_NE(stdfs::last_write_time(b), old);
    EXPECT_NE(readBytes(b), bBefore);
    EXPECT_NE(readBytes(b).find("other text"), std::string::npos);
}
