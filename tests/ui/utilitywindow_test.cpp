// The maintenance utility's window through the scripted interaction.
#include "project/shffile.h"
#include "support/uifixture.h"
#include "utility/utilitywindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

class UtilityTest : public UiTest {
protected:
    std::unique_ptr<ui::TfrmMain> util;
    void SetUp() override
    {
        UiTest::SetUp();
        util = std::make_unique<ui::TfrmMain>();
        util->show();
    }
    void TearDown() override
    {
        util.reset();
        UiTest::TearDown();
    }
    template <typename T>
    T* child(const char* name) const
    {
        return util->findChild<T*>(QString::fromLatin1(name));
    }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int i = 0; i < util->listView()->topLevelItemCount(); ++i)
            texts << util->listView()->topLevelItem(i)->text(c).trimmed();
        return texts;
    }
};

} // namespace

TEST_F(UtilityTest, tabsThatNeedAProjectCheckIt)
{
    util->pages()->setCurrentIndex(1);
    EXPECT_EQ(script->takeTexts(), QStringList{u8("SHF3 ファイルを選択してください。")});
    EXPECT_FALSE(child<QPushButton>("btnListupDo")->isEnabled());
    child<QLineEdit>("edtShfFileName")->setText(q(home.file("none.shf3")));
    util->pages()->setCurrentIndex(4);
    EXPECT_EQ(script->takeTexts(), QStringList{u8("指定の SHF3 ファイルは存在しません")});
    EXPECT_FALSE(child<QPushButton>("btnDelDo")->isEnabled());
    util->pages()->setCurrentIndex(3);
    EXPECT_TRUE(script->takeTexts().isEmpty()) << "splitting needs no project";

    const std::string path = writeProject(home, "P", {{0, "a"}, {1, "b"}});
    child<QLineEdit>("edtShfFileName")->setText(q(path));
    util->pages()->setCurrentIndex(2);
    EXPECT_TRUE(child<QPushButton>("btnSerialDo")->isEnabled());
    EXPECT_EQ(child<QLineEdit>("edtSerialFileNum")->text(), QStringLiteral("2"));
    EXPECT_EQ(child<QLineEdit>("edtMaxSerial")->text(), u8("2 ～ 3"));
}

TEST_F(UtilityTest, listingSortingChecksAndTheNextButtons)
{
    const std::string path = writeProject(home, "P", {{0, "b"}, {0, "a"}, {0, "c"}, {0, "d"}});
    // Items 1 and 3 share a page file name in another letter case, and a serial.
    ItemList items;
    CReadSHFFile(items, path).ReadFile(true);
    items[3]->sFileName = home.file("other/p0000002.TXT");
    items[3]->nSerial = items[1]->nSerial;
    rewriteKeepingHeader(path, items);
    child<QLineEdit>("edtShfFileName")->setText(q(path));
    util->pages()->setCurrentIndex(1);
    util->btnListupDoClick();
    EXPECT_EQ(script->takeTexts(), QStringList{u8("番号 3 のファイルがありません")});
    EXPECT_EQ(child<QLineEdit>("edtListupNumber")->text(), QStringLiteral("4"));
    EXPECT_EQ(column(0), (QStringList{"b", "a", "c", "d"}));

    util->sortByColumn(0);
    EXPECT_EQ(column(0), (QStringList{"a", "b", "c", "d"}));
    util->sortByColumn(0);
    EXPECT_EQ(column(0), (QStringList{"d", "c", "b", "a"})) << "the second click sorts descending";

    util->btnCheckFileClick();
    EXPECT_TRUE(script->takeTexts().front().startsWith(u8("ファイル名の重複があります。")));
    EXPECT_EQ(column(1), (QStringList{"0", "1", "2", "3"})) << "sorted by number";
    QList<int> selected;
    for (int i = 0; i < 4; ++i)
        if (util->listView()->topLevelItem(i)->isSelected())
            selected << i;
    EXPECT_EQ(selected, (QList<int>{1, 3}));
    auto* next = child<QToolButton>("sbtnFile");
    ASSERT_TRUE(next->isEnabled());
    next->click();
    EXPECT_EQ(util->listView()->currentItem(), util->listView()->topLevelItem(1));
    next->click();
    EXPECT_EQ(util->listView()->currentItem(), util->listView()->topLevelItem(3));
    next->click(); // past the last: back to the start, no scroll
    next->click();
    EXPECT_EQ(util->listView()->currentItem(), util->listView()->topLevelItem(1));

    util->btnCheckSerialClick();
    EXPECT_TRUE(script->takeTexts().front().startsWith(u8("シリアル番号の重複があります。")));
    EXPECT_TRUE(child<QToolButton>("sbtnSerial")->isEnabled());
}

TEST_F(UtilityTest, renumberingFromTheWindow)
{
    const std::string path = writeProject(home, "P", {{0, "a"}, {0, "b"}});
    child<QLineEdit>("edtShfFileName")->setText(q(path));
    util->pages()->setCurrentIndex(2);
    child<QLineEdit>("edtPrefix")->setText(QStringLiteral("p"));
    util->btnSerialDoClick();
    EXPECT_EQ(script->takeTexts(), QStringList{u8("プリフィックスとして、\"P\" または \"p\" は使えません")});
    child<QLineEdit>("edtPrefix")->setText(QStringLiteral("VA"));
    util->btnSerialDoClick();
    EXPECT_TRUE(script->takeTexts().isEmpty());
    EXPECT_TRUE(stdfs::exists(home.file("P/VA000002.txt")));
    EXPECT_TRUE(stdfs::exists(home.file("P_shf.bak")));
}
