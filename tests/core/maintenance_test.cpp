// The maintenance utility's operations: renumbering, splitting, moving
// unused files away and tag 2.
#include "common/sjis.h"
#include "project/pagefiles.h"
#include "project/project.h"
#include "project/shffile.h"
#include "support/projectbuilder.h"
#include "support/tempdir.h"
#include "utility/maintenance.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
using sheaf::sjis::sj;
namespace stdfs = std::filesystem;

namespace {

// A project at dir/name.shf3 whose items' pages are the given paths (created
// with their title as content unless the path is empty or already exists).
std::string writeUtilityProject(const TempDir& dir, const std::string& name, const std::vector<std::string>& pages)
{
    ItemList items;
    int serial = 10;
    for (const auto& page : pages) {
        auto item = std::make_unique<FILEDATA>();
        item->nSerial = serial++;
        item->sFileName = page;
        item->sTitle = stdfs::path(page).stem().string();
        if (!page.empty() && !stdfs::exists(page)) {
            stdfs::create_directories(stdfs::path(page).parent_path());
            writeBytes(page, item->sTitle);
        }
        items.push_back(std::move(item));
    }
    const std::string path = dir.file(name + ".shf3");
    std::string data = std::string("SHF3") + std::string(24, '\0');
    const std::int32_t count = static_cast<std::int32_t>(items.size());
    data.append(reinterpret_cast<const char*>(&count), 4);
    data.resize(kHeaderSize, '\0');
    for (const auto& item : items)
        data += encodeRecord(*item, 0);
    writeBytes(path, data);
    return path;
}

ItemList read(const std::string& path)
{
    ItemList items;
    CReadSHFFile(items, path).ReadFile(isCurrentLayoutPath(path));
    return items;
}

} // namespace

TEST(Renumber, inputChecksInTheirOrder)
{
    struct Case {
        const char* name;
        const char* count;
        const char* start;
        std::string prefix;
        std::string message; // empty: accepted
    };
    const Case cases[] = {
        {"nominal", "50", "1", "VA", ""},
        {"nominal: pa is no P", "5", "1", "pa", ""},
        {"nominal: one full-width character", "5", "1", sj("表"), ""},
        {"too many files", "1000000", "1", "VA", sj("ファイル数が異常に多いようです\n処理を中止します")},
        {"start 0", "5", "0", "VA", sj("シリアルの開始番号として入力可能な数値は 1 ～ 999,999 の範囲です")},
        {"start 1000000", "5", "1000000", "VA", sj("シリアルの開始番号として入力可能な数値は 1 ～ 999,999 の範囲です")},
        {"start not digits", "5", "12a", "VA", sj("数字以外の文字が含まれています")},
        {"empty prefix", "5", "1", "", sj("ファイル名のプリフィックスを入力してください")},
        {"prefix p", "5", "1", "p", sj("プリフィックスとして、\"P\" または \"p\" は使えません")},
        {"two full-width characters", "5", "1", sj("表示"), sj("プリフィックスは、半角 3 文字以内です")},
    };
    for (const auto& c : cases) {
        const auto refused = utility::checkRenumberInput(c.count, c.start, c.prefix);
        EXPECT_EQ(refused ? refused->message : std::string(), c.message) << c.name;
    }
    EXPECT_EQ(utility::renumberedName("ABC", 1), "ABC00001.txt");
    EXPECT_EQ(utility::renumberedName("A", 1), "A0000001.txt");
    EXPECT_EQ(utility::renumberedName("AB", 1000000), "AB1000000.txt") << "the number grows past its width";
}

TEST(Renumber, renamesPagesSetsSerialsAndBacksUp)
{
    TempDir dir;
    std::vector<std::string> pages;
    for (int i = 0; i < 50; ++i)
        pages.push_back(dir.file("M/" + pageFileName(i + 1)));
    pages[7] = dir.file("elsewhere/" + pageFileName(8)); // keeps its folder
    const std::string path = writeUtilityProject(dir, "M", pages);
    const std::string before = readBytes(path);
    const auto r = utility::renumber(path, "VA", 1);
    EXPECT_EQ(r.renamed.size(), 50u);
    EXPECT_EQ(readBytes(dir.file("M_shf.bak")), before);
    std::int32_t next = 0;
    const ItemList items = utility::readProject(path, &next);
    EXPECT_EQ(next, 51);
    EXPECT_EQ(items[0]->nSerial, 1);
    EXPECT_EQ(items[0]->sFileName, dir.file("M/VA000001.txt"));
    EXPECT_EQ(readBytes(dir.file("M/VA000001.txt")), "P0000001");
    EXPECT_EQ(items[7]->sFileName, dir.file("elsewhere/VA000008.txt"));
    EXPECT_EQ(readBytes(dir.file("elsewhere/VA000008.txt")), "P0000008");

    // Renumbering again with names that are each other's: two steps make it safe.
    const auto again = utility::renumber(path, "VA", 2);
    const ItemList shifted = utility::readProject(path);
    for (std::size_t i = 0; i < shifted.size(); ++i)
        EXPECT_EQ(readBytes(shifted[i]->sFileName), "P" + std::string(7 - std::to_string(i + 1).size(), '0') + std::to_string(i + 1))
            << "item " << i << " still has its own page";
}

TEST(Renumber, aTakenNameOrAFailedRenameChangesNothing)
{
    TempDir dir;
    const std::string path = writeUtilityProject(dir, "M", {dir.file("M/a.txt"), dir.file("M/b.txt")});
    writeBytes(dir.file("M/XY000002.txt"), "a file of nobody");
    const std::string before = readBytes(path);
    EXPECT_THROW(utility::renumber(path, "XY", 1), SheafError);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_TRUE(stdfs::exists(dir.file("M/a.txt")));
    EXPECT_FALSE(stdfs::exists(dir.file("M_shf.bak"))) << "refused before anything changed";
    EXPECT_EQ(readBytes(dir.file("M/XY000002.txt")), "a file of nobody");

    // Item 1's "page" is a folder that holds files: the second step of item
    // 0's rename fails half way, and everything goes back.
    stdfs::remove(dir.file("M/XY000002.txt"));
    const std::string broken = writeUtilityProject(dir, "N", {dir.file("N/x.txt"), dir.file("N/ZZ000001.txt"), dir.file("N/y.txt")});
    stdfs::remove(dir.file("N/ZZ000001.txt"));
    stdfs::create_directories(dir.file("N/ZZ000001.txt/inside"));
    const std::string brokenBefore = readBytes(broken);
    EXPECT_THROW(utility::renumber(broken, "ZZ", 1), SheafError);
    EXPECT_EQ(readBytes(broken), brokenBefore);
    EXPECT_EQ(readBytes(dir.file("N/x.txt")), "x");
    EXPECT_EQ(readBytes(dir.file("N/y.txt")), "y");
    EXPECT_FALSE(stdfs::exists(dir.file("N/ZZ000003.txt")));
    for (const auto& e : stdfs::directory_iterator(dir.file("N")))
        EXPECT_NE(e.path().filename().string().rfind(".sheafrenum", 0), 0u) << e.path();
}

TEST(Renumber, aLegacyProjectIsWrittenAsShf3)
{
    TempDir dir;
    const std::string shf3 = writeUtilityProject(dir, "L", {dir.file("L/a.txt")});
    ItemList items = read(shf3);
    // The legacy layout: records from 160, tags in one byte, no keywords.
    std::string data = readBytes(shf3).substr(0, 160);
    data += std::string("\x01\x00\x00", 3);
    const std::int32_t level = 0, serial = 5;
    data.append(reinterpret_cast<const char*>(&level), 4);
    data.append(reinterpret_cast<const char*>(&serial), 4);
    for (const std::string& s : {items[0]->sFileName, items[0]->sTitle}) {
        const std::int32_t n = static_cast<std::int32_t>(s.size());
        data.append(reinterpret_cast<const char*>(&n), 4);
        data += s;
    }
    stdfs::remove(shf3);
    writeBytes(dir.file("L.shf"), data);
    utility::renumber(dir.file("L.shf"), "LG", 1);
    EXPECT_FALSE(stdfs::exists(dir.file("L.shf")));
    EXPECT_EQ(read(dir.file("L.shf3"))[0]->sFileName, dir.file("L/LG000001.txt"));
    EXPECT_TRUE(stdfs::exists(dir.file("L_shf.bak")));
}

TEST(Split, piecesAtKeywordLines)
{
    struct Case {
        const char* name;
        std::string input;
        std::vector<std::string> existing;
        std::vector<std::pair<std::string, std::string>> pieces; // file, content
    };
    const Case cases[] = {
        {"nominal", "a\r\n@@\r\nb\r\nc\r\n@@\r\nd\r\n", {},
         {{"VA000001.txt", "a\r\n"}, {"VA000002.txt", "b\r\nc\r\n"}, {"VA000003.txt", "d\r\n"}}},
        {"a keyword line first gives an empty piece", "@@\nx\n", {}, {{"VA000001.txt", ""}, {"VA000002.txt", "x\r\n"}}},
        {"a keyword line last stays in the last piece", "x\r@@", {}, {{"VA000001.txt", "x\r\n"}, {"VA000002.txt", "@@\r\n"}}},
        {"two keyword lines in a row", "a\n@@\n@@ more\nb\n", {}, {{"VA000001.txt", "a\r\n"}, {"VA000002.txt", "@@ more\r\nb\r\n"}}},
        {"existing files are skipped", "a\n@@\nb\n@@\nc\n", {"VA000001.txt", "VA000003.txt"},
         {{"VA000002.txt", "a\r\n"}, {"VA000004.txt", "b\r\n"}, {"VA000005.txt", "c\r\n"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(dir.file("in.txt"), c.input);
        for (const auto& e : c.existing)
            writeBytes(dir.file(e), "old");
        const auto written = utility::splitFile(dir.file("in.txt"), "@@", "VA");
        ASSERT_EQ(written.size(), c.pieces.size());
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            EXPECT_EQ(written[i], dir.file(c.pieces[i].first));
            EXPECT_EQ(readBytes(written[i]), c.pieces[i].second);
        }
        for (const auto& e : c.existing)
            EXPECT_EQ(readBytes(dir.file(e)), "old");
    }
    TempDir dir;
    writeBytes(dir.file("in.txt"), "x");
    EXPECT_EQ(utility::splitFile(dir.file("in.txt"), "@@", "ABCD")[0], dir.file("ABCD0001.txt"));
    struct Check {
        std::string file, keyword, prefix, field;
    };
    const Check checks[] = {{dir.file("none.txt"), "@@", "VA", "edtSplitFileName"},
                            {dir.file("in.txt"), "", "VA", "edtSplitKeyword"},
                            {dir.file("in.txt"), "@@", "", "edtSplitPrefix"},
                            {dir.file("in.txt"), "@@", "ABCDE", "edtSplitPrefix"},
                            {dir.file("in.txt"), "@@", "p", "edtSplitPrefix"}};
    for (const auto& c : checks)
        EXPECT_EQ(utility::checkSplitInput(c.file, c.keyword, c.prefix).value_or(utility::InputError{}).field, c.field);
    EXPECT_FALSE(utility::checkSplitInput(dir.file("in.txt"), "@@", "pa").has_value());
}

TEST(Clean, unusedFilesMoveToTheBackupFolder)
{
    TempDir dir;
    const std::string path = writeUtilityProject(dir, "M", {dir.file("M/P0000001.txt"), dir.file("M/P0000004.txt")});
    for (int n : {2, 3, 5})
        writeBytes(dir.file("M/" + pageFileName(n)), "x");
    writeBytes(dir.file("M/.hidden"), "h");
    stdfs::create_directories(dir.file("M/Backup"));
    writeBytes(dir.file("M/Backup/P0000005.txt"), "older backup");

    const auto r = utility::moveUnneededFiles(path, dir.file("M"));
    EXPECT_EQ(r.moved, (std::vector<std::string>{dir.file("M/P0000002.txt"), dir.file("M/P0000003.txt")}));
    EXPECT_EQ(r.kept, std::vector<std::string>{dir.file("M/P0000005.txt")}) << "never replaces a backup";
    EXPECT_EQ(readBytes(dir.file("M/Backup/P0000005.txt")), "older backup");
    EXPECT_TRUE(stdfs::exists(dir.file("M/P0000001.txt")));
    EXPECT_TRUE(stdfs::exists(dir.file("M/.hidden")));
    EXPECT_TRUE(stdfs::exists(dir.file("M/Backup/P0000003.txt")));

    // The used test ignores letter case.
    writeBytes(dir.file("M/P0000009.txt"), "y");
    const std::string upper = writeUtilityProject(dir, "U", {dir.file("M/p0000009.TXT")});
    const auto r2 = utility::moveUnneededFiles(upper, dir.file("M"));
    EXPECT_EQ(std::count(r2.moved.begin(), r2.moved.end(), dir.file("M/P0000009.txt")), 0);
}

TEST(Tag2, itemsUsedByTheReferenceAreTagged)
{
    TempDir dir;
    std::vector<std::string> pages;
    for (int n = 1; n <= 10; ++n)
        pages.push_back(dir.file("M/" + pageFileName(n)));
    const std::string first = writeUtilityProject(dir, "M", pages);
    ItemList items = read(first);
    items[0]->bTag2 = 1; // cleared by the run
    rewriteKeepingHeader(first, items);
    const std::string header = readBytes(first).substr(0, 300);
    std::vector<std::string> used{pages[2], pages[3], pages[5], pages[9]};
    used[1] = dir.file("m/P0000004.TXT");
    const std::string second = writeUtilityProject(dir, "R", used);
    EXPECT_EQ(utility::adjustTag2(first, second), 4u);
    const ItemList after = read(first);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(after[static_cast<std::size_t>(i)]->bTag2, (i == 2 || i == 3 || i == 5 || i == 9) ? 1 : 0) << i;
    EXPECT_EQ(readBytes(first).substr(0, 300), header);

    const std::string same = writeUtilityProject(dir, "S", pages);
    EXPECT_THROW(utility::adjustTag2(first, same), utility::InputRefused);
}
