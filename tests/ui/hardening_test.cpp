// The main window as a new user meets it: nothing typed is ever lost, a
// second program cannot overwrite the first, input methods' characters are
// kept, and the window fits and reads in Japanese.
#include "common/fonts.h"
#include "common/qtext.h"
#include "main/newprojectdialog.h"
#include "main/statuspanels.h"
#include "main/treedrag.h"
#include "project/projectlock.h"
#include "project/shffile.h"
#include "support/uifixture.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

std::string hostName()
{
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return host;
}

long deadProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

void writeLock(const std::string& project, const std::string& user, long pid)
{
    writeBytes(ProjectLock::lockPath(project), user + "\n" + hostName() + "\n" + std::to_string(pid) + "\n");
}

} // namespace

TEST_F(UiTest, aProjectOpenInAnotherLiveProgramIsOpenedOnlyWhenTheUserSaysSo)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    writeLock(path, "someone", 1); // pid 1 always runs
    start({q(path)});
    ASSERT_FALSE(script->messages.empty());
    const RecordedMessage asked = script->messages.front();
    EXPECT_TRUE(asked.text.contains(u8("ユーザー someone、ホスト ") + q(hostName()) + u8("、プロセス 1"))) << asked.text.toStdString();
    EXPECT_EQ(asked.defaultButton, ui::No);
    EXPECT_EQ(window->project().outline.size(), 0u) << "No is the default";
    window->close();
    window.reset();
    EXPECT_EQ(ProjectLock::owner(path)->pid, 1) << "the other program's lock stays";

    script->messages.clear();
    script->answers.push_back(ui::Yes);
    start({q(path)});
    EXPECT_EQ(window->project().outline.size(), 2u);
    EXPECT_EQ(ProjectLock::owner(path)->pid, ::getpid());
    // The other program takes the lock back; closing here leaves it alone.
    writeLock(path, "someone", 1);
    window->close();
    EXPECT_TRUE(stdfs::exists(ProjectLock::lockPath(path))) << "only our own lock is removed";
}

TEST_F(UiTest, aStaleLockIsTakenOverWithANoteAndLeftoversGo)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    writeLock(path, "someone", deadProcess());
    writeBytes(home.file("P/.sheaf~abcdef~P0000001.txt"), "half a page");
    writeBytes(home.file(".sheaf~abcdef~P.shf3"), "half a project");
    start({q(path)});
    EXPECT_TRUE(script->takeTexts().isEmpty()) << "no question for a dead owner";
    EXPECT_EQ(window->project().outline.size(), 1u);
    EXPECT_TRUE(widget<ui::StatusPanel>("StatusPanel0")->text().contains(u8("ロックを引き継ぎました")));
    EXPECT_EQ(ProjectLock::owner(path)->pid, ::getpid());
    EXPECT_FALSE(stdfs::exists(home.file("P/.sheaf~abcdef~P0000001.txt")));
    EXPECT_FALSE(stdfs::exists(home.file(".sheaf~abcdef~P.shf3")));
}

TEST_F(UiTest, aTruncatedProjectIsShownAsAFailureAndNeverWrittenBack)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}, {0, "c"}});
    const std::string full = readBytes(path);
    writeBytes(path, full.substr(0, full.size() - 10));
    start({q(path)});
    const QStringList texts = script->takeTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith(u8("指定の SHF ファイルをオープンできませんでした\n") + q(path)));
    EXPECT_EQ(window->project().outline.size(), 0u);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Sheaf"));
    window->close();
    EXPECT_EQ(readBytes(path), full.substr(0, full.size() - 10));
}

TEST_F(UiTest, aFileThatIsNoProjectCreatesNothingAndGetsOneMessage)
{
    writeBytes(home.file("notes.shf3"), "these are notes");
    start();
    script->files.push_back(q(home.file("notes.shf3")));
    trigger("actFileOpen");
    const QStringList texts = script->takeTexts();
    ASSERT_EQ(texts.size(), 1) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts[0].startsWith(u8("正しい Sheaf3 用ファイルではありません")));
    for (const char* made : {"notes", "html"})
        EXPECT_FALSE(stdfs::exists(home.file(made))) << made;
}

TEST_F(UiTest, charactersOfInputMethodsAreSavedAsTheirCodes)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    start({q(path)});
    textEditor()->setText(QStringLiteral("a\u301C\u2212b\r\n"));
    window->selectNode(node(1));
    EXPECT_EQ(readBytes(home.file("P/P0000001.txt")), "a\x81\x60\x81\x7C" "b\r\n");
    EXPECT_TRUE(script->takeTexts().isEmpty()) << "nothing was replaced by '?'";
}

TEST_F(UiTest, htmlEditsAreSavedWhenTheWindowCloses)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    start({q(path)});
    pages()->setCurrentIndex(1);
    htmlEditor()->setFocus();
    htmlEditor()->insert(QStringLiteral("<!-- by hand -->"));
    QApplication::processEvents();
    EXPECT_EQ(node(0)->data->bTag1, 1);
    window->close();
    EXPECT_TRUE(script->takeTexts().contains(u8("HTML を編集しましたが、タグ１をオンにしますか？")));
    EXPECT_NE(readBytes(home.file("html/P0000001.htm")).find("<!-- by hand -->"), std::string::npos);
}

TEST_F(UiTest, openingAnotherProjectOffersToSaveAChangedTree)
{
    const std::string first = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    const std::string second = writeProject(home, "Q", {{0, "x"}});
    start({q(first)});

    // Unchanged: no question.
    script->files.push_back(q(second));
    trigger("actFileOpen");
    EXPECT_TRUE(script->takeTexts().isEmpty());

    script->files.push_back(q(first));
    trigger("actFileOpen");
    window->selectNode(node(0));
    trigger("actEditDown");
    ASSERT_EQ(titles(), "b:0 a:0");
    script->files.push_back(q(second));
    trigger("actFileOpen");
    ASSERT_EQ(script->messages.size(), 1u);
    EXPECT_EQ(script->messages[0].text, u8("現在の SHF3 ファイルのツリーは変更されています。保存しますか？"));
    EXPECT_EQ(script->messages[0].defaultButton, ui::Yes);
    script->messages.clear();
    ItemList items;
    ASSERT_TRUE(CReadSHFFile(items, first).ReadFile(true));
    EXPECT_EQ(items[0]->sTitle, "b") << "Yes saved the moved tree";
}

TEST_F(UiTest, aPageThatCannotBeWrittenKeepsTheItemAndItsText)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    const std::string page = home.file("P/P0000001.txt");
    const std::string before = readBytes(page);
    ::chmod(page.c_str(), 0444);
    start({q(path)});
    textEditor()->setText(QStringLiteral("a\r\ntyped text\r\n"));
    window->selectNode(node(1));
    const QStringList texts = script->takeTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith(u8("テキストのファイルへの出力に失敗しました\n") + q(page) + QStringLiteral("\n")));
    EXPECT_TRUE(texts[0].contains(u8("読み取り専用")));
    EXPECT_EQ(window->selectedNode(), node(0)) << "the item stays selected";
    EXPECT_EQ(textEditor()->text(), QStringLiteral("a\r\ntyped text\r\n"));
    EXPECT_EQ(readBytes(page), before) << "a read-only page is not replaced";

    // Once the page may be written again, leaving works.
    ::chmod(page.c_str(), 0644);
    window->selectNode(node(1));
    EXPECT_EQ(window->selectedNode(), node(1));
    EXPECT_EQ(readBytes(page), "a\r\ntyped text\r\n");
}

TEST_F(UiTest, closingAsksBeforeDroppingAPageThatCannotBeWritten)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    start({q(path)});
    textEditor()->setText(QStringLiteral("a\r\nunsaved\r\n"));
    stdfs::remove_all(home.file("P")); // the page folder is gone: no write can succeed
    window->close();
    EXPECT_TRUE(window->isVisible()) << "No is the default: the text stays on screen";
    EXPECT_TRUE(script->takeTexts().contains(u8("編集中のページを保存できませんでした。保存せずに終了しますか？")));
    script->answers.push_back(ui::Ok);
    script->answers.push_back(ui::Yes);
    window->close();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(UiTest, anUnchangedPageIsNotRewritten)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    const std::string page = home.file("P/P0000001.txt");
    const auto old = stdfs::file_time_type::clock::now() - std::chrono::hours(24);
    stdfs::last_write_time(page, old);
    start({q(path)});
    window->selectNode(node(1));
    EXPECT_EQ(stdfs::last_write_time(page), old);
}

TEST_F(UiTest, aPageThatIsNoRegularFileIsReportedAsSuch)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    stdfs::remove(home.file("P/P0000002.txt"));
    stdfs::create_directory(home.file("P/P0000002.txt"));
    start({q(path)});
    window->selectNode(node(1));
    const QStringList texts = script->takeTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].contains(u8("ディレクトリです"))) << texts[0].toStdString();
    EXPECT_EQ(node(1)->data->sFileName, home.file("P/P0000002.txt")) << "no replacement page";
    EXPECT_TRUE(textEditor()->isReadOnly());
    window->selectNode(node(0));
    EXPECT_TRUE(stdfs::is_directory(home.file("P/P0000002.txt")));
    EXPECT_FALSE(textEditor()->isReadOnly());
}

TEST_F(UiTest, boxSelectionStaysOnForTheMouseAndShiftArrows)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    start({q(path)});
    ui::PageEditor* editor = textEditor();
    editor->setText(QStringLiteral("abcdef\r\nghijkl\r\nmnopqr\r\n"));
    window->action("actEditBoxMode")->setChecked(true);
    QWidget* view = editor->viewport();
    const auto pointOf = [&](int line, int column) {
        const long pos = editor->SendScintilla(QsciScintilla::SCI_FINDCOLUMN, line, column);
        return QPoint(static_cast<int>(editor->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0UL, pos)),
                      static_cast<int>(editor->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL, pos)) + 3);
    };
    QTest::mousePress(view, Qt::LeftButton, {}, pointOf(0, 1));
    QMouseEvent move(QEvent::MouseMove, pointOf(2, 4), view->mapToGlobal(pointOf(2, 4)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::LeftButton, {}, pointOf(2, 4));
    EXPECT_TRUE(editor->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE)) << "a drag makes a box";
    EXPECT_EQ(editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONS), 3);
    QTest::mouseClick(view, Qt::LeftButton, {}, pointOf(1, 2), 1000);
    EXPECT_TRUE(editor->boxSelection()) << "a click keeps the mode";
    EXPECT_TRUE(window->action("actEditBoxMode")->isChecked());

    editor->setCursorPosition(0, 0);
    QTest::keyClick(editor, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(editor->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE)) << "Shift+arrows make a box";

    window->action("actEditBoxMode")->setChecked(false);
    editor->setCursorPosition(0, 0);
    QTest::keyClick(editor, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_FALSE(editor->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE)) << "off again: a stream";
}

TEST_F(UiTest, theToolBarFitsTheDefaultWidthAndKeepsItsButtons)
{
    start();
    ASSERT_EQ(window->width(), 870);
    auto* bar = widget<QToolBar>("ToolBar1");
    QApplication::processEvents();
    auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(more, nullptr);
    EXPECT_FALSE(more->isVisible()) << "nothing is hidden behind the extension button";
    EXPECT_TRUE(widget<QWidget>("cmbSearch")->isVisible());
    EXPECT_TRUE(widget<QWidget>("tbSearchPage")->isVisible());

    const std::string path = writeProject(home, "P", {{0, "a"}});
    script->files.push_back(q(path));
    trigger("actFileOpen");
    auto* tag1 = widget<QToolButton>("tbCheck1");
    const QString before = tag1->text();
    const QSize size = tag1->sizeHint();
    tag1->click();
    EXPECT_TRUE(tag1->isChecked());
    EXPECT_EQ(node(0)->data->bTag1, 1);
    EXPECT_EQ(tag1->text(), before) << "the button keeps its short look";
    EXPECT_EQ(tag1->sizeHint(), size);
    EXPECT_EQ(tag1->toolTip(), u8("タグ 1 をオン/オフ(W)"));
}

TEST_F(UiTest, theEditorFontIsAMonospacedJapaneseFont)
{
    const QFont font = ui::makeFont(u8("ＭＳ ゴシック"), 10);
    const QFontInfo info(font);
    EXPECT_EQ(info.family(), QStringLiteral("IPAGothic"));
    // Latin letters take one column and kana two, so tab tables line up.
    const QFontMetricsF m(font);
    EXPECT_DOUBLE_EQ(m.horizontalAdvance(QStringLiteral("iiii")), m.horizontalAdvance(QStringLiteral("WWWW")))
        << m.horizontalAdvance(QStringLiteral("i")) << " " << m.horizontalAdvance(QStringLiteral("W"));
    EXPECT_DOUBLE_EQ(m.horizontalAdvance(u8("あ")), 2 * m.horizontalAdvance(QStringLiteral("a")));
}

TEST_F(UiTest, standardButtonsReadJapanese)
{
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), u8("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), u8("はい(&Y)"));
}

TEST_F(UiTest, newProjectsOfferTheDocumentsFolderAndNeverReplaceUnasked)
{
    stdfs::create_directories(home.file("Documents"));
    stdfs::remove_all(home.file("Desktop"));
    start();
    script->dialogs.push_back([&](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("edtFolderName"))->text(), q(home.file("Documents")));
        auto* shortcut = d.findChild<QCheckBox*>(QStringLiteral("chkShortcut"));
        EXPECT_FALSE(shortcut->isChecked()) << "no desktop folder";
        EXPECT_FALSE(shortcut->isEnabled());
        d.findChild<QLineEdit*>(QStringLiteral("edtShfFileName"))->setText(QStringLiteral("Manual"));
        return int(QDialog::Accepted);
    });
    trigger("actFileNew");
    EXPECT_TRUE(script->takeTexts().isEmpty());
    ASSERT_TRUE(stdfs::exists(home.file("Documents/Manual.shf3")));
    const std::string made = readBytes(home.file("Documents/Manual.shf3"));
    window->close();
    window.reset();

    start();
    script->dialogs.push_back([&](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edtShfFileName"))->setText(QStringLiteral("Manual"));
        return int(QDialog::Accepted);
    });
    trigger("actFileNew");
    ASSERT_EQ(script->messages.size(), 1u);
    EXPECT_TRUE(script->messages[0].text.contains(u8("はすでにあります。置き換えますか？")));
    EXPECT_EQ(script->messages[0].defaultButton, ui::No);
    EXPECT_EQ(readBytes(home.file("Documents/Manual.shf3")), made);
    EXPECT_EQ(window->project().outline.size(), 0u);
}

TEST_F(UiTest, boundsOfZerosGiveTheDefaultWindow)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    std::string data = readBytes(path);
    std::fill(data.begin() + 4, data.begin() + 20, '\0');
    writeBytes(path, data);
    start({q(path)});
    EXPECT_EQ(window->geometry(), QRect(100, 100, 870, 460));
}

TEST_F(UiTest, aSelectedTag3ItemIsDrawnInTheTreesTextColourOnSilver)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    start({q(path)});
    node(0)->data->bTag3 = 1;
    auto* delegate = qobject_cast<ui::TreeItemDelegate*>(tree()->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    QStyleOptionViewItem option;
    option.initFrom(tree());
    option.state |= QStyle::State_Selected;
    delegate->initStyleOption(&option, tree()->model()->index(0, 0));
    EXPECT_EQ(option.palette.color(QPalette::Highlight), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(option.palette.color(QPalette::HighlightedText), tree()->palette().color(QPalette::Text));
}
