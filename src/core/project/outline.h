#pragma once
// The outline: a tree of nodes, each referring to one FILEDATA (not owned).
// Absolute indexes count nodes in pre-order from 0. Index, row and depth are
// cached and recomputed in one linear pass after a structural change, so
// look-ups stay constant-time between edits even at 100,000 nodes.
#include "project/filedata.h"

#include <cstddef>
#include <vector>

namespace sheaf {

struct OutlineNode {
    FILEDATA* data = nullptr;
    bool expanded = false;

private:
    friend class Outline;
    OutlineNode* parent = nullptr;
    std::vector<OutlineNode*> children;
    std::size_t index = 0;
    std::size_t row = 0;
    int depth = 0;
};

// Told about structural changes, so that a view can follow them. Rows are
// positions among the parent's children (parent nullptr = top level); for a
// move, dstRow is the insertion position counted before the move.
class OutlineListener {
public:
    virtual ~OutlineListener() = default;
    virtual void aboutToInsert(OutlineNode* parent, std::size_t row) = 0;
    virtual void inserted() = 0;
    virtual void aboutToRemove(OutlineNode* parent, std::size_t row) = 0;
    virtual void removed() = 0;
    virtual void aboutToMove(OutlineNode* srcParent, std::size_t srcRow, OutlineNode* dstParent, std::size_t dstRow) = 0;
    virtual void moved() = 0;
    virtual void aboutToReset() = 0;
    virtual void reset() = 0;
};

class Outline {
public:
    using Node = OutlineNode;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    Outline() = default;
    ~Outline();
    Outline(const Outline&) = delete;
    Outline& operator=(const Outline&) = delete;

    void setListener(OutlineListener* listener) { m_listener = listener; }

    void clear();
    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }

    Node* nodeAt(std::size_t index) const; // nullptr when out of range
    std::size_t indexOf(const Node* node) const;
    int depth(const Node* node) const;
    std::size_t rowOf(const Node* node) const;
    Node* parentOf(const Node* node) const { return node->parent; }
    // Children of parent; nullptr gives the top-level nodes.
    const std::vector<Node*>& children(const Node* parent) const;
    Node* previousSibling(const Node* node) const;
    Node* nextSibling(const Node* node) const;
    // Absolute index of the last node of node's subtree.
    std::size_t lastIndexOfSubtree(const Node* node) const;
    // True when node is root or lies below it.
    bool isInSubtree(const Node* node, const Node* root) const;

    // New node as the last child of parent (nullptr = top level).
    Node* appendChild(Node* parent, FILEDATA* data);
    // New node right after selected at its level: before selected's next
    // sibling if there is one, else as the last child of selected's parent
    // (the last top-level node when selected is top level or nullptr).
    Node* insertAfter(Node* selected, FILEDATA* data);
    // Removes node and its descendants (their records are not touched).
    void removeSubtree(Node* node);

    // Moves with the whole subtree; false when the condition does not hold.
    // Left and right store the new depth in the record's nLevel.
    bool moveLeft(Node* node);
    bool moveRight(Node* node);
    bool moveUp(Node* node);
    bool moveDown(Node* node);
    // Drag and drop: before target as its previous sibling, or as the last
    // top-level node. A drop into the dragged node's own subtree is refused.
    bool dropBefore(Node* dragged, Node* target);
    bool dropAtEnd(Node* dragged);

    bool isVisible(const Node* node) const;
    Node* previousVisible(const Node* node) const;
    Node* nextVisible(const Node* node) const;
    void collapseAllTopLevel();

    // Bulk building (CCreateTree): appends without telling the listener, which
    // is told once by beginBuild/endBuild.
    void beginBuild();
    Node* buildAppend(Node* parent, FILEDATA* data);
    void endBuild();

private:
    void ensureIndexed() const;
    void attach(Node* node, Node* parent, std::size_t pos);
    void detach(Node* node);
    std::vector<Node*>& childList(Node* parent) { return parent ? parent->children : m_top; }
    bool moveTo(Node* node, Node* newParent, Node* before);
    static void destroy(Node* root);

    std::vector<Node*> m_top;
    std::size_t m_count = 0;
    OutlineListener* m_listener = nullptr;
    mutable bool m_dirty = false;
    mutable std::vector<Node*> m_order;
};

} // namespace sheaf
