// Tree editing, dragging, the visit history and the marks in the main window.
#include "project/shffile.h"
#include "main/treedrag.h"
#include "support/uifixture.h"

#include <QListWidget>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

// a( b c( d ) e ) f
const std::vector<std::pair<int, std::string>> kTree{{0, "a"}, {1, "b"}, {1, "c"}, {2, "d"}, {1, "e"}, {0, "f"}};

} // namespace

class TreeTest : public UiTest {
protected:
    std::string path;
    void open(const std::vector<std::pair<int, std::string>>& items = kTree)
    {
        path = writeProject(home, "T", items);
        start({q(path)});
    }
    OutlineNode* byTitle(const std::string& t) const
    {
        const Outline& o = window->project().outline;
        for (std::size_t i = 0; i < o.size(); ++i)
            if (o.nodeAt(i)->data->sTitle == t)
                return o.nodeAt(i);
        return nullptr;
    }
    ItemList saved()
    {
        trigger("actFileSaveAll");
        ItemList items;
        CReadSHFFile(items, path).ReadFile(true);
        return items;
    }
};

TEST_F(TreeTest, addPlacesTheNewItemAfterTheSelectedOne)
{
    open();
    window->selectNode(byTitle("e"));
    trigger("actEditAdd");
    // The project's next serial is 8: page P0000008.txt, serial 9.
    EXPECT_EQ(titles(), "a:0 b:1 c:1 d:2 e:1 P0000008:1 f:0") << "after the last child of a branch";
    EXPECT_EQ(window->selectedNode()->data->nSerial, 9);
    window->selectNode(byTitle("c"));
    trigger("actEditAdd");
    EXPECT_EQ(titles(), "a:0 b:1 c:1 d:2 P0000009:1 e:1 P0000008:1 f:0") << "after the whole branch";
    EXPECT_EQ(readBytes(home.file("T/P0000009.txt")), "P0000009");
    EXPECT_EQ(textEditor()->text(), QStringLiteral("P0000009"));

    // Nothing happens while the search results are shown.
    widget<QTabWidget>("PageControl1")->setCurrentIndex(1);
    trigger("actEditAdd");
    EXPECT_EQ(window->project().outline.size(), 8u);
    EXPECT_FALSE(stdfs::exists(home.file("T/P0000010.txt")));
}

TEST_F(TreeTest, movesWithKeysAndSaveStoresTheNewDepths)
{
    open();
    window->selectNode(byTitle("e"));
    trigger("actEditRight"); // under c, after d
    EXPECT_EQ(titles(), "a:0 b:1 c:1 d:2 e:2 f:0");
    trigger("actEditDown");  // last child: nothing
    trigger("actEditLeft");
    trigger("actEditLeft");
    EXPECT_EQ(titles(), "a:0 b:1 c:1 d:2 e:0 f:0");
    trigger("actEditUp");
    EXPECT_EQ(titles(), "e:0 a:0 b:1 c:1 d:2 f:0");
    EXPECT_EQ(window->selectedNode(), byTitle("e")) << "the moved item stays selected";
    const ItemList items = saved();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0]->sTitle, "e");
    EXPECT_EQ(items[4]->nLevel, 2);
    EXPECT_TRUE(script->takeTexts().isEmpty());
}

TEST_F(TreeTest, deleteRemovesTheSubtreeButKeepsThePages)
{
    open();
    window->selectNode(byTitle("c"));
    script->answers.push_back(ui::Cancel);
    trigger("actEditDelete");
    EXPECT_EQ(window->project().outline.size(), 6u);
    script->answers.push_back(ui::Ok);
    trigger("actEditDelete");
    EXPECT_EQ(titles(), "a:0 b:1 e:1 f:0");
    EXPECT_EQ(window->selectedNode(), byTitle("e"));
    EXPECT_EQ(saved().size(), 4u);
    EXPECT_TRUE(stdfs::exists(home.file("T/P0000003.txt")));
    EXPECT_TRUE(stdfs::exists(home.file("T/P0000004.txt")));
    EXPECT_EQ(window->project().items.size(), 6u) << "records stay until the list is cleared";
}

TEST_F(TreeTest, deletingTheLastItemIsRefused)
{
    open({{0, "only"}, {1, "child"}});
    script->answers.push_back(ui::Ok);
    trigger("actEditDelete");
    const QStringList texts = script->takeTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[1].contains(u8("削除できません")));
    EXPECT_EQ(window->project().outline.size(), 2u);
}

TEST_F(TreeTest, showNextSkipsCollapsedBranches)
{
    open();
    window->selectNode(byTitle("a"));
    tree()->collapseAll();
    trigger("actEditShowDown");
    EXPECT_EQ(window->selectedNode(), byTitle("f"));
    trigger("actEditShowDown");
    EXPECT_EQ(window->selectedNode(), byTitle("f")) << "the last visible item";
    trigger("actEditShowUp");
    EXPECT_EQ(window->selectedNode(), byTitle("a"));
    trigger("actPop1Expand");
    trigger("actEditShowDown");
    EXPECT_EQ(window->selectedNode(), byTitle("b"));
    trigger("actPop1CollapseAll");
    EXPECT_EQ(window->selectedNode(), byTitle("a"));
    EXPECT_FALSE(tree()->isExpanded(tree()->model()->index(0, 0)));
}

TEST_F(TreeTest, tagsFollowTheRecordAndTheCommands)
{
    open();
    window->selectNode(byTitle("b"));
    trigger("actPop1Tag3");
    EXPECT_EQ(byTitle("b")->data->bTag3, 1);
    EXPECT_TRUE(widget<QToolButton>("tbTag3")->isChecked());
    const QModelIndex b = tree()->model()->index(0, 0, tree()->model()->index(0, 0));
    EXPECT_EQ(b.data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0x80, 0)) << "Tag3ForeColor (clGreen)";
    trigger("actPop1Tag2");
    window->selectNode(byTitle("c"));
    EXPECT_FALSE(window->action("actPop1Tag3")->isChecked());
    window->selectNode(byTitle("b"));
    EXPECT_TRUE(window->action("actPop1Tag2")->isChecked());
    EXPECT_EQ(saved()[1]->bTag2, 1);
}

TEST_F(TreeTest, dragAndDrop)
{
    open();
    tree()->expandAll();
    QApplication::processEvents();
    auto drag = [&](const std::string& from, const QPoint& to) {
        window->selectNode(byTitle(from));
        QWidget* vp = tree()->viewport();
        const QRect r = tree()->visualRect(tree()->currentIndex());
        QTest::mousePress(vp, Qt::LeftButton, Qt::ShiftModifier, r.center());
        QMouseEvent move(QEvent::MouseMove, QPointF(r.center() + QPoint(0, 8)), QPointF(vp->mapToGlobal(r.center())),
                         Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(vp, &move);
        QMouseEvent move2(QEvent::MouseMove, QPointF(to), QPointF(vp->mapToGlobal(to)), Qt::LeftButton, Qt::LeftButton,
                          Qt::ShiftModifier);
        QApplication::sendEvent(vp, &move2);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::ShiftModifier, to);
    };
    auto rectOf = [&](const std::string& t) {
        const Outline& o = window->project().outline;
        OutlineNode* n = byTitle(t);
        std::vector<OutlineNode*> path;
        for (OutlineNode* p = n; p; p = o.parentOf(p))
            path.insert(path.begin(), p);
        QModelIndex idx;
        for (OutlineNode* p : path)
            idx = tree()->model()->index(static_cast<int>(o.rowOf(p)), 0, idx);
        return tree()->visualRect(idx);
    };

    drag("f", rectOf("c").topLeft() + QPoint(3, 2)); // top half of the label
    EXPECT_EQ(titles(), "a:0 b:1 f:1 c:1 d:2 e:1");
    drag("b", rectOf("e").bottomLeft() + QPoint(3, -2)); // bottom half of the label
    EXPECT_EQ(titles(), "a:0 f:1 c:1 d:2 b:1 e:1");
    drag("d", QPoint(rectOf("c").left() - tree()->indentation() / 2, rectOf("c").center().y())); // expand button
    EXPECT_EQ(titles(), "a:0 f:1 c:1 d:2 b:1 e:1");
    drag("c", rectOf("d").center()); // into its own subtree
    EXPECT_EQ(titles(), "a:0 f:1 c:1 d:2 b:1 e:1");
    drag("f", QPoint(rectOf("a").left() + 2, tree()->viewport()->height() - 5)); // below the last item
    EXPECT_EQ(titles(), "a:0 c:1 d:2 b:1 e:1 f:0");
    drag("d", QPoint(1, rectOf("b").center().y())); // the indent area of b
    EXPECT_EQ(titles(), "a:0 c:1 d:1 b:1 e:1 f:0");
    EXPECT_FALSE(window->findChild<ui::OutlineModel*>()->data(tree()->currentIndex(), Qt::ForegroundRole).isValid())
        << "the cut mark is cleared when the drag ends";
}

TEST_F(TreeTest, dragScrollsNearTheEdges)
{
    std::vector<std::pair<int, std::string>> many;
    for (int i = 0; i < 200; ++i)
        many.push_back({0, "n" + std::to_string(i)});
    open(many);
    window->resize(600, 300);
    QApplication::processEvents();
    tree()->verticalScrollBar()->setValue(50);
    ui::CScrollNode scroller(tree());
    const QSize size = tree()->viewport()->size();
    scroller.Track(QPoint(10, size.height() - 10));
    EXPECT_EQ(scroller.direction(), ui::CScrollNode::Down);
    QTest::qWait(480);
    const int down = tree()->verticalScrollBar()->value();
    EXPECT_GE(down, 52);
    scroller.Track(QPoint(10, 3));
    EXPECT_EQ(scroller.direction(), ui::CScrollNode::Up);
    QTest::qWait(480);
    EXPECT_LT(tree()->verticalScrollBar()->value(), down);
    scroller.Track(QPoint(10, size.height() / 2));
    EXPECT_EQ(scroller.direction(), ui::CScrollNode::None);
}

TEST_F(TreeTest, historyBackAndForward)
{
    std::vector<std::pair<int, std::string>> flat;
    for (int i = 0; i < 10; ++i)
        flat.push_back({0, "n" + std::to_string(i)});
    open(flat);
    const clsHistory& h = window->history();
    EXPECT_EQ(h.entries(), (std::vector<std::int32_t>{0, 0}));
    EXPECT_FALSE(window->action("actEditBackward")->isEnabled());
    window->selectNode(node(4));
    window->selectNode(node(7));
    EXPECT_EQ(h.entries(), (std::vector<std::int32_t>{0, 0, 4, 7}));
    EXPECT_EQ(h.position(), 3u);
    EXPECT_TRUE(window->action("actEditBackward")->isEnabled());

    trigger("actEditBackward");
    EXPECT_EQ(window->selectedNode(), node(4));
    EXPECT_EQ(h.position(), 2u);
    trigger("actEditBackward");
    EXPECT_EQ(window->selectedNode(), node(0));
    EXPECT_EQ(h.position(), 1u);
    EXPECT_TRUE(window->action("actEditBackward")->isEnabled());
    trigger("actEditBackward");
    EXPECT_EQ(window->selectedNode(), node(0));
    EXPECT_EQ(h.position(), 0u);
    EXPECT_FALSE(window->action("actEditBackward")->isEnabled());
    trigger("actEditForward");
    EXPECT_EQ(h.position(), 1u);
    trigger("actEditForward");
    EXPECT_EQ(window->selectedNode(), node(4));
    window->selectNode(node(9));
    EXPECT_EQ(h.entries(), (std::vector<std::int32_t>{0, 0, 4, 7, 9}));
    EXPECT_FALSE(window->action("actEditForward")->isEnabled());
}

TEST_F(TreeTest, marksSurviveSaveAndReopen)
{
    open();
    const std::string longTitle = std::string(80, 'x') + "...";
    OutlineNode* d = byTitle("d");
    window->selectNode(d);
    textEditor()->setText(q(std::string(85, 'x') + "\r\n"));
    window->selectNode(byTitle("e"));
    window->selectNode(d);
    ASSERT_EQ(window->selectedNode()->data->sTitle, longTitle);
    trigger("mnuPop1Mark2");
    auto* mark2 = widget<QToolButton>("tbMark2");
    EXPECT_TRUE(mark2->isEnabled());
    EXPECT_EQ(mark2->toolTip(), q(longTitle));
    window->selectNode(byTitle("b"));
    trigger("mnuPop1Mark1");
    trigger("mnuPop1Mark1"); // cleared again
    EXPECT_EQ(widget<QToolButton>("tbMark1")->toolTip(), u8("マーク１にジャンプ"));

    // A moved item is still found by its serial.
    window->selectNode(byTitle("c"));
    trigger("actEditUp");
    window->selectNode(byTitle("f"));
    mark2->click();
    EXPECT_EQ(window->selectedNode(), d);

    window->close();
    window.reset();
    ItemList items;
    CReadSHFFile reader(items, path);
    ASSERT_TRUE(reader.ReadFile(true));
    EXPECT_EQ(reader.markSerial(1), 5) << "the serial of d";
    EXPECT_EQ(reader.markText(1), longTitle);
    EXPECT_EQ(reader.markSerial(0), 0);
    EXPECT_EQ(reader.markText(0), sjis::sj("マーク１にジャンプ"));

    start({q(path)});
    EXPECT_TRUE(widget<QToolButton>("tbMark2")->isEnabled());
    EXPECT_TRUE(window->action("mnuPop1Mark2")->isChecked());
    widget<QToolButton>("tbMark2")->click();
    EXPECT_EQ(window->selectedNode()->data->sTitle, longTitle);
}
