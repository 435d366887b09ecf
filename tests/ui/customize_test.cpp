// The customize dialog: what it writes, per scheme, and what stays when it is cancelled.
#include "common/colorset.h"
#include "common/inifile.h"
#include "settings/customizedialog.h"
#include "support/uifixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {
QString u8(const char* s) { return QString::fromUtf8(s); }
}

TEST_F(UiTest, applyWritesTheSettingsAndTheProjectsHtmlSettings)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    writeBytes(home.file("note.png"), "PNG image");
    start({q(path)});
    script->dialogs.push_back([&](QDialog& d) {
        auto& c = static_cast<ui::TfrmCustomize&>(d);
        d.findChild<QPlainTextEdit*>(QStringLiteral("edtKeyword"))->setPlainText(QStringLiteral("A\n\nB"));
        d.findChild<QPlainTextEdit*>(QStringLiteral("edtHtmlSearch"))->setPlainText(QStringLiteral("x\ny"));
        d.findChild<QPlainTextEdit*>(QStringLiteral("edtHtmlReplace"))->setPlainText(QStringLiteral("X"));
        d.findChild<QLineEdit*>(QStringLiteral("edtImageFileName"))->setText(q(home.file("note.png")));
        d.findChild<QListWidget*>(QStringLiteral("lstFuncKey"))->setCurrentRow(0);
        c.chooseFunction(15);
        c.btnOKClick();
        return d.result();
    });
    trigger("actCustomize");
    const IniFile ini(home.file("settings/Sheaf3.ini"));
    const auto keywords = ini.readSectionValues("Keyword");
    ASSERT_EQ(keywords.size(), 2u);
    EXPECT_EQ(keywords[0].first, "0");
    EXPECT_EQ(keywords[1].first, "2") << "keys numbered by editor line";
    EXPECT_EQ(ini.readString("Customize", "FunctionKey", ""), "15,1,2,3,4,5,6,7,8,9,10,11");
    EXPECT_FALSE(ini.valueExists("Customize", "TextBackColor")) << "no colour keys for the standard scheme";
    const IniFile html(home.file("P.ini"));
    EXPECT_EQ(html.readSectionValues("Keyword").size(), 2u);
    EXPECT_EQ(html.readString("Replace", "1", "missing"), "") << "a pair with an empty replacement";
    EXPECT_TRUE(html.valueExists("Replace", "1"));
    EXPECT_EQ(readBytes(home.file("html/images/note.png")), "PNG image") << "copied into the images folder";
    EXPECT_EQ(html.readString("General", "QuoteImageFile", ""), home.file("note.png")) << "stored as chosen";

    // The free scheme writes all thirteen colour keys.
    script->dialogs.push_back([&](QDialog& d) {
        auto& c = static_cast<ui::TfrmCustomize&>(d);
        c.chooseScheme(2);
        for (auto* r : d.findChildren<QRadioButton*>())
            if (r->text() == u8("自由設定"))
                r->setChecked(true);
        c.btnOKClick();
        return d.result();
    });
    trigger("actCustomize");
    for (const char* key : ColorSet::keyNames())
        EXPECT_TRUE(ini.valueExists("Customize", key)) << key;
}

TEST_F(UiTest, aBadFontSizeKeepsTheDialogOpenAndCancelKeepsTheColours)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    start({q(path)});
    script->dialogs.push_back([&](QDialog& d) {
        auto& c = static_cast<ui::TfrmCustomize&>(d);
        c.chooseColor(3);
        EXPECT_EQ(script->takeTexts(),
                  QStringList{u8("1 箇所でも色を変更する場合は、[カスタマイズの方法] を [自由設定] にしてください。")});
        d.findChild<QLineEdit*>(QStringLiteral("edtFontTextFontSize"))->setText(QStringLiteral("10.5"));
        c.btnOKClick();
        EXPECT_EQ(script->takeTexts(), QStringList{QStringLiteral("'10.5' is not a valid integer value")});
        EXPECT_EQ(d.result(), 0) << "still open";
        d.findChild<QPushButton*>(QStringLiteral("btnFontTextFont"))->click();
        d.findChild<QPushButton*>(QStringLiteral("btnFontTreeFont"))->click();
        EXPECT_EQ(script->fontRequests, (std::vector<bool>{true, false})) << "fixed pitch only for the text font";
        // The preview draws HTML tag names in the tag colour.
        auto* preview = d.findChild<ui::PageEditor*>(QStringLiteral("edtColor"));
        preview->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);
        const long tag = preview->positionFromLineIndex(10, 0);
        EXPECT_EQ(preview->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(tag)), 5)
            << preview->text(10).toStdString();
        EXPECT_EQ(preview->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(tag + 4)), 0);
        c.chooseScheme(0); // the dark scheme, then cancel
        return int(QDialog::Rejected);
    });
    trigger("actCustomize");
    EXPECT_EQ(window->colors()[ColorSet::KeywordFore], ColorSet::scheme(0)[ColorSet::KeywordFore])
        << "the colour set keeps the scheme chosen before the cancel";
    EXPECT_EQ(IniFile(home.file("settings/Sheaf3.ini")).readInteger("Customize", "Customizer", 1), 1);
}
