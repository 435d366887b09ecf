// The main window: start-up, project commands, pages, the HTML and preview
// tabs, line colouring and settings.
#include "common/inifile.h"
#include "common/qtext.h"
#include "main/linelexer.h"
#include "main/newprojectdialog.h"
#include "main/statuspanels.h"
#include "project/projectlock.h"
#include "project/shffile.h"
#include "support/uifixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {
QString u8(const char* s) { return QString::fromUtf8(s); }
}

TEST_F(UiTest, startsWithoutAProject)
{
    start();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Sheaf"));
    EXPECT_EQ(textEditor()->text(), u8("メニュー [ファイル] の [SHF3 ファイルを新規作成] または [既存の SHF3 ファイルを開く] を選択してください。"));
    EXPECT_FALSE(widget<QToolButton>("tbMark1")->isEnabled());
    EXPECT_EQ(widget<QToolButton>("tbMark2")->toolTip(), u8("マーク２にジャンプ"));
    EXPECT_FALSE(window->action("actEditBackward")->isEnabled());
    EXPECT_EQ(window->geometry().width(), 870);
    window->SetCaption({});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Temp - Sheaf3"));
    // The file type is registered at every start.
    EXPECT_TRUE(stdfs::exists(home.file("data/applications/duvoror.shf3.desktop")));
    EXPECT_TRUE(stdfs::exists(home.file("data/mime/packages/duvoror.shf3.xml")));
}

TEST_F(UiTest, commandLineProjectIsChecked)
{
    const std::string good = writeProject(home, "Good", {{0, "a"}});
    stdfs::rename(good, home.file("Good.SHF3"));
    writeBytes(home.file("a.txt"), "SHF3");
    writeBytes(home.file("bad.shf3"), "XHF3......");
    struct Case {
        const char* name;
        std::string arg;
        QString message;
        bool opens;
    };
    const Case cases[] = {
        {"extension without regard to case", home.file("Good.SHF3"), QString(), true},
        {"wrong extension", home.file("a.txt"), u8("Sheaf3 用ファイルではありません"), false},
        {"wrong start", home.file("bad.shf3"), u8("正しい Sheaf3 用ファイルではありません"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start({q(c.arg)});
        const QStringList texts = script->takeTexts();
        if (c.message.isEmpty())
            EXPECT_TRUE(texts.isEmpty()) << texts.join(QLatin1Char('|')).toStdString();
        else
            EXPECT_TRUE(texts.contains(c.message)) << texts.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(window->project().outline.size(), c.opens ? 1u : 0u);
        window->close();
        window.reset();
    }
}

TEST_F(UiTest, newProjectWritesFilesFoldersAndLauncher)
{
    start();
    script->dialogs.push_back([&](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edtShfFileName"))->setText(QStringLiteral("Manual"));
        d.findChild<QLineEdit*>(QStringLiteral("edtFolderName"))->setText(q(home.file("doc") + "/"));
        EXPECT_TRUE(d.findChild<QCheckBox*>(QStringLiteral("chkShortcut"))->isChecked());
        return int(QDialog::Accepted);
    });
    trigger("actFileNew");
    EXPECT_TRUE(script->takeTexts().isEmpty());
    for (const char* folder : {"doc/Manual", "doc/html", "doc/html/images"})
        EXPECT_TRUE(stdfs::is_directory(home.file(folder))) << folder;
    EXPECT_EQ(readBytes(home.file("doc/Manual/P0000001.txt")), "P0000001");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Manual - Sheaf3"));
    EXPECT_EQ(window->applicationTitle(), QStringLiteral("Manual"));
    EXPECT_EQ(window->project().nextSerial, 2);
    EXPECT_EQ(textEditor()->text(), QStringLiteral("P0000001"));

    ItemList items;
    CReadSHFFile reader(items, home.file("doc/Manual.shf3"));
    ASSERT_TRUE(reader.ReadFile(true));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->nSerial, 2);
    EXPECT_EQ(reader.nNextSerial(), 2);
    EXPECT_TRUE(stdfs::exists(home.file("Desktop/Manual.desktop")));
    EXPECT_TRUE(stdfs::exists(ProjectLock::lockPath(home.file("doc/Manual.shf3"))));
    EXPECT_NE(readBytes(home.file("settings/Sheaf3.ini")).find("NewProjectForm=100,100,550,200"), std::string::npos);

    window->close();
    EXPECT_FALSE(stdfs::exists(ProjectLock::lockPath(home.file("doc/Manual.shf3")))) << "the lock goes with the window";
}

TEST_F(UiTest, legacyProjectIsSavedAsShf3Beside)
{
    // A legacy file: header to 160, packed tags, no keyword strings.
    std::string data = "SHF ";
    auto put = [&](std::int32_t v) { data.append(reinterpret_cast<const char*>(&v), 4); };
    for (std::int32_t v : {50, 60, 700, 400, 150, 5, 1})
        put(v);
    for (int k = 0; k < 3; ++k) {
        put(0);
        put(0);
    }
    data.resize(160, '\0');
    const std::string page = home.file("old/P0000001.txt");
    writeBytes(page, "Legacy page\r\n");
    data += std::string("\x01\x04\x00", 3);
    put(0);
    put(3);
    put(static_cast<std::int32_t>(page.size()));
    data += page;
    put(6);
    data += "Legacy";
    writeBytes(home.file("old.shf"), data);

    start({q(home.file("old.shf"))});
    ASSERT_EQ(window->project().outline.size(), 1u);
    EXPECT_EQ(node(0)->data->bTag3, 1);
    trigger("actFileSaveAll");
    EXPECT_EQ(readBytes(home.file("old.shf")), data);
    ItemList items;
    ASSERT_TRUE(CReadSHFFile(items, home.file("old.shf3")).ReadFile(true));
    EXPECT_EQ(items[0]->sTitle, "Legacy page");
    EXPECT_EQ(items[0]->bTag3, 1);
}

TEST_F(UiTest, selectingItemsKeepsEveryByteOfThePages)
{
    const std::string path = writeProject(home, "P", {{0, "first"}, {0, "second"}});
    // A page holding every two-byte sequence, lone CR and LF, NUL and invalid bytes.
    std::string nasty = "Title\r\n";
    for (int lead = 0; lead < 256; ++lead)
        for (int trail = 0; trail < 256; ++trail) {
            nasty.push_back(static_cast<char>(lead));
            nasty.push_back(static_cast<char>(trail));
        }
    nasty += "\x82";
    const std::string nastyPath = home.file("P/P0000001.txt");
    writeBytes(nastyPath, nasty);
    const std::string plain = readBytes(home.file("P/P0000002.txt"));
    start({q(path)});
    for (int round = 0; round < 2; ++round) {
        window->selectNode(node(1));
        window->selectNode(node(0));
    }
    window->selectNode(node(1));
    EXPECT_TRUE(readBytes(nastyPath) == nasty) << "the page was changed";
    EXPECT_EQ(readBytes(home.file("P/P0000002.txt")), plain);
    EXPECT_TRUE(script->takeTexts().isEmpty());
}

TEST_F(UiTest, leavingAnItemWritesThePageAndTakesTheTitle)
{
    const std::string path = writeProject(home, "P", {{0, "first"}, {0, "second"}});
    start({q(path)});
    textEditor()->setText(u8("\u3000新しい題\u3000\r\n本文\r\n"));
    window->selectNode(node(1));
    EXPECT_EQ(readBytes(home.file("P/P0000001.txt")), sjis::sj("\u3000新しい題\u3000\r\n本文\r\n"));
    EXPECT_EQ(title(0), sjis::sj("新しい題"));
    EXPECT_EQ(tree()->model()->index(0, 0).data().toString(), u8("新しい題"));
}

TEST_F(UiTest, missingPageIsReplaced)
{
    const std::string path = writeProject(home, "P", {{0, "first"}, {0, "second"}});
    stdfs::remove(home.file("P/P0000002.txt"));
    start({q(path)});
    window->selectNode(node(1));
    const QStringList texts = script->takeTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith(u8("このページのファイルは\n    ") + q(home.file("P/P0000002.txt")) + QStringLiteral("\n")));
    EXPECT_TRUE(texts[0].contains(u8("「ファイルから読み込む」機能を利用してください。")));
    // The next free name after the serial counter (4): P0000004.txt.
    EXPECT_EQ(node(1)->data->sFileName, home.file("P/P0000004.txt"));
    EXPECT_EQ(readBytes(home.file("P/P0000004.txt")),
              "P0000004\r\n\r\n" + sjis::sj("元のファイル名: ") + home.file("P/P0000002.txt") + "\r\n");
    EXPECT_EQ(textEditor()->text().left(8), QStringLiteral("P0000004"));
}

TEST_F(UiTest, htmlTabConvertsOrShowsTheHandMadePage)
{
    const std::string path = writeProject(home, "P", {{0, "first"}, {0, "second"}});
    start({q(path)});
    textEditor()->setText(u8("Guide\r\n・one\r\n"));
    pages()->setCurrentIndex(1);
    const std::string html = readBytes(home.file("html/P0000001.htm"));
    EXPECT_NE(html.find("<h3>Guide</h3>\r\n<ul>\r\n<li>one</li>\r\n</ul>\r\n"), std::string::npos);
    EXPECT_FALSE(htmlEditor()->isModified());
    EXPECT_TRUE(htmlEditor()->text().contains(QStringLiteral("<li>one</li>")));

    // Preview of the file just written.
    pages()->setCurrentIndex(2);
    EXPECT_TRUE(script->takeTexts().isEmpty());
    EXPECT_TRUE(widget<QTextBrowser>("wbPreview")->toPlainText().contains(QStringLiteral("Guide")));

    // Tag 1 on: the stored file is shown, or a warning when there is none.
    pages()->setCurrentIndex(0);
    window->selectNode(node(1));
    node(1)->data->bTag1 = 1;
    pages()->setCurrentIndex(1);
    EXPECT_EQ(script->takeTexts(), QStringList{u8("タグ１はオンですが、対応する HTML ファイルがありません。")});
    pages()->setCurrentIndex(2);
    EXPECT_EQ(script->takeTexts(),
              QStringList{u8("現在のページと対応する HTML ファイル\n") + q(home.file("html/P0000002.htm")) + u8("\nが存在しません。")});
    pages()->setCurrentIndex(0);
    writeBytes(home.file("html/P0000002.htm"), "<p>hand made</p>\r\n");
    pages()->setCurrentIndex(1);
    EXPECT_EQ(htmlEditor()->text(), QStringLiteral("<p>hand made</p>\r\n"));
    EXPECT_EQ(readBytes(home.file("html/P0000002.htm")), "<p>hand made</p>\r\n");
}

TEST_F(UiTest, typingInTheHtmlTabTurnsTag1On)
{
    const std::string path = writeProject(home, "P", {{0, "first"}, {0, "second"}});
    start({q(path)});
    pages()->setCurrentIndex(1);
    EXPECT_EQ(node(0)->data->bTag1, 0);
    htmlEditor()->setFocus();
    htmlEditor()->insert(QStringLiteral("<!-- edited -->"));
    QApplication::processEvents();
    EXPECT_EQ(node(0)->data->bTag1, 1) << "on before any save";
    EXPECT_TRUE(window->action("actPop1Tag1")->isChecked());
    script->answers.push_back(ui::No);
    window->selectNode(node(1));
    const QStringList texts = script->takeTexts();
    EXPECT_TRUE(texts.contains(u8("HTML を編集しましたが、タグ１をオンにしますか？")));
    EXPECT_EQ(node(0)->data->bTag1, 1) << "No leaves it on";
    EXPECT_NE(readBytes(home.file("html/P0000001.htm")).find("<!-- edited -->"), std::string::npos);

    // Opening the HTML tab without typing asks nothing and keeps tag 1 as it was.
    pages()->setCurrentIndex(1);
    window->selectNode(node(0));
    EXPECT_TRUE(script->takeTexts().isEmpty());
    EXPECT_EQ(node(1)->data->bTag1, 0);
}

TEST_F(UiTest, savePageEmptiesTheFirstKeyword)
{
    const std::string path = writeProject(home, "P", {{0, "first"}});
    start({q(path)});
    node(0)->data->sKeyword1 = "key";
    textEditor()->setText(QStringLiteral("changed\r\n"));
    QApplication::processEvents();
    EXPECT_TRUE(window->action("actFileSave")->isEnabled()) << "enabled when the text is modified";
    trigger("actFileSave");
    EXPECT_EQ(node(0)->data->sKeyword1, "");
    EXPECT_EQ(readBytes(home.file("P/P0000001.txt")), "changed\r\n");
    EXPECT_FALSE(textEditor()->isModified());
}

TEST(LineColouring, wholeLineRules)
{
    ui::LineLexer text(nullptr, true);
    ui::LineLexer html(nullptr, false);
    for (ui::LineLexer* l : {&text, &html}) {
        l->setKeywords({"note", sjis::sj("使用例")});
        l->setSearch(true, "ab");
    }
    struct Case {
        const char* name;
        std::string line;
        ui::LineLexer::Style text;
        ui::LineLexer::Style html;
    };
    using S = ui::LineLexer::Style;
    const Case cases[] = {
        {"ends with the at sign", sjis::sj("見出し＠"), S::AtMark, S::Default},
        {"at sign followed by text", sjis::sj("見出し＠です"), S::Default, S::Default},
        {"keyword in other case", "NOTE", S::Keyword, S::Default},
        {"keyword followed by a colon", "note:", S::Default, S::Default},
        {"line longer than 16 bytes", "note note note no", S::Default, S::Default},
        {"search text in the other case", "xxABxx", S::Search, S::Search},
        {"search overrides the at sign", sjis::sj("AB＠"), S::Search, S::Search},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(text.styleFor(c.line), c.text);
        EXPECT_EQ(html.styleFor(c.line), c.html);
    }
    text.setSearch(true, "a");
    EXPECT_EQ(text.styleFor("a a a"), S::Default) << "one letter highlights nothing";
    text.setSearch(false, "ab");
    EXPECT_EQ(text.styleFor("ab"), S::Default);
}

TEST_F(UiTest, settingsAreWrittenAtCloseAndReadAtTheNextStart)
{
    const std::string path = writeProject(home, "P", {{0, "first"}});
    IniFile ini(home.file("settings/Sheaf3.ini"));
    ini.writeString("Keyword", "0", "note");
    ini.writeString("SearchPage", "0", "older");
    start({q(path)});
    auto* search = widget<QComboBox>("cmbSearch");
    EXPECT_EQ(search->currentText(), QStringLiteral("older"));
    search->insertItem(0, QStringLiteral("newest"));
    window->action("actShowToolbar")->setChecked(false);
    window->close();
    window.reset();
    EXPECT_FALSE(ini.readBool("Customize", "ShowMenuToolbar", true));
    EXPECT_TRUE(ini.readBool("Customize", "ShowMenuStatusbar", false));
    EXPECT_EQ(ini.readString("SearchPage", "0", ""), "newest");
    EXPECT_EQ(ini.readString("SearchPage", "1", ""), "older");

    start();
    EXPECT_FALSE(widget<QToolBar>("ToolBar1")->isVisible());
    EXPECT_FALSE(window->action("actShowToolbar")->isChecked());
}

TEST_F(UiTest, windowShortcutsWorkWhileTheEditorHasTheFocus)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}, {0, "c"}});
    start({q(path)});
    window->activateWindow();
    textEditor()->setFocus();
    QApplication::processEvents();
    QTest::keyClick(textEditor(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(window->selectedNode(), node(1));
    QTest::keyClick(textEditor(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(titles(), "b:0 a:0 c:0") << "Alt+Up moved the item";
}

TEST_F(UiTest, statusPanelsShowPathSerialCaretAndPosition)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}, {0, "c"}});
    start({q(path)});
    window->selectNode(node(2));
    auto text = [&](int i) {
        return window->findChild<QWidget*>(QStringLiteral("StatusPanel%1").arg(i))->property("text").toString();
    };
    EXPECT_EQ(text(2), QStringLiteral("3 / 3"));
    EXPECT_TRUE(text(0).endsWith(QStringLiteral("P0000003.txt (00004)"))) << text(0).toStdString();
    textEditor()->setCursorPosition(1, 3);
    window->ShowCaretPos(textEditor());
    EXPECT_EQ(text(1), QStringLiteral("2 : 4"));

    const QFontMetrics fm(window->font());
    const QString longPath = QStringLiteral("/home/user/documents/manuals/project/P0000001.txt");
    const QString shortened = ui::shortenPathToWidth(longPath, fm, fm.horizontalAdvance(QStringLiteral("/home/user/.../P0000001.txt")) + 2);
    EXPECT_EQ(shortened, QStringLiteral("/home/user/.../P0000001.txt"));
}

TEST_F(UiTest, closingWithoutAProjectWritesOnlyTheSettings)
{
    start();
    window->close();
    window.reset();
    EXPECT_TRUE(IniFile(home.file("settings/Sheaf3.ini")).valueExists("Customize", "ShowMenuToolbar"));
    EXPECT_FALSE(IniFile(home.file("settings/Sheaf3.ini")).sectionExists("SearchPage"));
}
