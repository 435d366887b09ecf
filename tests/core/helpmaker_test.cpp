// The help project files, byte for byte, and the compile that proves its result.
#include "common/sjis.h"
#include "helpmaker/chmfile.h"
#include "helpmaker/helpcompiler.h"
#include "helpmaker/helpproject.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

using namespace sheaf;
using namespace sheaf::test;
using sheaf::sjis::sj;
namespace stdfs = std::filesystem;

namespace {

struct ItemRow {
    const char* title;
    int level;
    const char* keyword1;
    const char* keyword2;
};

// Levels 0,1,2,1,0,1,2 (the last item at level 2); keyword groups with
// sub-entries, one keyword of a full-width space, one empty, equal keywords
// in tree order, and a title holding a double quote and an ampersand.
const ItemRow kItems[] = {
    {"はじめに", 0, "印刷", "設定"},  {"A \"quoted\" & title", 1, "印刷", "プレビュ"}, {"深い", 2, "\u3000", ""},
    {"次", 1, "Alpha", ""},           {"最後", 0, "印刷", ""},                      {"末尾", 1, "", ""},
    {"最深", 2, "Alpha", "beta"},
};

ItemList makeProject(const TempDir& dir, bool withPages = true)
{
    ItemList items;
    int n = 1;
    for (const ItemRow& s : kItems) {
        auto item = std::make_unique<FILEDATA>();
        char name[32];
        std::snprintf(name, sizeof name, "P%07d", n++);
        item->sTitle = sj(s.title);
        item->nLevel = s.level;
        item->sKeyword1 = sj(s.keyword1);
        item->sKeyword2 = sj(s.keyword2);
        item->sFileName = dir.file(std::string("Manual/") + name + ".txt");
        if (withPages) {
            stdfs::create_directories(dir.file("html"));
            writeBytes(dir.file(std::string("html/") + name + ".htm"),
                       "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\"><title>" +
                           item->sTitle + "</title></head><body><h3>" + item->sTitle + "</h3></body></html>\r\n");
        }
        items.push_back(std::move(item));
    }
    return items;
}

// A golden file: UTF-8 with LF in the repository, Shift-JIS with CR LF as written.
std::string golden(const std::string& name)
{
    std::string text = readBytes(std::string(SHEAF_TEST_DATA) + "/helpmaker/" + name);
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return sj(crlf);
}

std::string fakeCompiler(const TempDir& dir, const std::string& name, const std::string& body)
{
    const std::string path = dir.file(name);
    writeBytes(path, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

} // namespace

TEST(HelpProject, theThreeFilesAreExact)
{
    TempDir dir;
    const ItemList items = makeProject(dir);
    const help::HelpFiles files = help::writeHelpProject(dir.file("Manual.shf3"), items);
    EXPECT_EQ(files.hhc, dir.file("Manual.hhc"));
    EXPECT_EQ(readBytes(files.hhc), golden("Manual.hhc"));
    EXPECT_EQ(readBytes(files.hhk), golden("Manual.hhk"));
    EXPECT_EQ(readBytes(files.hhp), golden("Manual.hhp"));
    // The window line on its own, as the help compiler reads it.
    EXPECT_NE(readBytes(files.hhp).find("Main=,\"Manual.hhc\",\"Manual.hhk\",\"html/P0000001.htm\",,,,,,0x2520,,0x10200e,,,,,,,,0\r\n"),
              std::string::npos);
}

TEST(HelpProject, keywordsFromTitlesAndThePageCheck)
{
    TempDir dir;
    ItemList items = makeProject(dir);
    help::fillKeywordsFromTitles(items);
    EXPECT_EQ(items[5]->sKeyword1, sj("末尾")) << "an empty keyword 1 takes the title";
    EXPECT_EQ(items[0]->sKeyword1, sj("印刷")) << "a keyword stays";

    EXPECT_FALSE(help::firstMissingPage(items, dir.file("html")).has_value());
    stdfs::remove(dir.file("html/P0000003.htm"));
    EXPECT_EQ(help::firstMissingPage(items, dir.file("html")), std::optional<std::size_t>(2));
    EXPECT_EQ(help::missingPageMessage(2), "3" + sj(" 番目のファイルに対応する HTML ファイルがありません。"));
}

TEST(HelpCompiler, onlyKnownCompilerNamesAreAccepted)
{
    struct Case {
        const char* path;
        bool accepted;
    };
    const Case cases[] = {{"/x/hhc.exe", true},  {"C:\\Tools\\HHC.EXE", true}, {"/usr/bin/chmcmd", true},
                          {"/usr/bin/chmcmd-3.2.2", true}, {"/x/hhc", true}, {"/x/hhc2.exe", false},
                          {"/bin/sh", false}};
    for (const auto& c : cases)
        EXPECT_EQ(help::isCompilerName(c.path), c.accepted) << c.path;
}

TEST(HelpCompiler, aFailedCompileIsNeverASuccess)
{
    TempDir dir;
    const ItemList items = makeProject(dir);
    const std::string project = dir.file("Manual.shf3");
    help::writeHelpProject(project, items);
    struct Case {
        const char* name;
        std::string body;
        const char* problem;
    };
    const Case cases[] = {
        {"exit 0 without a file", "echo compiled", "ヘルプファイルが作成されませんでした"},
        {"a non-zero exit", "echo 'Error: missing page' >&2\nexit 217", "終了コード 217"},
        {"an old file left in place", "touch -d 2001-01-01 Manual.chm", "ヘルプファイルが作成されませんでした"},
        {"a file that is no help file", "echo junk > Manual.chm", "コンパイルされたヘルプファイルを開けません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        stdfs::remove(dir.file("Manual.chm"));
        if (std::string(c.name) == "an old file left in place")
            writeBytes(dir.file("Manual.chm"), "old");
        const std::string compiler = fakeCompiler(dir, "chmcmd", c.body);
        const help::CompileResult r = help::compileHelp(compiler, project, items);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.problem.find(sj(c.problem)), std::string::npos) << sjis::toUtf8(r.problem);
    }
    const help::CompileResult r = help::compileHelp(fakeCompiler(dir, "chmcmd", "pwd; echo \"$@\"; exit 3"), project, items);
    EXPECT_EQ(r.output, dir.path() + "\nManual.hhp\n") << "run in the project's folder with the bare project file name";
}

TEST(HelpCompiler, aRealCompileIsReadBack)
{
    const auto chmcmd = help::findCompilerOnPath();
    ASSERT_TRUE(chmcmd.has_value()) << "the set-up installs chmcmd";
    TempDir dir;
    const ItemList items = makeProject(dir);
    const std::string project = dir.file("Manual.shf3");
    help::writeHelpProject(project, items);
    const help::CompileResult r = help::compileHelp(*chmcmd, project, items);
    ASSERT_TRUE(r.ok) << sjis::toUtf8(r.problem) << "\n" << r.output;

    help::ChmFile chm;
    ASSERT_TRUE(chm.open(r.chmPath));
    EXPECT_EQ(chm.defaultTopic(), "/html/P0000001.htm");
    EXPECT_EQ(chm.contentsFile(), "/Manual.hhc");
    const auto contents = help::parseSitemap(chm.read(chm.contentsFile()).value_or(""));
    ASSERT_EQ(contents.size(), 7u);
    EXPECT_EQ(contents[0].name, sj("はじめに")) << "Shift-JIS titles are stored as they are";
    EXPECT_EQ(contents[1].local, "html/P0000002.htm");
    EXPECT_EQ(contents[6].depth, 2);
    const auto index = help::parseSitemap(chm.read(chm.indexFile()).value_or(""));
    ASSERT_EQ(index.size(), 5u);
    EXPECT_EQ(index[2].name, sj("印刷"));
    EXPECT_EQ(index[3].depth, 1);
    EXPECT_NE(chm.read("/html/P0000002.htm").value_or("").find("title"), std::string::npos);

    // A page that disappears between the check and the compile fails it.
    stdfs::remove(dir.file("html/P0000007.htm"));
    const help::CompileResult broken = help::compileHelp(*chmcmd, project, items);
    EXPECT_FALSE(broken.ok);
}
