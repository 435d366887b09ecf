// Runs the sheaf command as a user or a script would.
#include "common/sjis.h"
#include "project/createtree.h"
#include "project/outline.h"
#include "project/shffile.h"
#include "support/projectbuilder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>

#include "common/sjis.h"

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

struct CommandResult {
    int status;
    std::string out;
    std::string err;
};

std::string quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CommandResult shellCommand(const TempDir& dir, const std::string& setup, const std::vector<std::string>& args);

CommandResult sheafCommand(const TempDir& dir, const std::vector<std::string>& args)
{
    return shellCommand(dir, "", args);
}

// As sheafCommand, with shell set-up (a ulimit) before it; a command that
// hangs is stopped after a while and shows as status 124.
CommandResult shellCommand(const TempDir& dir, const std::string& setup, const std::vector<std::string>& args)
{
    std::string cmd = "cd " + quote(dir.path()) + " && " + setup + " timeout 30 " + quote(SHEAF_BIN);
    for (const auto& a : args)
        cmd += " " + quote(a);
    cmd += " >" + quote(dir.file(".out")) + " 2>" + quote(dir.file(".err"));
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(dir.file(".out")), readBytes(dir.file(".err"))};
}

// Writes a project whose records carry the given levels and titles, pages in dir/p.
void writeProject(const std::string& path, const std::vector<ItemShape>& shapes, const std::string& pageFolder)
{
    ItemList items = makeItems(shapes, pageFolder);
    PROJECTHEADER h;
    std::string data = std::string("SHF3") + std::string(24, '\0');
    std::int32_t count = static_cast<std::int32_t>(items.size());
    data.append(reinterpret_cast<const char*>(&count), 4);
    for (int k = 0; k < 3; ++k)
        data += std::string(8, '\0');
    data.resize(kHeaderSize, '\0');
    for (const auto& item : items)
        data += encodeRecord(*item, item->nLevel);
    writeBytes(path, data);
}

} // namespace

TEST(SheafCommand, newListTreeCheck)
{
    TempDir dir;
    CommandResult r = sheafCommand(dir, {"new", "Manual", "--dir", "doc"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("doc/Manual.shf3") + "\n");
    EXPECT_TRUE(stdfs::exists(dir.file("doc/Manual/P0000001.txt")));

    r = sheafCommand(dir, {"list", "doc/Manual.shf3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("P0000001\t    0\t       2\t0\t0\t0\t0\t           8\tP0000001.txt\t" + dir.file("doc/Manual") + "\t", 0), 0u) << r.out;
    EXPECT_TRUE(r.err.empty());

    r = sheafCommand(dir, {"tree", "doc/Manual.shf3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "P0000001\n");

    r = sheafCommand(dir, {"check", "doc/Manual.shf3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ファイル名の重複はありませんでした。\nシリアル番号の重複はありませんでした。\n");
}

TEST(SheafCommand, treeShowsDepthsAndStopsAtALevelJump)
{
    TempDir dir;
    writeProject(dir.file("t.shf3"), {{0, "a"}, {1, "b"}, {2, "c"}, {0, sjis::sj("日本語")}}, dir.file("t"));
    CommandResult r = sheafCommand(dir, {"tree", "t.shf3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "a\n\tb\n\t\tc\n日本語\n");

    writeProject(dir.file("bad.shf3"), {{0, "a"}, {2, "b"}}, dir.file("bad"));
    r = sheafCommand(dir, {"tree", "bad.shf3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "a\n");
    EXPECT_EQ(r.err, "Execute:Execute error\n");
}

TEST(SheafCommand, checkListsDuplicates)
{
    TempDir dir;
    writeProject(dir.file("d.shf3"), {{0, "a"}, {0, "b"}, {0, "a"}}, dir.file("d"));
    CommandResult r = sheafCommand(dir, {"check", "d.shf3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ファイル名の重複があります。\n\ta.txt: 番号 0, 2\nシリアル番号の重複はありませんでした。\n");
}

TEST(SheafCommand, listReportsMissingAndRelocatedPages)
{
    TempDir dir;
    writeProject(dir.file("m.shf3"), {{0, "one"}, {0, "two"}, {0, "three"}}, "C:\\elsewhere\\m");
    writeBytes(dir.file("m/two.txt"), "two");
    CommandResult r = sheafCommand(dir, {"list", "m.shf3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("two.txt\t" + dir.file("m") + "\t"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "番号 1 のファイルはページフォルダの two.txt を使います（保存すると新しいパスが記録されます）\n"
                     "番号 2 のファイルがありません\n");
}

TEST(SheafCommand, badInputEndsWithAMessageNeverAHangOrAnAbort)
{
    TempDir dir;
    writeProject(dir.file("good.shf3"), {{0, "a"}, {0, "b"}, {0, "c"}}, dir.file("good"));
    const std::string good = readBytes(dir.file("good.shf3"));
    writeBytes(dir.file("empty.shf3"), "");
    writeBytes(dir.file("random.shf3"), "\x93\xfa\x96\x7b\x8c\xea\x00\xff\x13\x37 not a project");
    writeBytes(dir.file("cut.shf3"), good.substr(0, good.size() - 3));
    writeBytes(dir.file("header.shf3"), good.substr(0, 40));
    writeBytes(dir.file("x.txt"), "text");
    stdfs::create_directory(dir.file("folder.shf3"));
    ::mkfifo(dir.file("pipe.shf3").c_str(), 0600);
    stdfs::create_symlink("/dev/zero", dir.file("zero.shf3"));
    stdfs::create_symlink(dir.file("loop2.shf3"), dir.file("loop1.shf3"));
    stdfs::create_symlink(dir.file("loop1.shf3"), dir.file("loop2.shf3"));
    stdfs::copy_file(dir.file("good.shf3"), dir.file("-lead.shf3"));

    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err; // a part of what stderr says
    };
    const Case cases[] = {
        {"no command", {}, 2, "usage: sheaf"},
        {"unknown command", {"frobnicate", "x"}, 2, "usage: sheaf"},
        {"missing project argument", {"list"}, 2, "usage: sheaf"},
        {"two projects", {"tree", "good.shf3", "good.shf3"}, 2, "usage: sheaf"},
        {"an option-like operand is a usage error for list", {"list", "-lead.shf3"}, 2, "usage: sheaf"},
        {"and for html alike", {"html", "-lead.shf3"}, 2, "usage: sheaf"},
        {"after -- it is an operand", {"tree", "--", "-lead.shf3"}, 0, ""},
        {"after -- for html too", {"html", "--yes", "--", "-lead.shf3"}, 1, "a.txt が存在しません。"},
        {"missing file", {"tree", "none.shf3"}, 1, "指定の SHF ファイルをオープンできませんでした\n"},
        {"missing file, html", {"html", "none.shf3"}, 1, "ファイルまたはフォルダが存在しません"},
        {"not a project file", {"list", "x.txt"}, 1, "指定の SHF3 ファイルは正しいファイルではありません。\n"},
        {"empty file", {"tree", "empty.shf3"}, 1, "ヘッダーが壊れているか、途中で切れています"},
        {"empty file, html", {"html", "empty.shf3"}, 1, "正しい Sheaf3 用ファイルではありません"},
        {"random bytes", {"check", "random.shf3"}, 1, "指定の SHF3 ファイルは正しいファイルではありません。"},
        {"truncated records", {"tree", "cut.shf3"}, 1, "2 / 3 項目まで読み込みました"},
        {"truncated header", {"list", "header.shf3"}, 1, "ヘッダーが壊れているか、途中で切れています"},
        {"truncated, html shows the reader's message first", {"html", "--yes", "cut.shf3"}, 1,
         "指定の SHF ファイルをオープンできませんでした\n"},
        {"a directory", {"tree", "folder.shf3"}, 1, "ディレクトリです"},
        {"a directory, html", {"html", "folder.shf3"}, 1, "ディレクトリです"},
        {"a FIFO does not hang", {"list", "pipe.shf3"}, 1, "FIFO"},
        {"a FIFO does not hang the tree", {"tree", "pipe.shf3"}, 1, "FIFO"},
        {"a FIFO does not hang html", {"html", "pipe.shf3"}, 1, "FIFO"},
        {"/dev/zero is not read", {"tree", "/dev/zero"}, 1, "デバイスです"},
        {"a link to /dev/zero", {"html", "zero.shf3"}, 1, "デバイスです"},
        {"a symlink loop", {"tree", "loop1.shf3"}, 1, "シンボリックリンクが循環しています"},
        {"new: empty name", {"new", ""}, 1, "プロジェクト名として使えない名前です"},
        {"new: dot", {"new", "."}, 1, "プロジェクト名として使えない名前です"},
        {"new: dot dot", {"new", ".."}, 1, "プロジェクト名として使えない名前です"},
        {"new: backslash", {"new", "a\\b"}, 1, "プロジェクト名として使えない名前です"},
        {"new: slash", {"new", "sub/b"}, 1, "プロジェクト名として使えない名前です"},
        {"new: an existing project is never replaced", {"new", "good"}, 1, "すでにあります"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandResult r = sheafCommand(dir, c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(readBytes(dir.file("good.shf3")), good) << "nothing touched";
    for (const char* made : {".shf3", "..shf3", "b.shf3", "a\\b.shf3", "empty", "cut", "folder", "pipe"})
        EXPECT_FALSE(stdfs::exists(dir.file(made))) << made;
    EXPECT_FALSE(stdfs::exists(dir.file("good/P0000001.txt")));
}

TEST(SheafCommand, newKeepsTheNameAndVersionIsPrinted)
{
    TempDir dir;
    CommandResult r = sheafCommand(dir, {"new", "dots.in.name", "--dir", "d"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("d/dots.in.name.shf3") + "\n");
    EXPECT_TRUE(stdfs::is_regular_file(dir.file("d/dots.in.name/P0000001.txt")));
    r = sheafCommand(dir, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("sheaf ") + SHEAF_VERSION + "\n");
}

TEST(SheafCommand, aWriteLimitGivesTheMessageNotADeath)
{
    TempDir dir;
    writeProject(dir.file("big.shf3"), {{0, "a"}}, dir.file("big"));
    writeBytes(dir.file("big/a.txt"), "Title\r\n" + std::string(200000, 'x') + "\r\n");
    const CommandResult r = shellCommand(dir, "ulimit -f 16 &&", {"html", "--yes", "big.shf3"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("ファイルサイズの上限を超えました"), std::string::npos) << r.err;
    EXPECT_FALSE(stdfs::exists(dir.file("html/a.htm")));
    for (const auto& e : stdfs::directory_iterator(dir.file("html")))
        EXPECT_FALSE(e.is_regular_file()) << "no temporary file is left: " << e.path();
}

TEST(SheafCommand, htmlConvertsTheProject)
{
    TempDir dir;
    writeProject(dir.file("h.shf3"), {{0, "a"}, {1, "b"}, {0, "c"}}, dir.file("h"));
    writeBytes(dir.file("h/a.txt"), "Alpha\r\n" + sjis::sj("・項目") + "\r\n");
    writeBytes(dir.file("h/b.txt"), "Beta\r\n");

    CommandResult r = sheafCommand(dir, {"html", "h.shf3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "HTML 化用初期化ファイルが存在しません。\n処理を続行しますか？\n");
    EXPECT_FALSE(stdfs::exists(dir.file("html/a.htm")));

    r = sheafCommand(dir, {"html", "h.shf3", "--yes"});
    EXPECT_EQ(r.status, 1) << "a page is missing";
    EXPECT_EQ(r.err, "c.txt が存在しません。\n");
    EXPECT_EQ(r.out, "HTML 化: 変換 2、タグ１で省略 0、ファイルなし 1\n");
    EXPECT_NE(readBytes(dir.file("html/a.htm")).find("<li>" + sjis::sj("項目") + "</li>"), std::string::npos);

    writeBytes(dir.file("h/c.txt"), "Gamma\r\n<pre>\r\n");
    writeBytes(dir.file("h.ini"), "[HtmlFontSize]\r\nFirstLineSize=1\r\n");
    r = sheafCommand(dir, {"html", "h.shf3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "1 : c.txt まで処理したところでエラーが発生しました\n<pre> と </pre> との対応関係が一致しません。\n");
    EXPECT_NE(readBytes(dir.file("html/b.htm")).find("<h1>Beta</h1>"), std::string::npos);
    EXPECT_FALSE(stdfs::exists(dir.file("html/c.htm")));
}

TEST(SheafCommand, helpWritesCompilesAndProvesTheHelpFile)
{
    TempDir dir;
    stdfs::copy(std::string(SHEAF_EXAMPLES) + "/sample", dir.path(), stdfs::copy_options::recursive);
    ::setenv("SHEAF3_HOME", dir.file("settings").c_str(), 1);
    CommandResult r = sheafCommand(dir, {"help", "Sheaf3Manual.shf3"});
    EXPECT_EQ(r.status, 1) << "no HTML pages yet";
    EXPECT_NE(r.err.find("1 番目のファイルに対応する HTML ファイルがありません。"), std::string::npos) << r.err;
    EXPECT_FALSE(stdfs::exists(dir.file("Sheaf3Manual.hhp")));

    ASSERT_EQ(sheafCommand(dir, {"html", "--yes", "Sheaf3Manual.shf3"}).status, 0);
    r = sheafCommand(dir, {"help", "--no-compile", "Sheaf3Manual.shf3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("Sheaf3Manual.hhp") + "\n");

    const std::string liar = dir.file("chmcmd");
    writeBytes(liar, "#!/bin/sh\nexit 0\n");
    stdfs::permissions(liar, stdfs::perms::owner_all);
    r = sheafCommand(dir, {"help", "--compiler", "chmcmd", "Sheaf3Manual.shf3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ヘルプファイルが作成されませんでした"), std::string::npos) << r.err;
    r = sheafCommand(dir, {"help", "--compiler", "/bin/sh", "Sheaf3Manual.shf3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("指定のコンパイラは hhc.exe ではありません。"), std::string::npos);

    // Another program holds the project: keywords are not written unless forced.
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    writeBytes(dir.file("Sheaf3Manual.shf3.lock"), "someone\n" + std::string(host) + "\n1\n");
    const std::string before = readBytes(dir.file("Sheaf3Manual.shf3"));
    r = sheafCommand(dir, {"help", "--set-keywords", "Sheaf3Manual.shf3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("プロセス 1"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(dir.file("Sheaf3Manual.shf3")), before);
    r = sheafCommand(dir, {"help", "--set-keywords", "--force", "Sheaf3Manual.shf3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("Sheaf3Manual.chm") + "\n");
    EXPECT_EQ(readBytes(dir.file("Sheaf3Manual.shf3")).substr(0, 300), before.substr(0, 300)) << "the header is kept";
    ItemList items;
    ASSERT_TRUE(CReadSHFFile(items, dir.file("Sheaf3Manual.shf3")).ReadFile(true));
    EXPECT_EQ(items[0]->sKeyword1, items[0]->sTitle);
}

TEST(SheafCommand, searchAndReplace)
{
    TempDir dir;
    writeProject(dir.file("s.shf3"), {{0, "a"}, {1, "b"}, {0, "c"}}, dir.file("s"));
    writeBytes(dir.file("s/a.txt"), "Alpha\r\nfind Me\r\n");
    writeBytes(dir.file("s/b.txt"), sjis::sj("Beta\r\n日本語 me\r\n"));
    writeBytes(dir.file("s/c.txt"), "Gamma\r\n");

    CommandResult r = sheafCommand(dir, {"search", "s.shf3", "me"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "(0000) a\n(0001) b\n");
    r = sheafCommand(dir, {"search", "s.shf3", "me", "--case"});
    EXPECT_EQ(r.out, "(0001) b\n");
    r = sheafCommand(dir, {"search", "s.shf3", "日本語", "--under", "1"});
    EXPECT_EQ(r.out, "(0001) b\n");
    r = sheafCommand(dir, {"search", "s.shf3", "Alpha", "--under", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "") << "nothing found is not a failure to report";
    EXPECT_EQ(sheafCommand(dir, {"search", "s.shf3"}).status, 2);
    EXPECT_EQ(sheafCommand(dir, {"search", "s.shf3", "x", "--under", "z"}).status, 2);

    // Only a page that holds the text in exact case is rewritten, in both modes.
    r = sheafCommand(dir, {"replace", "s.shf3", "me", "you"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("s/b.txt") + "\n");
    EXPECT_EQ(readBytes(dir.file("s/a.txt")), "Alpha\r\nfind Me\r\n");
    r = sheafCommand(dir, {"replace", "s.shf3", "a", "A"});
    EXPECT_EQ(r.out, dir.file("s/a.txt") + "\n" + dir.file("s/b.txt") + "\n" + dir.file("s/c.txt") + "\n");
    ::chmod(dir.file("s/a.txt").c_str(), 0444);
    r = sheafCommand(dir, {"replace", "s.shf3", "A", "a", "--case"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, dir.file("s/b.txt") + "\n" + dir.file("s/c.txt") + "\n") << "the other pages are still done";
    EXPECT_NE(r.err.find(dir.file("s/a.txt")), std::string::npos) << r.err;
}

TEST(SheafCommand, sizeAndOutputs)
{
    TempDir dir;
    writeProject(dir.file("o.shf3"), {{0, "a"}, {1, "b"}, {0, "cc"}}, dir.file("o"));
    writeBytes(dir.file("o/a.txt"), std::string(1500, 'x'));
    writeBytes(dir.file("o/b.txt"), "b");
    writeBytes(dir.file("o/cc.txt"), "c");
    CommandResult r = sheafCommand(dir, {"size", "o.shf3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "a     \t     1,501\ncc    \t         1\n \n合計バイト数\t\t1,502\n");
    r = sheafCommand(dir, {"size", "o.shf3", "--save", "size.txt"});
    EXPECT_EQ(readBytes(dir.file("size.txt")), "a     \t     1,501\r\ncc    \t         1\r\n \r\n" +
                                                   sjis::sj("合計バイト数") + "\t\t1,502\r\n");
    r = sheafCommand(dir, {"output", "titles", "o.shf3"});
    EXPECT_EQ(r.out, dir.file("o_Node.txt") + "\n");
    EXPECT_EQ(readBytes(dir.file("o_Node.txt")), "a\r\n\tb\r\ncc\r\n");
    EXPECT_EQ(sheafCommand(dir, {"output", "pages", "o.shf3"}).status, 2);
    stdfs::remove(dir.file("o/b.txt"));
    r = sheafCommand(dir, {"output", "all", "o.shf3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(stdfs::exists(dir.file("o_All.txt")));
}
