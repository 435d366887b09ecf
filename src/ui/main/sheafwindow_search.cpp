// Search commands of the main window: text search and replace, the HTML
// replace, the tree search with find-next, the result list and the tool-bar
// page search.
#include "main/sheafwindow.h"

#include "common/busycursor.h"
#include "common/fsutil.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "common/text.h"
#include "main/pageeditor.h"
#include "search/history.h"
#include "search/historybox.h"
#include "search/searchdialog.h"
#include "search/searchhtmldialog.h"
#include "search/searchpages.h"
#include "search/searchtreedialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>

namespace sheaf::ui {

void TfrmSheaf::actSearchTextExecute()
{
    OutlineNode* node = selectedNode();
    if (!node)
        return;
    // The dialogs work on what is on disk.
    if (m_editorText->isModified())
        actFileSaveExecute();
    if (m_pageControl2->currentIndex() == 1) {
        const std::string htmlPath = HtmlFileName(m_project.paths.htmlFolder, node->data->sFileName);
        TfrmSearchHtml dialog(this, &m_help, m_iniPath, htmlPath);
        if (interaction().execDialog(dialog) != mrOk)
            return;
        if (!dialog.failure().empty())
            showError(this, qs(dialog.failure()));
        try {
            m_editorHtml->setPageBytes(fs::readFile(htmlPath, sjis::sj("HTML ファイルを読み込めませんでした")));
        } catch (const std::exception& e) {
            showError(this, qs(e.what()));
            return;
        }
        if (!node->data->bTag1)
            action(QStringLiteral("actPop1Tag1"))->trigger();
        return;
    }
    TfrmSearch::Setup setup;
    setup.help = &m_help;
    setup.iniPath = m_iniPath;
    setup.outline = &m_project.outline;
    setup.selected = m_project.outline.indexOf(node);
    setup.statusBar = statusBar();
    setup.results = m_lstSearch;
    TfrmSearch dialog(this, setup);
    const int result = interaction().execDialog(dialog);
    if (result == mrYes && m_lstSearch->count() > 0) {
        m_cmbSearch->setEditText(qs(dialog.searchText()));
        m_pageControl1->setCurrentIndex(1);
    } else if (result == mrOk) {
        // Pages that could not be rewritten are named; the others were done.
        if (!dialog.failedPages().empty()) {
            QString text = u8("次のページファイルは置換できませんでした:");
            for (const auto& [path, message] : dialog.failedPages())
                text += QStringLiteral("\n\n") + qs(message);
            showError(this, text);
        }
        try {
            ReloadPage();
        } catch (const std::exception& e) {
            showError(this, qs(e.what()));
        }
    }
}

void TfrmSheaf::lstSearchClicked(QListWidgetItem* item)
{
    if (!item || m_lstSearch->count() == 0)
        return;
    const long index = search::indexOfResultLine(sj(item->text()));
    if (index >= 0)
        selectNode(m_project.outline.nodeAt(static_cast<std::size_t>(index)));
}

void TfrmSheaf::actSearchTreeExecute()
{
    const QString word = m_editorText->wordAtLineIndex(m_editorText->caretRow(), caretIndexInLine());
    TfrmSearchTree dialog(this, m_iniPath, word);
    m_treeSearchActive = false;
    if (interaction().execDialog(dialog) != mrOk)
        return;
    m_treeSearchText = dialog.searchText();
    m_treeSearchActive = true;
    m_treeSearchNext = FindNextTreeItem(0, m_treeSearchText);
}

void TfrmSheaf::actSearchNextExecute()
{
    if (m_treeSearchActive)
        m_treeSearchNext = FindNextTreeItem(m_treeSearchNext, m_treeSearchText);
}

std::size_t TfrmSheaf::FindNextTreeItem(std::size_t start, const std::string& text)
{
    const Outline& outline = m_project.outline;
    if (start >= outline.size())
        return 0;
    for (std::size_t i = start; i < outline.size(); ++i) {
        // Letters without regard to case; a match never starts inside a character.
        if (findNoCase(outline.nodeAt(i)->data->sTitle, text) != std::string::npos) {
            selectNode(outline.nodeAt(i));
            return i + 1;
        }
    }
    interaction().message(this, MessageKind::Information, u8("「") + qs(text) + u8("」\nの検索を終了しました"), Ok, Ok);
    return 0;
}

void TfrmSheaf::pageSearchToTop()
{
    const QString text = m_cmbSearch->currentText();
    if (text.isEmpty())
        return;
    std::vector<std::string> list = historyOf(m_cmbSearch);
    search::moveToTop(list, sj(text));
    m_cmbSearch->blockSignals(true);
    fillHistory(m_cmbSearch, list);
    m_cmbSearch->setCurrentIndex(0);
    m_cmbSearch->blockSignals(false);
    applyLineColouring();
}

bool TfrmSheaf::pageSearchKey(QKeyEvent* key)
{
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    action(QStringLiteral("actToolbarSearch"))->setChecked(true);
    pageSearchToTop();
    return true;
}

} // namespace sheaf::ui
