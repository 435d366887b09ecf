#include "main/treedrag.h"

#include "main/outlinemodel.h"
#include "main/sheafwindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTreeView>

namespace sheaf::ui {

CScrollNode::CScrollNode(QTreeView* tree) : m_tree(tree)
{
    // Both zones are fixed when the drag starts.
    const QModelIndex top = tree->indexAt(QPoint(1, 1));
    m_upper = top.isValid() ? tree->visualRect(top) : QRect();
    if (m_upper.isValid())
        m_upper.setLeft(0);
    const QSize size = tree->viewport()->size();
    m_lower = QRect(0, size.height() - 30, size.width(), 30);
    m_timer.setInterval(150);
    connect(&m_timer, &QTimer::timeout, this, &CScrollNode::scroll);
    m_timer.start();
}

void CScrollNode::Track(const QPoint& pos)
{
    if (m_upper.contains(pos))
        m_direction = Up;
    else if (m_lower.contains(pos))
        m_direction = Down;
    else
        m_direction = None;
}

void CScrollNode::scroll()
{
    QScrollBar* bar = m_tree->verticalScrollBar();
    if (m_direction == Up)
        bar->setValue(bar->value() - 1);
    else if (m_direction == Down)
        bar->setValue(bar->value() + 1);
}

void TreeItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const OutlineNode* node = m_model->nodeOf(index);
    if (node && node->data->bTag3 && (option->state & QStyle::State_Selected)) {
        option->palette.setColor(QPalette::Highlight, QColor(0xC0, 0xC0, 0xC0));
        // The tree's own text colour, not the tag-3 colour the model gives.
        const auto* view = qobject_cast<const QWidget*>(parent());
        option->palette.setColor(QPalette::HighlightedText, (view ? view->palette() : QPalette()).color(QPalette::Text));
    }
}

TreeDragHandler::TreeDragHandler(TfrmSheaf* window, QTreeView* tree, OutlineModel* model)
    : m_window(window), m_tree(tree), m_model(model)
{
    tree->viewport()->installEventFilter(this);
    tree->installEventFilter(this);
    tree->setItemDelegate(new TreeItemDelegate(tree, model));
}

TreeDragHandler::~TreeDragHandler() = default;

TreeDragHandler::DropKind TreeDragHandler::dropAt(const QPoint& pos, OutlineNode** target) const
{
    const QModelIndex index = m_tree->indexAt(pos);
    if (!index.isValid()) {
        // Below the items: the empty area under the last row.
        const int rows = m_model->rowCount();
        QModelIndex bottom = m_model->index(rows - 1, 0);
        while (bottom.isValid() && m_tree->isExpanded(bottom) && m_model->rowCount(bottom) > 0)
            bottom = m_model->index(m_model->rowCount(bottom) - 1, 0, bottom);
        if (rows > 0 && pos.y() > m_tree->visualRect(bottom).bottom())
            return DropKind::AtEnd;
        return DropKind::Nothing;
    }
    const QRect label = m_tree->visualRect(index);
    const int textRight = label.left() + m_tree->fontMetrics().horizontalAdvance(index.data().toString()) + 6;
    *target = m_model->nodeOf(index);
    if (pos.x() >= label.left() && pos.x() <= textRight)
        return DropKind::Before;
    const int buttonLeft = label.left() - m_tree->indentation();
    if (pos.x() < buttonLeft)
        return DropKind::Before; // the indent area
    if (pos.x() < label.left())
        return m_model->rowCount(index) > 0 ? DropKind::Nothing : DropKind::Before; // the expand button
    return DropKind::Nothing; // right of the label
}

void TreeDragHandler::finish()
{
    m_model->setCutNode(nullptr);
    m_scroller.reset();
    m_dragged = nullptr;
    m_pressed = false;
}

bool TreeDragHandler::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_tree && e->type() == QEvent::KeyPress && m_dragged &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        finish();
        return true;
    }
    if (watched != m_tree->viewport())
        return false;
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->modifiers() & Qt::ShiftModifier) {
            m_pressed = true;
            m_pressPos = me->position().toPoint();
            return true; // a Shift press starts a drag, not a selection
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint pos = me->position().toPoint();
        if (m_pressed && !m_dragged && (pos - m_pressPos).manhattanLength() >= 5) {
            m_dragged = m_window->selectedNode();
            if (!m_dragged) {
                m_pressed = false;
                return false;
            }
            m_model->setCutNode(m_dragged);
            m_scroller = std::make_unique<CScrollNode>(m_tree);
        }
        if (m_dragged) {
            m_scroller->Track(pos);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        if (!m_pressed)
            return false;
        if (m_dragged) {
            OutlineNode* dragged = m_dragged;
            OutlineNode* target = nullptr;
            const DropKind kind = dropAt(static_cast<QMouseEvent*>(e)->position().toPoint(), &target);
            finish();
            Outline& outline = m_model->outline();
            const bool moved = kind == DropKind::Before ? outline.dropBefore(dragged, target)
                               : kind == DropKind::AtEnd ? outline.dropAtEnd(dragged)
                                                         : false;
            if (moved)
                m_window->selectNode(dragged);
            m_window->ShowTreeItemNumberToStatusBar();
        } else {
            finish();
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace sheaf::ui
