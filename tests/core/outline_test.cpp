#include "common/error.h"
#include "project/createtree.h"
#include "project/outline.h"
#include "support/projectbuilder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace sheaf;
using namespace sheaf::test;

namespace {

struct Tree {
    ItemList items;
    Outline outline;
    std::optional<std::string> warning;

    explicit Tree(const std::vector<ItemShape>& shapes) : items(makeItems(shapes))
    {
        warning = CCreateTree(outline).Execute(items);
    }
    OutlineNode* node(const std::string& title) const { return findNode(outline, title); }
};

} // namespace

TEST(CreateTree, buildsFromLevels)
{
    struct Case {
        const char* name;
        std::vector<ItemShape> shapes;
        std::string expected;
        bool warns;
    };
    const Case cases[] = {
        {"0 1 2 1 0", {{0, "a"}, {1, "b"}, {2, "c"}, {1, "d"}, {0, "e"}}, "a:0 b:1 c:2 d:1 e:0", false},
        {"jump of two stops the build", {{0, "a"}, {2, "b"}, {0, "c"}}, "a:0", true},
        {"first record deeper than 0 is top level", {{3, "a"}, {1, "b"}}, "a:0 b:1", false},
        {"back up several levels", {{0, "a"}, {1, "b"}, {2, "c"}, {3, "d"}, {1, "e"}}, "a:0 b:1 c:2 d:3 e:1", false},
        {"negative levels count as 0", {{0, "a"}, {1, "b"}, {-4, "c"}}, "a:0 b:1 c:0", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tree t(c.shapes);
        EXPECT_EQ(dump(t.outline), c.expected);
        EXPECT_EQ(t.warning.has_value(), c.warns);
        if (c.warns) {
            EXPECT_EQ(*t.warning, "Execute:Execute error");
        }
    }
}

TEST(CreateTree, emptyListIsAnError)
{
    ItemList items;
    Outline outline;
    try {
        CCreateTree(outline).Execute(items);
        FAIL() << "no error";
    } catch (const SheafError& e) {
        EXPECT_STREQ(e.what(), "CCreateTree:Execute error");
    }
}

TEST(Outline, indexesAndSubtrees)
{
    Tree t({{0, "a"}, {1, "b"}, {2, "c"}, {1, "d"}, {0, "e"}});
    EXPECT_EQ(t.outline.size(), 5u);
    EXPECT_EQ(t.outline.indexOf(t.node("d")), 3u);
    EXPECT_EQ(t.outline.nodeAt(4), t.node("e"));
    EXPECT_EQ(t.outline.nodeAt(5), nullptr);
    EXPECT_EQ(t.outline.lastIndexOfSubtree(t.node("a")), 3u);
    EXPECT_EQ(t.outline.lastIndexOfSubtree(t.node("c")), 2u);
    EXPECT_EQ(t.outline.parentOf(t.node("c")), t.node("b"));
    EXPECT_EQ(t.outline.rowOf(t.node("d")), 1u);
    EXPECT_TRUE(t.outline.isInSubtree(t.node("c"), t.node("a")));
    EXPECT_FALSE(t.outline.isInSubtree(t.node("e"), t.node("a")));
}

TEST(Outline, insertAfterTheSelectedNode)
{
    struct Case {
        const char* name;
        const char* selected;
        std::string expected;
    };
    const Case cases[] = {
        {"after the last child of a branch", "c", "a:0 b:1 c:1 new:1 d:0"},
        {"after a node with children and a following sibling", "a", "a:0 b:1 c:1 new:0 d:0"},
        {"after the last top-level node", "d", "a:0 b:1 c:1 d:0 new:0"},
        {"without selection", nullptr, "a:0 b:1 c:1 d:0 new:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tree t({{0, "a"}, {1, "b"}, {1, "c"}, {0, "d"}});
        FILEDATA extra;
        extra.sTitle = "new";
        t.outline.insertAfter(c.selected ? t.node(c.selected) : nullptr, &extra);
        EXPECT_EQ(dump(t.outline), c.expected);
    }
}

TEST(Outline, moves)
{
    using Move = bool (Outline::*)(OutlineNode*);
    struct Case {
        const char* name;
        Move move;
        const char* node;
        bool moved;
        std::string expected;
    };
    // Start: a(b c(d) e) f
    const Case cases[] = {
        {"left: top level cannot", &Outline::moveLeft, "a", false, "a:0 b:1 c:1 d:2 e:1 f:0"},
        {"left: becomes the parent's next sibling", &Outline::moveLeft, "b", true, "a:0 c:1 d:2 e:1 b:0 f:0"},
        {"left: before the parent's next sibling", &Outline::moveLeft, "d", true, "a:0 b:1 c:1 d:1 e:1 f:0"},
        {"right: first child cannot", &Outline::moveRight, "b", false, "a:0 b:1 c:1 d:2 e:1 f:0"},
        {"right: after the previous sibling's children", &Outline::moveRight, "e", true, "a:0 b:1 c:1 d:2 e:2 f:0"},
        {"right: with its subtree", &Outline::moveRight, "c", true, "a:0 b:1 c:2 d:3 e:1 f:0"},
        {"up: first child cannot", &Outline::moveUp, "b", false, "a:0 b:1 c:1 d:2 e:1 f:0"},
        {"up: before the previous sibling", &Outline::moveUp, "e", true, "a:0 b:1 e:1 c:1 d:2 f:0"},
        {"up: top level with subtree", &Outline::moveUp, "f", true, "f:0 a:0 b:1 c:1 d:2 e:1"},
        {"down: last child cannot", &Outline::moveDown, "e", false, "a:0 b:1 c:1 d:2 e:1 f:0"},
        {"down: second-to-last becomes last", &Outline::moveDown, "c", true, "a:0 b:1 e:1 c:1 d:2 f:0"},
        {"down: never crosses the parent", &Outline::moveDown, "d", false, "a:0 b:1 c:1 d:2 e:1 f:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tree t({{0, "a"}, {1, "b"}, {1, "c"}, {2, "d"}, {1, "e"}, {0, "f"}});
        OutlineNode* n = t.node(c.node);
        EXPECT_EQ((t.outline.*c.move)(n), c.moved);
        EXPECT_EQ(dump(t.outline), c.expected);
        if (c.move == &Outline::moveLeft || c.move == &Outline::moveRight) {
            EXPECT_EQ(n->data->nLevel, t.outline.depth(n)) << "left and right keep nLevel current";
        }
    }
    Tree single({{0, "a"}, {1, "b"}});
    EXPECT_TRUE(single.outline.moveLeft(single.node("b")));
    EXPECT_EQ(dump(single.outline), "a:0 b:0") << "only child of a parent without next sibling";
}

TEST(Outline, drops)
{
    struct Case {
        const char* name;
        const char* dragged;
        const char* target; // nullptr: below the last item
        bool moved;
        std::string expected;
    };
    const Case cases[] = {
        {"before another node", "f", "c", true, "a:0 b:1 f:1 c:1 d:2 e:1"},
        {"with its subtree before a top-level node", "c", "a", true, "c:0 d:1 a:0 b:1 e:1 f:0"},
        {"below the last item", "b", nullptr, true, "a:0 c:1 d:2 e:1 f:0 b:0"},
        {"into its own subtree", "c", "d", false, "a:0 b:1 c:1 d:2 e:1 f:0"},
        {"onto itself", "c", "c", false, "a:0 b:1 c:1 d:2 e:1 f:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tree t({{0, "a"}, {1, "b"}, {1, "c"}, {2, "d"}, {1, "e"}, {0, "f"}});
        const bool moved = c.target ? t.outline.dropBefore(t.node(c.dragged), t.node(c.target))
                                    : t.outline.dropAtEnd(t.node(c.dragged));
        EXPECT_EQ(moved, c.moved);
        EXPECT_EQ(dump(t.outline), c.expected);
    }
}

TEST(Outline, removeSubtreeKeepsTheRecords)
{
    Tree t({{0, "a"}, {1, "b"}, {2, "c"}, {2, "d"}, {1, "x"}, {0, "e"}});
    t.outline.removeSubtree(t.node("a"));
    EXPECT_EQ(dump(t.outline), "e:0");
    EXPECT_EQ(t.outline.size(), 1u);
    EXPECT_EQ(t.items.size(), 6u);
}

TEST(Outline, visibleNavigationSkipsCollapsedBranches)
{
    Tree t({{0, "a"}, {1, "b"}, {2, "c"}, {1, "d"}, {0, "e"}});
    t.node("a")->expanded = true;
    EXPECT_EQ(t.outline.nextVisible(t.node("a")), t.node("b"));
    EXPECT_EQ(t.outline.nextVisible(t.node("b")), t.node("d")) << "b is collapsed";
    EXPECT_EQ(t.outline.nextVisible(t.node("e")), nullptr);
    EXPECT_EQ(t.outline.previousVisible(t.node("e")), t.node("d"));
    EXPECT_EQ(t.outline.previousVisible(t.node("a")), nullptr);
    t.node("b")->expanded = true;
    EXPECT_EQ(t.outline.nextVisible(t.node("b")), t.node("c"));
    EXPECT_EQ(t.outline.previousVisible(t.node("d")), t.node("c"));
    EXPECT_TRUE(t.outline.isVisible(t.node("c")));
    t.outline.collapseAllTopLevel();
    EXPECT_FALSE(t.outline.isVisible(t.node("c")));
    EXPECT_TRUE(t.node("b")->expanded) << "descendants keep their own state";
}

namespace {
struct RecordingListener : OutlineListener {
    std::vector<std::string> events;
    static std::string name(OutlineNode* n) { return n ? n->data->sTitle : "-"; }
    void aboutToInsert(OutlineNode* p, std::size_t row) override { events.push_back("insert " + name(p) + " " + std::to_string(row)); }
    void inserted() override {}
    void aboutToRemove(OutlineNode* p, std::size_t row) override { events.push_back("remove " + name(p) + " " + std::to_string(row)); }
    void removed() override {}
    void aboutToMove(OutlineNode* sp, std::size_t sr, OutlineNode* dp, std::size_t dr) override
    {
        events.push_back("move " + name(sp) + " " + std::to_string(sr) + " " + name(dp) + " " + std::to_string(dr));
    }
    void moved() override {}
    void aboutToReset() override { events.push_back("reset"); }
    void reset() override {}
};
} // namespace

TEST(Outline, listenerHearsRowsBeforeTheChange)
{
    Tree t({{0, "a"}, {1, "b"}, {1, "c"}, {0, "d"}});
    RecordingListener l;
    t.outline.setListener(&l);
    t.outline.moveDown(t.node("b"));   // b moves to the end of a's children
    t.outline.moveLeft(t.node("b"));   // b after a, before d
    t.outline.removeSubtree(t.node("d"));
    FILEDATA extra;
    extra.sTitle = "n";
    t.outline.insertAfter(t.node("c"), &extra);
    EXPECT_EQ(l.events, (std::vector<std::string>{"move a 0 a 2", "move a 1 - 1", "remove - 2", "insert a 1"}));
    t.outline.setListener(nullptr);
}

TEST(Outline, largeTreesStayUsable)
{
    // A chain 100,000 deep and a flat list of 100,000: no recursion, no quadratic walks.
    for (bool chain : {true, false}) {
        std::vector<ItemShape> shapes;
        for (int i = 0; i < 100000; ++i)
            shapes.push_back({chain ? i : 0, "n" + std::to_string(i)});
        Tree t(shapes);
        ASSERT_FALSE(t.warning);
        ASSERT_EQ(t.outline.size(), 100000u);
        OutlineNode* last = t.outline.nodeAt(99999);
        EXPECT_EQ(t.outline.depth(last), chain ? 99999 : 0);
        EXPECT_EQ(t.outline.lastIndexOfSubtree(t.outline.nodeAt(0)), chain ? 99999u : 0u);
        for (std::size_t i = 0; i < t.outline.size(); i += 997)
            EXPECT_EQ(t.outline.indexOf(t.outline.nodeAt(i)), i);
        t.outline.moveUp(last);
        EXPECT_EQ(t.outline.indexOf(last), chain ? 99999u : 99998u);
    }
}
