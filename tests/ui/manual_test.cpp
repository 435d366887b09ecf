// The tool set's own manual, built with the tool set: every help topic the
// windows open is in it, and the help buttons show their pages.
#include "common/htmlhelp.h"
#include "helpmaker/chmfile.h"
#include "helpmaker/sheafhelpwindow.h"
#include "search/searchdialog.h"
#include "support/uifixture.h"
#include "utility/utilitywindow.h"

#include <QPushButton>
#include <QTextBrowser>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;

namespace {

class ManualTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        if (!std::filesystem::exists(SHEAF_MANUAL_CHM))
            GTEST_SKIP() << "the manual was not built (no chmcmd)";
        ::setenv("SHEAF3_HELP", SHEAF_MANUAL_CHM, 1);
    }
    void TearDown() override
    {
        ::unsetenv("SHEAF3_HELP");
        UiTest::TearDown();
    }
    static void expectShowing(ui::CHtmlHelp& help, const char* topic, const char* heading)
    {
        ASSERT_NE(help.viewer(), nullptr);
        EXPECT_EQ(help.viewer()->currentTopic(), QString::fromLatin1(topic));
        EXPECT_TRUE(help.viewer()->browser()->toPlainText().contains(QString::fromUtf8(heading)))
            << help.viewer()->browser()->toPlainText().left(200).toStdString();
    }
};

} // namespace

TEST_F(ManualTest, everyTopicTheWindowsOpenIsInTheManual)
{
    help::ChmFile chm;
    ASSERT_TRUE(chm.open(SHEAF_MANUAL_CHM));
    for (const char* topic : {"/html/P0000131.htm", "/html/P0000134.htm", "/html/d0000031.htm", "/html/P0000156.htm",
                              "/html/P0000157.htm", "/html/d0000033.htm"})
        EXPECT_TRUE(chm.contains(topic)) << topic;
    EXPECT_EQ(chm.defaultTopic(), "/html/P0000001.htm");
    const auto index = help::parseSitemap(chm.read(chm.indexFile()).value_or(""));
    EXPECT_GE(index.size(), 16u) << "every page has an index keyword";
}

TEST_F(ManualTest, helpButtonsShowTheirPages)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {1, "b"}});
    start({q(path)});
    trigger("actHelp");
    expectShowing(window->helpObject(), "html/P0000001.htm", "Sheaf3 ユーザーマニュアル");

    script->dialogs.push_back([](QDialog& d) {
        d.findChild<QPushButton*>(QStringLiteral("btnHelp"))->click();
        return int(ui::mrCancel);
    });
    trigger("actSearchText");
    expectShowing(window->helpObject(), "html/P0000131.htm", "検索と置換");
    EXPECT_TRUE(window->helpObject().viewer()->isVisible()) << "the viewer outlives the dialog that opened it";

    ui::TfrmSheafhelp maker;
    maker.action(QStringLiteral("actHelpHelp"))->trigger();
    expectShowing(maker.helpObject(), "html/P0000156.htm", "ヘルプメーカー Sheafhelp3");
}
