// The size report and the three text outputs, byte for byte.
#include "common/error.h"
#include "common/sjis.h"
#include "project/createtree.h"
#include "reports/outputs.h"
#include "support/projectbuilder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace sheaf;
using namespace sheaf::test;
using sheaf::sjis::sj;

TEST(Reports, sizeReportPadsToTheLongestTopLevelTitle)
{
    TempDir dir;
    ItemList items = makeItems({{0, sj("はじめに")}, {1, "child1"}, {1, "child2"}, {0, sj("使い方")}}, dir.path());
    items[0]->sFileName = dir.file("p1.txt");
    items[3]->sFileName = dir.file("p4.txt");
    Outline outline;
    CCreateTree(outline).Execute(items);
    writeBytes(items[0]->sFileName, std::string(12000, 'a'));
    writeBytes(items[1]->sFileName, std::string(300, 'b'));
    writeBytes(items[2]->sFileName, std::string(45, 'c')); // one branch: the sum of three files
    writeBytes(items[3]->sFileName, std::string(6789, 'd'));
    const auto lines = reports::sizeReport(outline);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], sj("はじめに") + "    \t    12,345");
    EXPECT_EQ(lines[1], sj("使い方") + "      \t     6,789");
    EXPECT_EQ(lines[2], " ");
    EXPECT_EQ(lines[3], sj("合計バイト数\t\t") + "19,134");
    std::filesystem::remove(items[3]->sFileName);
    EXPECT_EQ(reports::sizeReport(outline)[1], sj("使い方") + "      \t         0") << "a missing page counts 0";
}

TEST(Reports, outputsAreExactAndReplaced)
{
    TempDir dir;
    ItemList items = makeItems({{0, "a"}, {1, "b"}, {0, "c\"q"}}, dir.path());
    Outline outline;
    CCreateTree(outline).Execute(items);
    writeBytes(items[0]->sFileName, "A1\r\nA2\r\n");
    writeBytes(items[1]->sFileName, "B1");
    writeBytes(items[2]->sFileName, "");
    const std::string project = dir.file("Manual.shf3");

    const std::string titles = reports::writeOutput(project, outline, reports::Output::Titles);
    EXPECT_EQ(titles, dir.file("Manual_Node.txt"));
    EXPECT_EQ(readBytes(titles), "a\r\n\tb\r\nc\"q\r\n");
    const std::string all = reports::writeOutput(project, outline, reports::Output::AllPages);
    EXPECT_EQ(readBytes(all), "A1\r\nA2\r\n\r\n\r\nB1\r\n\r\n\r\n\r\n\r\n");
    const std::string paths = reports::writeOutput(project, outline, reports::Output::PathList);
    EXPECT_EQ(readBytes(paths), "\"" + dir.file("a.txt") + "\"\r\n\"" + dir.file("b.txt") + "\"\r\n\"" +
                                    dir.file("c\"\"q.txt") + "\"\r\n")
        << "a double quote inside is doubled";

    writeBytes(items[1]->sFileName, "changed");
    reports::writeOutput(project, outline, reports::Output::AllPages);
    EXPECT_NE(readBytes(all).find("changed"), std::string::npos) << "running again replaces the file";

    // A page that cannot be read: no output is written.
    std::filesystem::remove(items[1]->sFileName);
    const std::string before = readBytes(all);
    EXPECT_THROW(reports::writeOutput(project, outline, reports::Output::AllPages), SheafError);
    EXPECT_EQ(readBytes(all), before);
}
