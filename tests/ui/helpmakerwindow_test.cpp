// The help maker's window, its compile dialog, the help viewer and the
// version box, driven through the scripted interaction.
#include "common/aboutbox.h"
#include "common/htmlhelp.h"
#include "common/qtext.h"
#include "helpmaker/chmfile.h"
#include "helpmaker/helpcompiledialog.h"
#include "helpmaker/helpcompiler.h"
#include "helpmaker/helpproject.h"
#include "helpmaker/sheafhelpwindow.h"
#include "project/projectlock.h"
#include "project/shffile.h"
#include "support/uifixture.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

// The project's HTML pages, as the main program's conversion leaves them.
void writeHtmlPages(const TempDir& dir, const std::string& name, int count)
{
    stdfs::create_directories(dir.file("html"));
    for (int n = 1; n <= count; ++n) {
        const std::string page = pageFileName(n);
        writeBytes(dir.file("html/" + page.substr(0, 8) + ".htm"),
                   "<html><body><h3>" + sjis::sj("ページ ") + std::to_string(n) + "</h3><p>" + name + "</p></body></html>\r\n");
    }
}

ItemList readItems(const std::string& path)
{
    ItemList items;
    CReadSHFFile(items, path).ReadFile(true);
    return items;
}

class HelpMakerTest : public UiTest {
protected:
    std::unique_ptr<ui::TfrmSheafhelp> maker;

    void TearDown() override
    {
        maker.reset();
        UiTest::TearDown();
    }

    std::string openProject(const std::vector<std::pair<int, std::string>>& items)
    {
        const std::string path = writeProject(home, "P", items);
        maker = std::make_unique<ui::TfrmSheafhelp>();
        maker->show();
        script->files.push_back(q(path));
        maker->action(QStringLiteral("actFileOpen"))->trigger();
        return path;
    }
    QString cell(int row, int column) const
    {
        const QTableWidgetItem* item = maker->grid()->item(row, column);
        return item ? item->text() : QString();
    }
    void selectRows(int top, int bottom) const
    {
        maker->grid()->clearSelection();
        maker->grid()->setRangeSelected(QTableWidgetSelectionRange(top, 0, bottom, 0), true);
    }
};

} // namespace

TEST_F(HelpMakerTest, openingFillsKeywordsFromTitlesAndSavesAtOnce)
{
    const std::string path = openProject({{0, "Alpha"}, {1, sjis::sj("印刷")}, {0, "Gamma"}});
    EXPECT_TRUE(script->takeTexts().isEmpty());
    ASSERT_EQ(maker->grid()->rowCount(), 3);
    EXPECT_EQ(cell(1, 0), u8("印刷"));
    EXPECT_EQ(maker->grid()->horizontalHeaderItem(0)->text(), u8("キーワード１"));
    const ItemList items = readItems(path);
    EXPECT_EQ(items[1]->sKeyword1, sjis::sj("印刷")) << "saved at once";
    EXPECT_TRUE(maker->action(QStringLiteral("actExecute"))->isEnabled());
    const std::string header = readBytes(path).substr(0, 300);
    EXPECT_EQ(header, readBytes(path).substr(0, 300)) << "the header is kept";
}

TEST_F(HelpMakerTest, pasteAsksAboutLongKeywordsAndCopyFillsKeyword2)
{
    openProject({{0, "a"}, {0, "b"}, {0, "c"}});
    selectRows(0, 1);
    QApplication::clipboard()->setText(QString(40, QLatin1Char('x')));
    maker->action(QStringLiteral("actEditPaste"))->trigger();
    EXPECT_TRUE(script->takeTexts().isEmpty()) << "40 bytes ask nothing";
    EXPECT_EQ(cell(0, 0), QString(40, QLatin1Char('x')));
    EXPECT_EQ(cell(1, 0), QString(40, QLatin1Char('x')));
    EXPECT_EQ(cell(2, 0), QStringLiteral("c"));

    QApplication::clipboard()->setText(QString(41, QLatin1Char('y')));
    maker->action(QStringLiteral("actEditPaste"))->trigger();
    ASSERT_EQ(script->messages.size(), 1u);
    EXPECT_EQ(script->messages[0].text, u8("キーワードが長いですが、そのまま設定しますか？"));
    EXPECT_EQ(script->messages[0].defaultButton, ui::No);
    EXPECT_EQ(cell(0, 0), QString(40, QLatin1Char('x'))) << "No keeps the grid";
    script->messages.clear();
    // A double-byte character counts two bytes: 21 of them are 42.
    QApplication::clipboard()->setText(QString(21, QChar(0x3042)));
    script->answers.push_back(ui::Yes);
    maker->action(QStringLiteral("actEditPaste"))->trigger();
    EXPECT_EQ(script->messages.size(), 1u);
    EXPECT_EQ(cell(1, 0), QString(21, QChar(0x3042)));

    selectRows(1, 2);
    maker->action(QStringLiteral("actEditCopy"))->trigger();
    EXPECT_EQ(cell(1, 1), QString(21, QChar(0x3042)));
    EXPECT_EQ(cell(2, 1), QStringLiteral("c"));
    EXPECT_EQ(cell(0, 1), QString()) << "outside the range";
}

TEST_F(HelpMakerTest, clearEmptiesEveryKeywordAndSaves)
{
    const std::string path = openProject({{0, "a"}, {0, "b"}});
    maker->action(QStringLiteral("actEditClear"))->trigger();
    EXPECT_EQ(cell(0, 0), QString());
    for (const auto& item : readItems(path))
        EXPECT_TRUE(item->sKeyword1.empty() && item->sKeyword2.empty());
}

TEST_F(HelpMakerTest, aProjectOpenInTheMainProgramIsWarnedAboutAndOpened)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    writeBytes(ProjectLock::lockPath(path), "someone\n" + [] {
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        return std::string(host);
    }() + "\n1\n");
    maker = std::make_unique<ui::TfrmSheafhelp>();
    script->files.push_back(q(path));
    maker->action(QStringLiteral("actFileOpen"))->trigger();
    EXPECT_TRUE(script->takeTexts().contains(
        u8("同じ SHF3 ファイルを対象として、Sheaf3 が起動中ですが、Sheaf3 を終了することをおすすめします。")));
    EXPECT_EQ(maker->items().size(), 1u) << "only a warning";
}

TEST_F(HelpMakerTest, aTruncatedProjectIsNotOpenedNorWritten)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    const std::string full = readBytes(path);
    writeBytes(path, full.substr(0, full.size() - 4));
    maker = std::make_unique<ui::TfrmSheafhelp>();
    script->files.push_back(q(path));
    maker->action(QStringLiteral("actFileOpen"))->trigger();
    EXPECT_TRUE(maker->projectPath().empty());
    EXPECT_FALSE(maker->action(QStringLiteral("actFileSave"))->isEnabled());
    EXPECT_EQ(readBytes(path), full.substr(0, full.size() - 4));
}

TEST_F(HelpMakerTest, compileChecksPagesAndProvesTheResult)
{
    const std::string path = openProject({{0, "Alpha"}, {1, "Beta"}, {0, "Gamma"}});
    writeHtmlPages(home, "P", 2);
    const auto chmcmd = help::findCompilerOnPath();
    ASSERT_TRUE(chmcmd.has_value());

    // The third page is missing: the message names it and nothing is written.
    script->answers.push_back(ui::Yes);
    script->dialogs.push_back([&](QDialog& d) {
        auto& dialog = static_cast<ui::TfrmHelpCompile&>(d);
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("edtCompiler"))->text(), q(*chmcmd)) << "chmcmd is offered";
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("edtHelpFileName"))->text(), QStringLiteral("P"));
        dialog.btnDoClick();
        return d.result();
    });
    maker->action(QStringLiteral("actExecute"))->trigger();
    QStringList texts = script->takeTexts();
    EXPECT_TRUE(texts.contains(u8("3 番目のファイルに対応する HTML ファイルがありません。"))) << texts.join('|').toStdString();
    EXPECT_FALSE(stdfs::exists(home.file("P.hhc")));

    writeHtmlPages(home, "P", 3);
    script->answers.push_back(ui::Yes); // all pages converted
    script->answers.push_back(ui::Ok);  // finished
    script->answers.push_back(ui::No);  // no viewer
    script->dialogs.push_back([&](QDialog& d) {
        static_cast<ui::TfrmHelpCompile&>(d).btnDoClick();
        EXPECT_EQ(static_cast<ui::TfrmHelpCompile&>(d).statusText(), u8("コンパイルを開始..."));
        return d.result();
    });
    maker->action(QStringLiteral("actExecute"))->trigger();
    texts = script->takeTexts();
    EXPECT_TRUE(texts.contains(u8("終了しました。"))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(u8("作成したヘルプファイルを表示しますか？")));
    help::ChmFile chm;
    ASSERT_TRUE(chm.open(home.file("P.chm")));
    EXPECT_TRUE(chm.contains("/html/P0000003.htm"));

    // A compiler that reports success but writes nothing is caught.
    const std::string liar = home.file("chmcmd");
    writeBytes(liar, "#!/bin/sh\nexit 0\n");
    stdfs::permissions(liar, stdfs::perms::owner_all);
    stdfs::remove(home.file("P.chm"));
    script->answers.push_back(ui::Yes);
    script->dialogs.push_back([&](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edtCompiler"))->setText(q(liar));
        static_cast<ui::TfrmHelpCompile&>(d).btnDoClick();
        return d.result();
    });
    maker->action(QStringLiteral("actExecute"))->trigger();
    texts = script->takeTexts();
    EXPECT_FALSE(texts.contains(u8("終了しました。")));
    EXPECT_TRUE(texts.join('|').contains(u8("ヘルプファイルが作成されませんでした")));
}

TEST_F(HelpMakerTest, theViewerShowsContentsIndexAndTopics)
{
    const std::string path = writeProject(home, "P", {{0, "Alpha"}, {1, sjis::sj("印刷")}, {0, "Gamma"}});
    writeHtmlPages(home, "P", 3);
    ItemList items = readItems(path);
    help::fillKeywordsFromTitles(items);
    help::writeHelpProject(path, items);
    ASSERT_TRUE(help::compileHelp(*help::findCompilerOnPath(), path, items).ok);

    ui::CHtmlHelp help;
    help.HelpFile(home.file("P.chm"));
    QWidget owner;
    help.ShowTopic(&owner, QString());
    ASSERT_NE(help.viewer(), nullptr);
    ui::HelpViewer* viewer = help.viewer();
    EXPECT_EQ(viewer->currentTopic(), QStringLiteral("html/P0000001.htm")) << "the default topic";
    EXPECT_EQ(viewer->contents()->topLevelItemCount(), 2);
    EXPECT_EQ(viewer->contents()->topLevelItem(0)->child(0)->text(0), u8("印刷"));
    EXPECT_TRUE(viewer->browser()->toPlainText().contains(u8("ページ 1")));

    help.ShowTopic(&owner, QStringLiteral("html/P0000002.htm"));
    EXPECT_TRUE(viewer->browser()->toPlainText().contains(u8("ページ 2")));
    viewer->indexSearch()->setText(u8("印"));
    ASSERT_NE(viewer->index()->currentItem(), nullptr);
    EXPECT_EQ(viewer->index()->currentItem()->text(), u8("印刷"));

    ui::CHtmlHelp missing;
    missing.HelpFile(home.file("none.chm"));
    missing.ShowTopic(&owner, QString());
    EXPECT_EQ(missing.viewer(), nullptr);
    EXPECT_TRUE(script->takeTexts().join('|').contains(u8("ヘルプファイルを開けません")));
}

TEST_F(HelpMakerTest, versionBoxAndHelpCommandOfTheMainWindow)
{
    ui::TfrmAboutBox box(nullptr, QStringLiteral("Sheafhelp"), QStringLiteral("Help Maker for Sheaf3"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Ver." SHEAF_VERSION));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("lblProductName"))->text(), QStringLiteral("Sheafhelp"));

    ::setenv("SHEAF3_HELP", home.file("absent.chm").c_str(), 1);
    start();
    trigger("actHelp");
    EXPECT_TRUE(script->takeTexts().join('|').contains(u8("ヘルプファイルを開けません")));
    ::unsetenv("SHEAF3_HELP");
    EXPECT_TRUE(window->action("actVersion")->isEnabled());
}
