// The script tool runner with a real Perl script, its registrations in the
// settings file, and the external editor found through the MIME database.
#include "common/inifile.h"
#include "search/searchdialog.h"
#include "tools/tooldialog.h"
#include "tools/toolsettings.h"
#include "support/uifixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {
QString u8(const char* s) { return QString::fromUtf8(s); }
}

TEST_F(UiTest, aPerlScriptRewritesThePagesOfARange)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {1, "b"}, {0, "c"}});
    stdfs::create_directories(home.file("my scripts"));
    const std::string perlScript = home.file("my scripts/mark pages.pl");
    // Appends a line to every page named in the response file.
    writeBytes(perlScript, "open(my $r, '<', $ARGV[0]) or die;\n"
                       "while (my $p = <$r>) { $p =~ s/\\r?\\n$//; open(my $f, '>>', $p) or die; print $f \"marked\\r\\n\"; close $f; }\n");
    IniFile(home.file("settings/Sheaf3.ini")).writeString("Tool", "HHC Path", "/usr/bin/chmcmd");
    start({q(path)});
    script->dialogs.push_back([&](QDialog& d) {
        auto& tool = static_cast<ui::TfrmTool&>(d);
        d.findChild<QTabWidget*>()->setCurrentIndex(1);
        d.findChild<QLineEdit*>(QStringLiteral("edtArg"))->setText(q(perlScript));
        d.findChild<QLineEdit*>(QStringLiteral("edtComment"))->setText(u8("ページに印, 空白も可"));
        tool.btnAddClick();
        d.findChild<QLineEdit*>(QStringLiteral("edtToolName"))->setText(QStringLiteral("/usr/bin/perl"));
        d.findChild<QTabWidget*>()->setCurrentIndex(0);
        d.findChild<QRadioButton*>(QStringLiteral("rgRange2"))->setChecked(true);
        tool.btnDoClick();
        return d.result();
    });
    trigger("actToolPerl");
    EXPECT_TRUE(script->takeTexts().isEmpty());
    EXPECT_EQ(readBytes(home.file("settings/Response.txt")),
              home.file("P/P0000001.txt") + "\r\n" + home.file("P/P0000002.txt") + "\r\n" + home.file("P/P0000003.txt") + "\r\n");
    EXPECT_EQ(readBytes(home.file("P/P0000003.txt")), "c\r\nbody of c\r\nmarked\r\n");
    EXPECT_EQ(textEditor()->text(), QStringLiteral("a\r\nbody of a\r\nmarked\r\n")) << "the page shown is reloaded";

    // The registration survives with its comment; the help maker's key stays.
    const IniFile ini(home.file("settings/Sheaf3.ini"));
    const auto tools = tools::readToolSettings(ini);
    ASSERT_EQ(tools.scripts.size(), 1u);
    EXPECT_EQ(tools.scripts[0].Path, perlScript);
    EXPECT_EQ(tools.scripts[0].Comment, sjis::sj("ページに印, 空白も可"));
    EXPECT_EQ(tools.exePath, "/usr/bin/perl");
    EXPECT_EQ(ini.readString("Tool", "HHC Path", ""), "/usr/bin/chmcmd");
}

TEST_F(UiTest, toolRegistrationsRefuseQuotesAndCanBeDeleted)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    start({q(path)});
    script->dialogs.push_back([&](QDialog& d) {
        auto& tool = static_cast<ui::TfrmTool&>(d);
        d.findChild<QLineEdit*>(QStringLiteral("edtArg"))->setText(QStringLiteral("/x/one.pl"));
        d.findChild<QLineEdit*>(QStringLiteral("edtComment"))->setText(QStringLiteral("say \"hi\""));
        tool.btnAddClick();
        EXPECT_TRUE(tool.scripts().empty()) << "a comment with a double quote is refused";
        d.findChild<QLineEdit*>(QStringLiteral("edtComment"))->setText(QStringLiteral("plain"));
        tool.btnAddClick();
        d.findChild<QLineEdit*>(QStringLiteral("edtToolName"))->setText(QStringLiteral("/usr/bin/perl"));
        d.done(ui::mrCancel);
        return int(ui::mrCancel); // registered all the same
    });
    trigger("actToolPerl");
    EXPECT_EQ(script->takeTexts(), QStringList{u8("コメント内に引用符 \" \" を挿入することはできません")});
    const IniFile ini(home.file("settings/Sheaf3.ini"));
    EXPECT_EQ(tools::readToolSettings(ini).scripts.size(), 1u);

    script->dialogs.push_back([&](QDialog& d) {
        d.findChild<QListWidget*>(QStringLiteral("lstReg"))->setCurrentRow(0);
        static_cast<ui::TfrmTool&>(d).btnDeleteClick();
        d.done(ui::mrCancel);
        return int(ui::mrCancel);
    });
    trigger("actToolPerl");
    EXPECT_FALSE(ini.valueExists("Tool", "ToolScript"));
    EXPECT_FALSE(ini.valueExists("Tool", "ToolComment"));
    EXPECT_EQ(ini.readString("Tool", "ToolExePath", ""), "/usr/bin/perl");
    EXPECT_EQ(tools::splitQuotedList("a b\",\"c"), (std::vector<std::string>{"a b", "c"}));
}

TEST_F(UiTest, theTextEditorComesFromTheMimeDatabase)
{
    const std::string path = writeProject(home, "P", {{0, "a"}});
    start({q(path)});
    ::unsetenv("VISUAL");
    ::unsetenv("EDITOR");
    ::setenv("XDG_DATA_DIRS", home.file("nowhere").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", home.file("nowhere").c_str(), 1);
    trigger("actToolTextEditor");
    EXPECT_EQ(script->takeTexts(), QStringList{u8(".txt に関連付けられた実行プログラムはありません")});

    const std::string editor = home.file("fake-editor");
    writeBytes(editor, "#!/bin/sh\nprintf 'edited outside\\r\\n' >> \"$1\"\n");
    stdfs::permissions(editor, stdfs::perms::owner_all);
    stdfs::create_directories(home.file("data/applications"));
    writeBytes(home.file("data/applications/fake.desktop"),
               "[Desktop Entry]\nType=Application\nName=Fake\nExec=" + editor + " %f\n");
    stdfs::create_directories(home.file("config"));
    writeBytes(home.file("config/mimeapps.list"), "[Default Applications]\ntext/plain=fake.desktop\n");
    textEditor()->setText(QStringLiteral("a\r\nunsaved\r\n"));
    trigger("actToolTextEditor");
    EXPECT_TRUE(script->takeTexts().isEmpty());
    EXPECT_EQ(textEditor()->text(), QStringLiteral("a\r\nunsaved\r\nedited outside\r\n"))
        << "saved first, then reloaded after the editor ended";
    ::unsetenv("XDG_DATA_DIRS");
    ::unsetenv("XDG_CONFIG_DIRS");
}
