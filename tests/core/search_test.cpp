// The text search's matching rules, the ranges, and the file replacer.
#include "common/sjis.h"
#include "project/createtree.h"
#include "search/searchpages.h"
#include "support/projectbuilder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace sheaf;
using namespace sheaf::test;
using sheaf::sjis::sj;
namespace stdfs = std::filesystem;

TEST(Search, matchingRules)
{
    struct Case {
        const char* name;
        std::string text;
        std::string needle;
        bool matchCase;
        bool found;
    };
    const Case cases[] = {
        {"case folds when off", "xABCx", "abc", false, true},
        {"case counts when on", "xABCx", "abc", true, false},
        {"a match may begin on a trail byte", sj("ア"), "A", false, true},
        {"no match across LF", "a\nb", "ab", false, false},
        {"no match across CR LF", "a\r\nb", "a\r", true, false},
        {"a lone CR belongs to the line", "a\rb", "a\rb", true, true},
        {"the last line without a break", "one\r\ntwo", "two", true, true},
        {"text ending at an LF-terminated line", "one\ntwo\n", "two", true, true},
        {"only non-letters must match exactly", "a-b", "a_b", false, false},
        {"double-byte text", sj("本文に日本語があります"), sj("日本語"), false, true},
        {"a NUL does not end the text", std::string("x\0yz", 4), "yz", true, true},
        {"empty needle finds nothing", "abc", "", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(search::textContains(c.text, c.needle, c.matchCase), c.found) << c.name;
}

TEST(Search, rangesResultLinesAndUnreadablePages)
{
    TempDir dir;
    ItemList items = makeItems({{0, "a"}, {1, "b"}, {2, "c"}, {1, "d"}, {0, "e"}}, dir.path());
    Outline outline;
    CCreateTree(outline).Execute(items);
    const char* texts[] = {"abc abc abc", "nothing", "ABC\r\n", "x", "abc"};
    for (std::size_t i = 0; i < items.size(); ++i)
        writeBytes(items[i]->sFileName, texts[i]);
    const auto old = stdfs::file_time_type::clock::now() - std::chrono::hours(5);
    stdfs::last_write_time(items[0]->sFileName, old);

    const auto all = search::rangeFor(outline, search::Range::AllPages, 1);
    auto r = search::SearchPages(outline, all.first, all.last, "abc", false);
    EXPECT_EQ(r.found, (std::vector<std::size_t>{0, 2, 4})) << "three occurrences give one result";
    EXPECT_EQ(stdfs::last_write_time(items[0]->sFileName), old) << "pages are only read";
    EXPECT_EQ(stdfs::file_size(items[0]->sFileName), 11u);

    const auto branch = search::rangeFor(outline, search::Range::SelectedAndBelow, 1);
    EXPECT_EQ(branch.first, 1u);
    EXPECT_EQ(branch.last, 2u) << "b and its child c";
    r = search::SearchPages(outline, branch.first, branch.last, "abc", false);
    EXPECT_EQ(r.found, std::vector<std::size_t>{2});
    const auto leaf = search::rangeFor(outline, search::Range::SelectedAndBelow, 2);
    EXPECT_EQ(leaf.last, 2u) << "a leaf covers itself";

    stdfs::remove(items[4]->sFileName);
    stdfs::create_directory(items[4]->sFileName);
    stdfs::remove(items[2]->sFileName);
    r = search::SearchPages(outline, 0, 4, "abc", false);
    EXPECT_EQ(r.found, std::vector<std::size_t>{0}) << "what cannot be read is never found";
    EXPECT_EQ(r.skipped, (std::vector<std::size_t>{2, 4}));

    EXPECT_EQ(search::resultLine(7, sj("概要")), "(0007) " + sj("概要"));
    EXPECT_EQ(search::resultLine(12345, "x"), "(12345) x");
    EXPECT_EQ(search::indexOfResultLine("(12345) x"), 12345);
    EXPECT_EQ(search::indexOfResultLine("no number"), -1);
}

TEST(Replace, rules)
{
    struct Case {
        const char* name;
        std::string text;
        std::string search;
        std::string replace;
        bool matchCase;
        std::string expected; // empty: the file is left alone
    };
    const Case cases[] = {
        {"case folds when off", "ABC abc", "abc", "x", false, "x x"},
        {"only another case: untouched", "ABC", "abc", "x", false, ""},
        {"case counts when on", "ABC abc", "abc", "x", true, "ABC x"},
        {"matches do not overlap", "aaaa", "aa", "b", true, "bb"},
        {"an empty replacement deletes", "a-b-c", "-", "", true, "abc"},
        {"text after a NUL is kept", std::string("a\0b a", 5), "a", "x", true, std::string("x\0b x", 5)},
        {"longer replacement", "aaa", "a", "xyz", true, "xyzxyzxyz"},
        // 83 41 is ア: "A" inside it is not a match, in either mode.
        {"never inside a character, case off", sj("アA"), "A", "B", false, sj("アB")},
        {"never inside a character, case on", sj("アA"), "A", "B", true, sj("アB")},
        {"nor across two characters", sj("ア") + "\x83" "A", "A\x83", "Z", true, sj("ア") + "\x83" "A"},
    };
    for (const auto& c : cases) {
        std::string out;
        const bool replaced = search::replaceText(c.text, c.search, c.replace, c.matchCase, out);
        EXPECT_EQ(replaced ? out : std::string(), c.expected) << c.name;
    }
}

TEST(Replace, filesAreReplacedWholeOrNotAtAll)
{
    TempDir dir;
    const std::string page = dir.file("P0000001.txt");
    writeBytes(page, "abc abc\r\n");
    ::chmod(page.c_str(), 0640);
    search::CRepStrFile file(page);
    EXPECT_EQ(file.Replace("abc", "x", true), search::CRepStrFile::Outcome::Replaced);
    EXPECT_EQ(readBytes(page), "x x\r\n");
    struct stat st {};
    ::stat(page.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "permissions kept";
    EXPECT_EQ(file.Replace("zzz", "x", true), search::CRepStrFile::Outcome::Unchanged);

    // A write limit makes the write fail: the old file stays and the failure is told.
    writeBytes(page, std::string(3000, 'a'));
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        search::CRepStrFile limited(page);
        const bool failed = limited.Replace("a", "bb", true) == search::CRepStrFile::Outcome::Failed &&
                            limited.error().find(sj("ファイルサイズの上限を超えました")) != std::string::npos;
        ::_exit(failed ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readBytes(page), std::string(3000, 'a'));
    for (const auto& e : stdfs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename(), "P0000001.txt") << "no temporary file is left";

    // Pages that cannot be rewritten are collected; the others are still done.
    ItemList items = makeItems({{0, "a"}, {0, "b"}, {0, "c"}}, dir.path());
    Outline outline;
    CCreateTree(outline).Execute(items);
    for (const auto& item : items)
        writeBytes(item->sFileName, "old text");
    ::chmod(items[1]->sFileName.c_str(), 0444);
    const auto r = search::ReplacePages(outline, 0, 2, "old", "new", true);
    EXPECT_EQ(r.rewritten, (std::vector<std::string>{items[0]->sFileName, items[2]->sFileName}));
    ASSERT_EQ(r.failed.size(), 1u);
    EXPECT_EQ(r.failed[0].first, items[1]->sFileName);
    EXPECT_EQ(readBytes(items[1]->sFileName), "old text");
}
