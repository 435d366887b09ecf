#pragma once
// Moving a node with the mouse: Shift + press, then 5 pixels of movement,
// start a drag; the drop inserts the node before the node under the mouse,
// or appends it at the end of the top level below the last item.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QStyledItemDelegate>
#include <QTimer>

#include <memory>

class QTreeView;

namespace sheaf {
struct OutlineNode;
}

namespace sheaf::ui {

class OutlineModel;
class TfrmSheaf;

// Scrolls the tree while a drag holds the mouse near its top or bottom.
class CScrollNode : public QObject {
    Q_OBJECT
public:
    enum Direction { None = 0, Down = 1, Up = 2 };
    explicit CScrollNode(QTreeView* tree);
    // pos in the tree's viewport coordinates.
    void Track(const QPoint& pos);
    Direction direction() const { return m_direction; }
    QRect upperZone() const { return m_upper; }
    QRect lowerZone() const { return m_lower; }

private:
    void scroll();
    QTreeView* m_tree;
    QTimer m_timer;
    Direction m_direction = None;
    QRect m_upper;
    QRect m_lower;
};

// Tag-3 items: their colour, and silver behind them when selected.
class TreeItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TreeItemDelegate(QObject* parent, OutlineModel* model) : QStyledItemDelegate(parent), m_model(model) {}
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    OutlineModel* m_model;
};

class TreeDragHandler : public QObject {
    Q_OBJECT
public:
    TreeDragHandler(TfrmSheaf* window, QTreeView* tree, OutlineModel* model);
    ~TreeDragHandler() override;
    bool dragging() const { return m_dragged != nullptr; }
    CScrollNode* scroller() const { return m_scroller.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    enum class DropKind { Before, AtEnd, Nothing };
    DropKind dropAt(const QPoint& pos, OutlineNode** target) const;
    void finish();

    TfrmSheaf* m_window;
    QTreeView* m_tree;
    OutlineModel* m_model;
    bool m_pressed = false;
    QPoint m_pressPos;
    OutlineNode* m_dragged = nullptr;
    std::unique_ptr<CScrollNode> m_scroller;
};

} // namespace sheaf::ui
