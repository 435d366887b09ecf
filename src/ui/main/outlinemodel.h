#pragma once
// The core outline as a Qt item model for the tree view; the outline tells
// the model of every change, so the view follows edits without a reset.
#include "common/colorset.h"
#include "project/outline.h"

#include <QAbstractItemModel>
#include <QColor>

namespace sheaf::ui {

class OutlineModel : public QAbstractItemModel, private OutlineListener {
    Q_OBJECT
public:
    explicit OutlineModel(Outline& outline, QObject* parent = nullptr);
    ~OutlineModel() override;

    Outline& outline() const { return m_outline; }
    OutlineNode* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const OutlineNode* node) const;

    void setTag3Color(const QColor& color) { m_tag3 = color; }
    const QColor& tag3Color() const { return m_tag3; }
    // The node drawn greyed while it is dragged.
    void setCutNode(const OutlineNode* node);
    // Tells the view that a node's caption or colour changed.
    void nodeChanged(const OutlineNode* node);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void aboutToInsert(OutlineNode* parent, std::size_t row) override;
    void inserted() override;
    void aboutToRemove(OutlineNode* parent, std::size_t row) override;
    void removed() override;
    void aboutToMove(OutlineNode* srcParent, std::size_t srcRow, OutlineNode* dstParent, std::size_t dstRow) override;
    void moved() override;
    void aboutToReset() override;
    void reset() override;

    Outline& m_outline;
    QColor m_tag3;
    const OutlineNode* m_cut = nullptr;
    bool m_moveAsReset = false;
};

} // namespace sheaf::ui
