// The page editor's line commands, the function keys, the view toggles and
// the shortcut list.
#include "common/inifile.h"
#include "search/searchtreedialog.h"
#include "settings/keyboardwindow.h"
#include "support/uifixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>

using namespace sheaf;
using namespace sheaf::test;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

// Selects from (line, index) to (line, index) in the editor.
void select(ui::PageEditor* e, int l1, int i1, int l2, int i2) { e->setSelection(l1, i1, l2, i2); }

} // namespace

TEST_F(UiTest, lineCommandsAreOneUndoStepEach)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    start({q(path)});
    struct Case {
        const char* name;
        QString text;
        int l1, i1, l2, i2;
        const char* command;
        QString expected;
    };
    const Case cases[] = {
        {"ascending", "b\r\nA\r\nc", 0, 0, 2, 1, "actPop2Sort1", "A\r\nb\r\nc"},
        {"descending", "b\r\nA\r\nc", 0, 0, 2, 1, "actPop2Sort2", "c\r\nb\r\nA"},
        {"a selection inside one row sorts nothing", "b\r\nA\r\nc", 0, 0, 0, 1, "actPop2Sort1", "b\r\nA\r\nc"},
        {"Japanese join keeps no blank", u8("日本語の\r\n  文章です。\r\n"), 0, 0, 2, 0, "actPop2DeleteReturn0",
         u8("日本語の文章です。\r\n")},
        {"a blank line survives as one", u8("一つ目\r\n\r\n二つ目"), 0, 0, 2, 3, "actPop2DeleteReturn0",
         u8("一つ目\r\n\r\n二つ目")},
        {"English join with a space", "This is\r\na test.", 0, 0, 1, 7, "actPop2DeleteReturn1", "This is a test."},
        {"tab insert", "a\r\nb\r\nc", 0, 0, 2, 0, "actPop2IndentTabInsert", "\ta\r\n\tb\r\nc"},
        {"tab delete on lines without a tab", "a\r\n\tb\r\nc", 0, 0, 2, 0, "actPop2IndentTabDelete", "a\r\nb\r\nc"},
        {"space insert", "a\r\nb", 0, 0, 1, 1, "actPop2IndentSpaceInsert", "  a\r\n  b"},
        {"space delete", "  a\r\n  b", 0, 0, 1, 3, "actPop2IndentSpaceDelete", "a\r\nb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        textEditor()->setText(c.text);
        textEditor()->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        select(textEditor(), c.l1, c.i1, c.l2, c.i2);
        trigger(c.command);
        EXPECT_EQ(textEditor()->text(), c.expected);
        if (c.expected != c.text) {
            textEditor()->undo();
            EXPECT_EQ(textEditor()->text(), c.text) << "one undo step";
        }
    }
    textEditor()->setText(QStringLiteral("abc\r\ndef"));
    trigger("actPop2EndPos");
    EXPECT_EQ(textEditor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 8);
    trigger("actPop2StartPos");
    EXPECT_EQ(textEditor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 0);

    // A box selection sorts the lines it covers.
    textEditor()->setText(QStringLiteral("zz\r\nyy\r\nxx\r\nww"));
    textEditor()->SendScintilla(QsciScintillaBase::SCI_SETRECTANGULARSELECTIONANCHOR, 1UL);
    textEditor()->SendScintilla(QsciScintillaBase::SCI_SETRECTANGULARSELECTIONCARET,
                                static_cast<unsigned long>(textEditor()->positionFromLineIndex(2, 1)));
    trigger("actPop2Sort1");
    EXPECT_EQ(textEditor()->text(), QStringLiteral("xx\r\nyy\r\nzz\r\nww"));
}

TEST_F(UiTest, functionKeysRunTheirCommandsWithTheBarShownOrHidden)
{
    const std::string path = writeProject(home, "P", {{0, "one"}, {0, "abc"}, {0, "two"}, {0, "abc again"}});
    start({q(path)});
    auto* f3 = widget<QPushButton>("btnFuncKey3");
    EXPECT_EQ(f3->text(), u8("F3 次検索"));
    EXPECT_EQ(widget<QPushButton>("btnFuncKey12")->text(), u8("F12 全選択"));
    script->dialogs.push_back([](QDialog& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbSearch"))->setEditText(QStringLiteral("abc"));
        static_cast<ui::TfrmSearchTree&>(d).btnSearchClick();
        return d.result();
    });
    trigger("actSearchTree");
    EXPECT_EQ(window->selectedNode(), node(1));
    QTest::keyClick(textEditor(), Qt::Key_F3);
    EXPECT_EQ(window->selectedNode(), node(3)) << "the key F3, even from inside the editor";

    trigger("actShowFuncKey");
    EXPECT_FALSE(widget<QWidget>("Panel1")->isVisible());
    f3->click(); // the match was the last item: this press only resets the start
    EXPECT_TRUE(script->takeTexts().isEmpty());
    QTest::keyClick(textEditor(), Qt::Key_F3);
    EXPECT_EQ(window->selectedNode(), node(1)) << "keys work with the bar hidden";

    // The layout: three groups of four, a 4-pixel gap after each group.
    trigger("actShowFuncKey");
    window->resize(820, 460);
    QApplication::processEvents();
    const int w = (window->width() - 8) / 12;
    EXPECT_EQ(widget<QPushButton>("btnFuncKey1")->geometry().left(), 2);
    EXPECT_EQ(widget<QPushButton>("btnFuncKey5")->geometry().left(), 2 + 4 * w + 4);
    EXPECT_EQ(widget<QPushButton>("btnFuncKey9")->geometry().left(), 2 + 8 * w + 8);
    EXPECT_EQ(widget<QPushButton>("btnFuncKey1")->width(), w);
}

TEST_F(UiTest, storedAssignmentsTogglesAndTheShortcutList)
{
    IniFile ini(home.file("settings/Sheaf3.ini"));
    ini.writeString("Customize", "FunctionKey", "15,1,2,3,4,5,6,7,8,9,10,11,12,13");
    start();
    EXPECT_EQ(widget<QPushButton>("btnFuncKey1")->text(), QStringLiteral("F1 Perl"));
    EXPECT_EQ(widget<QPushButton>("btnFuncKey12")->text(), u8("F12 全選択")) << "items past the twelfth are dropped";
    trigger("actShowFuncKey");
    trigger("actShowToolbar");
    window->close();
    window.reset();
    start();
    EXPECT_FALSE(widget<QWidget>("Panel1")->isVisible()) << "hidden after a restart";
    EXPECT_FALSE(widget<QWidget>("ToolBar1")->isVisible());
    EXPECT_TRUE(window->statusBar()->isVisible());

    ini.writeString("Customize", "FunctionKey", "3,x,4");
    window->close();
    window.reset();
    start();
    EXPECT_EQ(widget<QPushButton>("btnFuncKey1")->text(), u8("F1 新ページ"));
    EXPECT_EQ(widget<QPushButton>("btnFuncKey2")->text(), u8("F2 文末へ")) << "a bad item stops the assignment";
    EXPECT_EQ(script->takeTexts().size(), 1);

    QTest::keyClick(window.get(), Qt::Key_Slash, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Slash, Qt::ControlModifier);
    EXPECT_EQ(window->findChildren<ui::TfrmKeyboard*>().size(), 2) << "one window per press";
    ui::TfrmKeyboard* list = window->findChildren<ui::TfrmKeyboard*>().front();
    EXPECT_EQ(list->windowTitle(), u8("キーボードのショートカット一覧"));
    EXPECT_EQ(ui::TfrmKeyboard::rows().size(), 27u);
    EXPECT_STREQ(ui::TfrmKeyboard::rows()[2].first, "");
}
