// The page file commands of the main window.
#include "common/error.h"
#include "common/inifile.h"
#include "project/pagefilecommands.h"
#include "tools/filesizereport.h"

#include <QPlainTextEdit>
#include "support/uifixture.h"

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {
QString u8(const char* s) { return QString::fromUtf8(s); }
}

TEST_F(UiTest, readingFilesInAddsThemSortedAfterTheSelectedItem)
{
    const std::string path = writeProject(home, "P", {{0, "first"}, {0, "last"}});
    stdfs::create_directories(home.file("in"));
    for (const char* name : {"b", "A", "c"})
        writeBytes(home.file(std::string("in/") + name + ".txt"), std::string("Title ") + name + "\r\ntext\r\n");
    start({q(path)});
    script->files.push_back(q(home.file("in/b.txt")) + QLatin1Char('\n') + q(home.file("in/A.txt")) + QLatin1Char('\n') +
                            q(home.file("in/c.txt")));
    trigger("actFileReadIn");
    EXPECT_EQ(script->takeTexts(), QStringList{u8("3 個のファイルをページファイルとして読み込みます。")});
    EXPECT_EQ(titles(), "first:0 Title A:0 Title b:0 Title c:0 last:0");
    EXPECT_EQ(node(1)->data->sFileName, home.file("in/A.txt")) << "the file stays where it is";
    EXPECT_EQ(node(1)->data->nSerial, 5);
    EXPECT_EQ(node(3)->data->nSerial, 7);
    EXPECT_EQ(readBytes(home.file("in/A.txt")), "Title A\r\ntext\r\n");

    trigger("actFileReadIn");
    EXPECT_EQ(script->takeTexts(), QStringList{u8("ファイルの読み込みを中止します")}) << "cancelled";
}

TEST_F(UiTest, movingABranchNeverReplacesAnotherItemsPage)
{
    const std::string path = writeProject(home, "P", {{0, "root"}, {1, "child"}, {0, "other"}});
    stdfs::create_directories(home.file("dest/sub"));
    // "other" already keeps its page in the destination, under the child's file name.
    stdfs::rename(home.file("P/P0000003.txt"), home.file("dest/sub/P0000002.txt"));
    const std::string to = home.file("dest/sub/P0000002.txt");
    start({q(path)});
    node(2)->data->sFileName = to;
    window->selectNode(node(0));
    script->messages.clear();
    script->files.push_back(q(home.file("dest/sub")));
    trigger("actFileMove");
    EXPECT_EQ(node(0)->data->sFileName, home.file("dest/sub/P0000001.txt"));
    EXPECT_TRUE(stdfs::exists(home.file("dest/sub/P0000001.txt")));
    EXPECT_FALSE(stdfs::exists(home.file("P/P0000001.txt")));
    EXPECT_EQ(node(1)->data->sFileName, home.file("P/P0000002.txt")) << "left where it was";
    EXPECT_EQ(readBytes(to), "other\r\nbody of other\r\n") << "the other item's page is intact";
    const QStringList texts = script->takeTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].contains(QStringLiteral("child")));
    EXPECT_EQ(IniFile(home.file("settings/Sheaf3.ini")).readString("Customize", "FileMoveDestFolder", ""),
              home.file("").substr(0, home.file("").find('/', 1))) << "stored shortened";

    window->selectNode(node(2));
    script->messages.clear();
    trigger("actFileMove");
    EXPECT_EQ(script->takeTexts(), QStringList{u8("子ノードを持たないページの場合は「ページファイル名を変更する」を使ってください")});
}

TEST_F(UiTest, changingThePageFileNameMovesTheFileWhole)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    start({q(path)});
    textEditor()->setText(QStringLiteral("a\r\nunsaved edit\r\n"));
    script->files.push_back(q(home.file("P/renamed.txt")));
    trigger("actPop2ChangeFileName");
    EXPECT_EQ(script->takeTexts(), QStringList{u8("P0000001.txt を renamed.txt に変更します。")});
    EXPECT_EQ(node(0)->data->sFileName, home.file("P/renamed.txt"));
    EXPECT_FALSE(stdfs::exists(home.file("P/P0000001.txt")));
    EXPECT_EQ(readBytes(home.file("P/renamed.txt")), "a\r\nunsaved edit\r\n") << "nothing typed is lost";
}

TEST(PageFiles, aMoveAcrossFileSystemsCopiesCompletelyFirst)
{
    TempDir dir;
    const std::string other = "/dev/shm/sheaf-move-" + std::to_string(::getpid()) + ".txt";
    writeBytes(dir.file("page.txt"), std::string(100000, 'x'));
    movePageFile(dir.file("page.txt"), other);
    EXPECT_EQ(readBytes(other), std::string(100000, 'x'));
    EXPECT_FALSE(stdfs::exists(dir.file("page.txt")));
    stdfs::remove(other);
    EXPECT_THROW(movePageFile(dir.file("missing.txt"), dir.file("x.txt")), SheafError);
}

TEST_F(UiTest, reportsAndOutputsFromTheWindow)
{
    const std::string path = writeProject(home, "P", {{0, "alpha"}, {1, "beta"}, {0, "gamma"}});
    start({q(path)});
    trigger("actFileOutputTitle");
    EXPECT_EQ(readBytes(home.file("P_Node.txt")), "alpha\r\n\tbeta\r\ngamma\r\n");
    trigger("actFileOutputPageList");
    EXPECT_EQ(readBytes(home.file("P_PathList.txt")).substr(0, 1), "\"");
    script->files.push_back(q(home.file("report.txt")));
    script->dialogs.push_back([](QDialog& d) {
        auto* memo = d.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        EXPECT_TRUE(memo->toPlainText().startsWith(QStringLiteral("alpha    \t")));
        static_cast<ui::TfrmFileSizeReport&>(d).save();
        return int(QDialog::Accepted);
    });
    trigger("actFileSize");
    EXPECT_EQ(readBytes(home.file("report.txt")).substr(0, 10), "alpha    \t");
}
