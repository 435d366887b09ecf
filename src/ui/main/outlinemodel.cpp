#include "main/outlinemodel.h"

#include "common/qtext.h"

#include <QApplication>
#include <QPalette>

namespace sheaf::ui {

OutlineModel::OutlineModel(Outline& outline, QObject* parent) : QAbstractItemModel(parent), m_outline(outline)
{
    m_outline.setListener(this);
}

OutlineModel::~OutlineModel() { m_outline.setListener(nullptr); }

OutlineNode* OutlineModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<OutlineNode*>(index.internalPointer()) : nullptr;
}

QModelIndex OutlineModel::indexOf(const OutlineNode* node) const
{
    if (!node)
        return {};
    return createIndex(static_cast<int>(m_outline.rowOf(node)), 0, const_cast<OutlineNode*>(node));
}

void OutlineModel::setCutNode(const OutlineNode* node)
{
    const OutlineNode* old = m_cut;
    m_cut = node;
    nodeChanged(old);
    nodeChanged(node);
}

void OutlineModel::nodeChanged(const OutlineNode* node)
{
    if (!node)
        return;
    const QModelIndex i = indexOf(node);
    emit dataChanged(i, i);
}

QModelIndex OutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    const auto& children = m_outline.children(nodeOf(parent));
    if (row < 0 || column != 0 || static_cast<std::size_t>(row) >= children.size())
        return {};
    return createIndex(row, 0, children[static_cast<std::size_t>(row)]);
}

QModelIndex OutlineModel::parent(const QModelIndex& child) const
{
    const OutlineNode* node = nodeOf(child);
    return node ? indexOf(m_outline.parentOf(node)) : QModelIndex();
}

int OutlineModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(m_outline.children(nodeOf(parent)).size());
}

int OutlineModel::columnCount(const QModelIndex&) const { return 1; }

QVariant OutlineModel::data(const QModelIndex& index, int role) const
{
    const OutlineNode* node = nodeOf(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return qs(node->data->sTitle);
    case Qt::ForegroundRole:
        if (node == m_cut)
            return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
        if (node->data->bTag3)
            return m_tag3;
        return {};
    default:
        return {};
    }
}

void OutlineModel::aboutToInsert(OutlineNode* parent, std::size_t row)
{
    beginInsertRows(indexOf(parent), static_cast<int>(row), static_cast<int>(row));
}

void OutlineModel::inserted() { endInsertRows(); }

void OutlineModel::aboutToRemove(OutlineNode* parent, std::size_t row)
{
    beginRemoveRows(indexOf(parent), static_cast<int>(row), static_cast<int>(row));
}

void OutlineModel::removed() { endRemoveRows(); }

void OutlineModel::aboutToMove(OutlineNode* srcParent, std::size_t srcRow, OutlineNode* dstParent, std::size_t dstRow)
{
    // The outline never asks for a move that the view cannot make; should it,
    // the view is reset rather than told something false.
    m_moveAsReset = !beginMoveRows(indexOf(srcParent), static_cast<int>(srcRow), static_cast<int>(srcRow),
                                   indexOf(dstParent), static_cast<int>(dstRow));
    if (m_moveAsReset)
        beginResetModel();
}

void OutlineModel::moved()
{
    if (m_moveAsReset)
        endResetModel();
    else
        endMoveRows();
}

void OutlineModel::aboutToReset() { beginResetModel(); }

void OutlineModel::reset() { endResetModel(); }

} // namespace sheaf::ui
