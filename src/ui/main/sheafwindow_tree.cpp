// Tree editing, the visit history and the marks of the main window.
#include "main/sheafwindow.h"

#include "common/busycursor.h"
#include "common/error.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "main/outlinemodel.h"
#include "main/pageeditor.h"
#include "project/pagefiles.h"

#include <QCoreApplication>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

namespace sheaf::ui {


void TfrmSheaf::expandToNode(OutlineNode* node)
{
    std::vector<OutlineNode*> ancestors;
    for (OutlineNode* p = m_project.outline.parentOf(node); p; p = m_project.outline.parentOf(p))
        ancestors.push_back(p);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        m_tree->expand(m_model->indexOf(*it));
}

void TfrmSheaf::InsertItemNode(std::size_t itemIndex)
{
    try {
        OutlineNode* node = m_project.outline.insertAfter(selectedNode(), m_project.items.at(itemIndex).get());
        selectNode(node);
    } catch (const std::exception&) {
        showError(this, u8("新しいノードを追加できませんでした"));
    }
}

void TfrmSheaf::actEditAddExecute()
{
    if (m_project.paths.projectPath.empty() || m_pageControl1->currentIndex() != 0)
        return;
    OutlineNode* selected = selectedNode();
    if (!selected) {
        showInformation(this, u8("追加する位置のノードをマウスでクリックして指定してください"));
        return;
    }
    try {
        const std::string path = CreatePageFile(m_project.paths.pageFolder, m_project.nextSerial);
        const std::size_t index =
            AddItemRecord(m_project.items, m_project.outline.depth(selected), path, m_project.nextSerial);
        ShowPagePath(path, m_project.nextSerial);
        InsertItemNode(index);
    } catch (const SheafError& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSheaf::actEditDeleteExecute()
{
    if (interaction().message(this, MessageKind::Warning, u8("指定のノードを削除しますか？"), Ok | Cancel, Cancel) != Ok)
        return;
    OutlineNode* node = selectedNode();
    if (m_pageControl1->currentIndex() != 0 || !node)
        return;
    Outline& outline = m_project.outline;
    if (outline.lastIndexOfSubtree(node) - outline.indexOf(node) + 1 == outline.size()) {
        // An empty project could not be opened again.
        showWarning(this, u8("最後に残った項目は削除できません。プロジェクトには少なくとも 1 つの項目が必要です。"));
        return;
    }
    // The neighbour is entered first, so the page being left is written
    // while its node still exists; the records and page files stay.
    OutlineNode* neighbour = outline.nextSibling(node);
    if (!neighbour)
        neighbour = outline.previousSibling(node);
    if (!neighbour)
        neighbour = outline.parentOf(node);
    selectNode(neighbour);
    outline.removeSubtree(node);
    ShowTreeItemNumberToStatusBar();
}

void TfrmSheaf::moveSelected(bool (Outline::*move)(OutlineNode*))
{
    if (m_pageControl1->currentIndex() != 0)
        return;
    OutlineNode* node = selectedNode();
    if (!node) {
        showInformation(this, u8("移動するノードを選択してください"));
        return;
    }
    if ((m_project.outline.*move)(node)) {
        expandToNode(node);
        m_tree->scrollTo(m_model->indexOf(node));
        ShowTreeItemNumberToStatusBar();
    }
}

void TfrmSheaf::actEditShowUpExecute()
{
    if (OutlineNode* node = selectedNode())
        if (OutlineNode* prev = m_project.outline.previousVisible(node))
            selectNode(prev);
}

void TfrmSheaf::actEditShowDownExecute()
{
    if (OutlineNode* node = selectedNode())
        if (OutlineNode* next = m_project.outline.nextVisible(node))
            selectNode(next);
}

void TfrmSheaf::toggleTag(int tag)
{
    static const char* const names[] = {"actPop1Tag1", "actPop1Tag2", "actPop1Tag3"};
    QAction* a = action(QString::fromLatin1(names[tag - 1]));
    OutlineNode* node = selectedNode();
    if (!node) {
        a->setChecked(false);
        return;
    }
    std::uint8_t& flag = tag == 1 ? node->data->bTag1 : tag == 2 ? node->data->bTag2 : node->data->bTag3;
    flag = flag ? 0 : 1;
    a->setChecked(flag);
    if (tag == 3)
        SetTreeNodeCaption(node); // repaints the node in its new colour
}

void TfrmSheaf::actPop1CollapseAllExecute()
{
    OutlineNode* node = selectedNode();
    if (!node)
        return;
    while (OutlineNode* parent = m_project.outline.parentOf(node))
        node = parent;
    selectNode(node);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_tree->setUpdatesEnabled(false);
    for (OutlineNode* top : m_project.outline.children(nullptr))
        if (top->expanded)
            m_tree->collapse(m_model->indexOf(top));
    m_tree->setUpdatesEnabled(true);
}

void TfrmSheaf::actPop1ExpandExecute(bool expand)
{
    if (OutlineNode* node = selectedNode()) {
        if (expand)
            m_tree->expand(m_model->indexOf(node));
        else
            m_tree->collapse(m_model->indexOf(node));
    }
}

void TfrmSheaf::syncHistoryActions()
{
    action(QStringLiteral("actEditBackward"))->setEnabled(m_history.backEnabled());
    action(QStringLiteral("actEditForward"))->setEnabled(m_history.forwardEnabled());
}

void TfrmSheaf::resetHistory()
{
    // Positions of another project mean nothing here: the log starts again
    // as at start-up.
    m_history = clsHistory();
    m_history.Record(0);
    syncHistoryActions();
}

void TfrmSheaf::goToHistoryEntry(std::int32_t index)
{
    syncHistoryActions();
    // A position beyond the current tree selects nothing.
    OutlineNode* node = index >= 0 ? m_project.outline.nodeAt(static_cast<std::size_t>(index)) : nullptr;
    if (node)
        selectNode(node);
    else
        m_history.navigationDidNotMove();
}

void TfrmSheaf::actEditBackwardExecute()
{
    BusyCursor busy;
    goToHistoryEntry(m_history.Back());
}

void TfrmSheaf::actEditForwardExecute()
{
    BusyCursor busy;
    goToHistoryEntry(m_history.Forward());
}

void TfrmSheaf::setMark(int mark, std::int32_t serial, const std::string& text)
{
    QToolButton* b = m_markButtons[mark];
    b->setEnabled(serial > 0);
    b->setToolTip(qs(text));
    b->setProperty("tag", serial);
    m_markMenuItems[mark]->setChecked(serial > 0);
}

void TfrmSheaf::toggleMark(int mark)
{
    const bool wasSet = m_markButtons[mark]->property("tag").toInt() > 0;
    OutlineNode* node = selectedNode();
    if (m_project.items.empty() || (!wasSet && !node)) {
        m_markMenuItems[mark]->setChecked(wasSet);
        return;
    }
    if (wasSet)
        setMark(mark, 0, defaultMarkText(mark));
    else
        setMark(mark, node->data->nSerial, node->data->sTitle);
}

void TfrmSheaf::jumpToMark(int mark)
{
    try {
        const int serial = m_markButtons[mark]->property("tag").toInt();
        for (std::size_t i = 0; i < m_project.outline.size(); ++i) {
            OutlineNode* node = m_project.outline.nodeAt(i);
            if (node->data->nSerial == serial) {
                selectNode(node);
                return;
            }
        }
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("tbMark1Click: ") + qs(e.what()));
    }
}

} // namespace sheaf::ui
