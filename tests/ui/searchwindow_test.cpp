// The search dialogs of the main window, driven through the scripted interaction.
#include "common/inifile.h"
#include "search/searchdialog.h"
#include "search/searchhtmldialog.h"
#include "search/searchtreedialog.h"
#include "support/uifixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

// Answers the text search dialog: mode, range and texts, then the run button.
std::function<int(QDialog&)> runSearch(bool replace, int range, const QString& text, const QString& replacement = {})
{
    return [=](QDialog& d) {
        if (replace)
            d.findChild<QRadioButton*>(QStringLiteral("rbtnMode2"))->click();
        d.findChild<QRadioButton*>(QStringLiteral("rgRange%1").arg(range))->setChecked(true);
        d.findChild<QComboBox*>(QStringLiteral("cmbSearch"))->setEditText(text);
        d.findChild<QComboBox*>(QStringLiteral("cmbReplace"))->setEditText(replacement);
        static_cast<ui::TfrmSearch&>(d).btnDoClick();
        return d.result();
    };
}

std::function<int(QDialog&)> runTreeSearch(const QString& text)
{
    return [=](QDialog& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbSearch"))->setEditText(text);
        static_cast<ui::TfrmSearchTree&>(d).btnSearchClick();
        return d.result();
    };
}

} // namespace

TEST_F(UiTest, textSearchFillsTheResultListAndAClickSelects)
{
    const std::string path = writeProject(home, "P", {{0, "alpha"}, {1, "beta"}, {0, "gamma"}, {0, "delta"}});
    writeBytes(home.file("P/P0000002.txt"), "beta\r\nfind ME here\r\n");
    writeBytes(home.file("P/P0000004.txt"), "delta\r\nme too\r\n");
    start({q(path)});
    script->dialogs.push_back([&](QDialog& d) {
        EXPECT_FALSE(d.findChild<QComboBox*>(QStringLiteral("cmbReplace"))->isEnabled()) << "search mode";
        EXPECT_FALSE(d.findChild<QRadioButton*>(QStringLiteral("rgRange0"))->isEnabled());
        EXPECT_TRUE(d.findChild<QRadioButton*>(QStringLiteral("rgRange1"))->isChecked());
        return runSearch(false, 2, QStringLiteral("me"))(d);
    });
    trigger("actSearchText");
    auto* results = widget<QListWidget>("lstSearch");
    ASSERT_EQ(results->count(), 2);
    EXPECT_EQ(results->item(0)->text(), QStringLiteral("(0001) beta"));
    EXPECT_EQ(results->item(1)->text(), QStringLiteral("(0003) delta"));
    EXPECT_EQ(widget<QTabWidget>("PageControl1")->currentIndex(), 1);
    EXPECT_EQ(widget<QComboBox>("cmbSearch")->currentText(), QStringLiteral("me"));
    results->itemClicked(results->item(1));
    EXPECT_EQ(window->selectedNode(), node(3));

    // Nothing found: an empty list, no message, the tree tab stays.
    widget<QTabWidget>("PageControl1")->setCurrentIndex(0);
    script->dialogs.push_back(runSearch(false, 2, QStringLiteral("nowhere")));
    trigger("actSearchText");
    EXPECT_EQ(results->count(), 0);
    EXPECT_EQ(widget<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_TRUE(script->takeTexts().isEmpty());

    // The history: a text already there (in another case) keeps its place; the first 20 are stored.
    for (int i = 0; i < 22; ++i) {
        script->dialogs.push_back(runSearch(false, 2, QStringLiteral("word%1").arg(i)));
        trigger("actSearchText");
    }
    script->dialogs.push_back(runSearch(false, 2, QStringLiteral("WORD3")));
    trigger("actSearchText");
    const IniFile ini(home.file("settings/Sheaf3.ini"));
    const auto stored = ini.readSectionValues("SearchTextSearch");
    ASSERT_EQ(stored.size(), 20u);
    EXPECT_EQ(stored[0].second, "word21");
    EXPECT_EQ(stored[18].second, "word3") << "kept its place and its case";
}

TEST_F(UiTest, replaceRewritesThePagesAndReloadsTheShownOne)
{
    const std::string path = writeProject(home, "P", {{0, "alpha"}, {0, "beta"}});
    start({q(path)});
    script->dialogs.push_back(runSearch(true, 2, QStringLiteral("body"), QStringLiteral("BODY")));
    trigger("actSearchText");
    EXPECT_EQ(readBytes(home.file("P/P0000001.txt")), "alpha\r\nBODY of alpha\r\n");
    EXPECT_EQ(readBytes(home.file("P/P0000002.txt")), "beta\r\nBODY of beta\r\n");
    EXPECT_EQ(textEditor()->text(), QStringLiteral("alpha\r\nBODY of alpha\r\n")) << "reloaded";
    EXPECT_FALSE(textEditor()->isModified());
}

TEST_F(UiTest, htmlReplaceReloadsTheHtmlAndTurnsTag1On)
{
    const std::string path = writeProject(home, "P", {{0, "alpha"}});
    start({q(path)});
    pages()->setCurrentIndex(1); // converts and writes the HTML file
    ASSERT_EQ(node(0)->data->bTag1, 0);
    script->dialogs.push_back([](QDialog& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbSearch"))->setEditText(QStringLiteral("<H3>"));
        d.findChild<QComboBox*>(QStringLiteral("cmbReplace"))->setEditText(QStringLiteral("<h2>"));
        static_cast<ui::TfrmSearchHtml&>(d).btnDoClick();
        return d.result();
    });
    trigger("actSearchText");
    // "<H3>" is not in the file in that case: exact-case test first, nothing changes.
    EXPECT_EQ(readBytes(home.file("html/P0000001.htm")).find("<h2>"), std::string::npos);
    EXPECT_EQ(node(0)->data->bTag1, 1) << "tag 1 is switched on after the dialog's OK";

    script->dialogs.push_back([](QDialog& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbSearch"))->setEditText(QStringLiteral("<h3>"));
        d.findChild<QComboBox*>(QStringLiteral("cmbReplace"))->setEditText(QStringLiteral("<h2>"));
        static_cast<ui::TfrmSearchHtml&>(d).btnDoClick();
        return d.result();
    });
    trigger("actSearchText");
    EXPECT_NE(readBytes(home.file("html/P0000001.htm")).find("<h2>alpha</h3>"), std::string::npos);
    EXPECT_TRUE(htmlEditor()->text().contains(QStringLiteral("<h2>alpha</h3>"))) << "the editor shows the file";
    const IniFile ini(home.file("settings/Sheaf3.ini"));
    const auto searches = ini.readSectionValues("SearchHtmlSearch");
    const auto replaces = ini.readSectionValues("SearchHtmlReplace");
    ASSERT_EQ(searches.size(), 1u) << "the same text in another case keeps its place";
    EXPECT_EQ(searches[0].second, "<H3>");
    ASSERT_EQ(replaces.size(), 1u);
    EXPECT_EQ(replaces[0].second, "<h2>");
}

TEST_F(UiTest, treeSearchAndF3WalkTheMatchesThenRestart)
{
    const std::string path = writeProject(home, "P", {{0, "one"}, {0, "xABCx"}, {0, "two"}, {0, "abc end"}, {0, "three"}});
    start({q(path)});
    trigger("actSearchNext");
    EXPECT_EQ(window->selectedNode(), node(0)) << "F3 before any tree search does nothing";

    script->dialogs.push_back(runTreeSearch(QStringLiteral("abc")));
    trigger("actSearchTree");
    EXPECT_EQ(window->selectedNode(), node(1));
    trigger("actSearchNext");
    EXPECT_EQ(window->selectedNode(), node(3));
    trigger("actSearchNext");
    EXPECT_EQ(script->takeTexts(), QStringList{u8("「abc」\nの検索を終了しました")});
    trigger("actSearchNext");
    EXPECT_EQ(window->selectedNode(), node(1)) << "starts again at the first item";

    // A cancelled dialog switches F3 off.
    trigger("actSearchTree");
    window->selectNode(node(0));
    trigger("actSearchNext");
    EXPECT_EQ(window->selectedNode(), node(0));

    // The history: the same text in other letter case goes to the top with its new case; 20 at most.
    for (int i = 0; i < 22; ++i) {
        script->dialogs.push_back(runTreeSearch(QStringLiteral("t%1").arg(i)));
        trigger("actSearchTree");
        script->takeTexts();
    }
    script->dialogs.push_back(runTreeSearch(QStringLiteral("T5")));
    trigger("actSearchTree");
    const auto stored = IniFile(home.file("settings/Sheaf3.ini")).readSectionValues("SearchTree");
    ASSERT_EQ(stored.size(), 20u);
    EXPECT_EQ(stored[0].second, "T5");
    EXPECT_EQ(stored[1].second, "one") << "the word at the caret was put at the top of the list";
    EXPECT_EQ(stored[2].second, "t21");
}

TEST_F(UiTest, theCaretWordPrefillsTheTreeSearch)
{
    const std::string path = writeProject(home, "P", {{0, "alpha"}});
    start({q(path)});
    textEditor()->setText(QStringLiteral("some keyword here"));
    textEditor()->setCursorPosition(0, 7);
    script->dialogs.push_back([](QDialog& d) {
        EXPECT_EQ(d.findChild<QComboBox*>(QStringLiteral("cmbSearch"))->currentText(), QStringLiteral("keyword"));
        return int(ui::mrCancel);
    });
    trigger("actSearchTree");
}

TEST_F(UiTest, pageSearchBoxMovesItsTextToTheTop)
{
    const std::string path = writeProject(home, "P", {{0, "alpha"}});
    start({q(path)});
    auto* box = widget<QComboBox>("cmbSearch");
    box->addItems({QStringLiteral("first"), QStringLiteral("Second")});
    box->setEditText(QStringLiteral("second"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(window->action("actToolbarSearch")->isChecked());
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(0), QStringLiteral("second"));
    EXPECT_EQ(box->itemText(1), QStringLiteral("first"));
}
