#include "project/outline.h"

#include <algorithm>

namespace sheaf {

Outline::~Outline()
{
    for (Node* n : m_top)
        destroy(n);
}

void Outline::destroy(Node* root)
{
    // Iterative: a file may describe a chain deep enough to overflow the stack.
    std::vector<Node*> stack{root};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        stack.insert(stack.end(), n->children.begin(), n->children.end());
        delete n;
    }
}

void Outline::clear()
{
    if (m_listener)
        m_listener->aboutToReset();
    for (Node* n : m_top)
        destroy(n);
    m_top.clear();
    m_order.clear();
    m_count = 0;
    m_dirty = false;
    if (m_listener)
        m_listener->reset();
}

void Outline::ensureIndexed() const
{
    if (!m_dirty)
        return;
    m_order.clear();
    m_order.reserve(m_count);
    // Pre-order walk with an explicit stack of (children list, position).
    struct Frame {
        const std::vector<Node*>* list;
        size_t pos;
        int depth;
    };
    std::vector<Frame> stack{{&m_top, 0, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.pos == f.list->size()) {
            stack.pop_back();
            continue;
        }
        Node* n = (*f.list)[f.pos];
        n->row = f.pos++;
        n->depth = f.depth;
        n->index = m_order.size();
        m_order.push_back(n);
        if (!n->children.empty())
            stack.push_back({&n->children, 0, n->depth + 1});
    }
    m_dirty = false;
}

Outline::Node* Outline::nodeAt(size_t index) const
{
    ensureIndexed();
    return index < m_order.size() ? m_order[index] : nullptr;
}

size_t Outline::indexOf(const Node* node) const
{
    ensureIndexed();
    return node->index;
}

int Outline::depth(const Node* node) const
{
    ensureIndexed();
    return node->depth;
}

size_t Outline::rowOf(const Node* node) const
{
    ensureIndexed();
    return node->row;
}

const std::vector<Outline::Node*>& Outline::children(const Node* parent) const
{
    return parent ? parent->children : m_top;
}

Outline::Node* Outline::previousSibling(const Node* node) const
{
    const size_t row = rowOf(node);
    return row > 0 ? children(node->parent)[row - 1] : nullptr;
}

Outline::Node* Outline::nextSibling(const Node* node) const
{
    const auto& list = children(node->parent);
    const size_t row = rowOf(node);
    return row + 1 < list.size() ? list[row + 1] : nullptr;
}

size_t Outline::lastIndexOfSubtree(const Node* node) const
{
    const Node* n = node;
    while (!n->children.empty())
        n = n->children.back();
    return indexOf(n);
}

bool Outline::isInSubtree(const Node* node, const Node* root) const
{
    for (const Node* n = node; n; n = n->parent)
        if (n == root)
            return true;
    return false;
}

void Outline::attach(Node* node, Node* parent, size_t pos)
{
    auto& list = childList(parent);
    node->parent = parent;
    list.insert(list.begin() + static_cast<long>(pos), node);
    m_dirty = true;
}

void Outline::detach(Node* node)
{
    auto& list = childList(node->parent);
    list.erase(list.begin() + static_cast<long>(rowOf(node)));
    node->parent = nullptr;
    m_dirty = true;
}

Outline::Node* Outline::appendChild(Node* parent, FILEDATA* data)
{
    auto* node = new Node;
    node->data = data;
    const size_t row = children(parent).size();
    if (m_listener)
        m_listener->aboutToInsert(parent, row);
    attach(node, parent, row);
    ++m_count;
    if (m_listener)
        m_listener->inserted();
    return node;
}

Outline::Node* Outline::insertAfter(Node* selected, FILEDATA* data)
{
    Node* parent = selected ? selected->parent : nullptr;
    const size_t row = selected ? rowOf(selected) + 1 : m_top.size();
    auto* node = new Node;
    node->data = data;
    if (m_listener)
        m_listener->aboutToInsert(parent, row);
    attach(node, parent, row);
    ++m_count;
    if (m_listener)
        m_listener->inserted();
    return node;
}

void Outline::removeSubtree(Node* node)
{
    const size_t first = indexOf(node);
    const size_t removedCount = lastIndexOfSubtree(node) - first + 1;
    if (m_listener)
        m_listener->aboutToRemove(node->parent, rowOf(node));
    detach(node);
    destroy(node);
    m_count -= removedCount;
    if (m_listener)
        m_listener->removed();
}

bool Outline::moveTo(Node* node, Node* newParent, Node* before)
{
    Node* oldParent = node->parent;
    const size_t srcRow = rowOf(node);
    const size_t dstRow = before ? rowOf(before) : children(newParent).size();
    if (oldParent == newParent && (dstRow == srcRow || dstRow == srcRow + 1))
        return true; // already there
    if (m_listener)
        m_listener->aboutToMove(oldParent, srcRow, newParent, dstRow);
    detach(node);
    const size_t pos = (oldParent == newParent && dstRow > srcRow) ? dstRow - 1 : dstRow;
    attach(node, newParent, pos);
    if (m_listener)
        m_listener->moved();
    return true;
}

bool Outline::moveLeft(Node* node)
{
    Node* parent = node->parent;
    if (!parent)
        return false;
    moveTo(node, parent->parent, nextSibling(parent));
    node->data->nLevel = depth(node);
    return true;
}

bool Outline::moveRight(Node* node)
{
    Node* prev = previousSibling(node);
    if (!prev)
        return false;
    moveTo(node, prev, nullptr);
    node->data->nLevel = depth(node);
    return true;
}

bool Outline::moveUp(Node* node)
{
    Node* prev = previousSibling(node);
    if (!prev)
        return false;
    return moveTo(node, node->parent, prev);
}

bool Outline::moveDown(Node* node)
{
    Node* next = nextSibling(node);
    if (!next)
        return false;
    return moveTo(node, node->parent, nextSibling(next));
}

bool Outline::dropBefore(Node* dragged, Node* target)
{
    if (!dragged || !target || isInSubtree(target, dragged))
        return false;
    return moveTo(dragged, target->parent, target);
}

bool Outline::dropAtEnd(Node* dragged)
{
    if (!dragged)
        return false;
    return moveTo(dragged, nullptr, nullptr);
}

bool Outline::isVisible(const Node* node) const
{
    for (const Node* p = node->parent; p; p = p->parent)
        if (!p->expanded)
            return false;
    return true;
}

Outline::Node* Outline::previousVisible(const Node* node) const
{
    Node* prev = previousSibling(node);
    if (!prev)
        return node->parent;
    while (prev->expanded && !prev->children.empty())
        prev = prev->children.back();
    return prev;
}

Outline::Node* Outline::nextVisible(const Node* node) const
{
    if (node->expanded && !node->children.empty())
        return node->children.front();
    for (const Node* n = node; n; n = n->parent)
        if (Node* next = nextSibling(n))
            return next;
    return nullptr;
}

void Outline::collapseAllTopLevel()
{
    for (Node* n : m_top)
        n->expanded = false;
}

void Outline::beginBuild()
{
    if (m_listener)
        m_listener->aboutToReset();
}

Outline::Node* Outline::buildAppend(Node* parent, FILEDATA* data)
{
    auto* node = new Node;
    node->data = data;
    node->parent = parent;
    childList(parent).push_back(node);
    ++m_count;
    m_dirty = true;
    return node;
}

void Outline::endBuild()
{
    if (m_listener)
        m_listener->reset();
}

} // namespace sheaf
