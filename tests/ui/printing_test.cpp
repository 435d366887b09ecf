// Printing the current page: through the real print path into a PDF file,
// read back with pdftotext.
#include "common/inifile.h"
#include "print/setprinterdialog.h"
#include "support/uifixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPageLayout>

#include <cstdio>
#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

std::string pdfText(const std::string& pdf)
{
    const std::string txt = pdf + ".txt";
    const std::string command = "pdftotext -enc UTF-8 '" + pdf + "' '" + txt + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    // The footer's blanks do not survive the text extraction: compare without them.
    std::string text;
    for (char c : readBytes(txt))
        if (c != ' ')
            text += c;
    return text;
}

} // namespace

TEST_F(UiTest, aPageIsPrintedAsLastSavedWithItsPageNumbers)
{
    const std::string path = writeProject(home, "P", {{0, "alpha"}});
    std::string page = sjis::sj("印刷の見出し\r\n日本語の本文です。\r\n");
    for (int i = 0; i < 120; ++i)
        page += "line " + std::to_string(i) + " " + std::string(150, 'w') + "\r\n"; // long lines wrap
    writeBytes(home.file("P/P0000001.txt"), page);
    IniFile(home.file("settings/Sheaf3.ini")).writeInteger("Printer", "MarginLeft", 20);
    start({q(path)});
    textEditor()->setText(QStringLiteral("not saved\r\n"));

    script->printToPdf.push_back(q(home.file("out.pdf")));
    script->dialogs.push_back([](QDialog& d) {
        auto& dialog = static_cast<ui::TfrmSetPrinter&>(d);
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("edtMarginLeft"))->text(), QStringLiteral("20"));
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("edtFontName"))->text(), u8("ＭＳ ゴシック"));
        dialog.btnPrtSetupClick();
        dialog.btnPrintClick();
        EXPECT_EQ(dialog.printer().pageLayout().margins(QPageLayout::Millimeter).left(), 20);
        return d.result();
    });
    trigger("actFilePrint");
    const std::string text = pdfText(home.file("out.pdf"));
    EXPECT_NE(text.find("印刷の見出し"), std::string::npos) << text.substr(0, 300);
    EXPECT_NE(text.find("日本語の本文です。"), std::string::npos);
    EXPECT_EQ(text.find("not saved"), std::string::npos) << "the page as last saved";
    EXPECT_NE(text.find("-1-"), std::string::npos) << text.substr(text.size() > 400 ? text.size() - 400 : 0);
    EXPECT_NE(text.find("-2-"), std::string::npos) << "long pages go on to more pages";
    EXPECT_NE(text.find("line119"), std::string::npos);

    script->printToPdf.push_back(q(home.file("plain.pdf")));
    script->dialogs.push_back([](QDialog& d) {
        auto& dialog = static_cast<ui::TfrmSetPrinter&>(d);
        d.findChild<QCheckBox*>(QStringLiteral("chkFooter"))->setChecked(false);
        dialog.btnPrtSetupClick();
        dialog.btnPrintClick();
        return d.result();
    });
    trigger("actFilePrint");
    EXPECT_EQ(pdfText(home.file("plain.pdf")).find("-1-"), std::string::npos) << "no footer when unchecked";
}

TEST_F(UiTest, marginsMustBeDigitsAndAreOfferedAgain)
{
    const std::string path = writeProject(home, "P", {{0, "alpha"}});
    start({q(path)});
    script->dialogs.push_back([&](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edtMarginTop"))->setText(QStringLiteral("abc"));
        static_cast<ui::TfrmSetPrinter&>(d).btnPrintClick();
        EXPECT_EQ(script->takeTexts(), QStringList{u8("マージンに数字以外の文字が含まれています")});
        EXPECT_EQ(d.result(), 0) << "the dialog stays open";
        d.findChild<QLineEdit*>(QStringLiteral("edtMarginTop"))->setText(QStringLiteral("25"));
        d.reject(); // closing writes the settings
        return int(QDialog::Rejected);
    });
    trigger("actFilePrint");
    window->close();
    EXPECT_EQ(IniFile(home.file("settings/Sheaf3.ini")).readInteger("Printer", "MarginTop", 0), 25);
    EXPECT_NE(readBytes(home.file("settings/Sheaf3.ini")).find("  FontName="), std::string::npos)
        << "the key with its two blanks";
}
