// Page display and editing: leaving and entering items, the HTML and
// preview tabs, page saving, and the state of the edit commands.
#include "main/sheafwindow.h"

#include "common/busycursor.h"
#include "common/colors.h"
#include "common/error.h"
#include "common/fsutil.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/progressbar.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "common/text.h"
#include "html/batch.h"
#include "html/t2h.h"
#include "main/linelexer.h"
#include "main/outlinemodel.h"
#include "main/pageeditor.h"
#include "main/previewbrowser.h"
#include "main/statuspanels.h"
#include "project/pagefiles.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QKeyEvent>
#include <QWheelEvent>

namespace sheaf::ui {

namespace {
constexpr int kTextTab = 0;
constexpr int kHtmlTab = 1;
constexpr int kPreviewTab = 2;
} // namespace

OutlineNode* TfrmSheaf::selectedNode() const { return m_model->nodeOf(m_tree->currentIndex()); }

void TfrmSheaf::selectNode(OutlineNode* node)
{
    if (!node)
        return;
    expandToNode(node);
    const QModelIndex index = m_model->indexOf(node);
    if (index == m_tree->currentIndex()) {
        // Nothing changes, so no visit follows a step back or forward.
        m_history.navigationDidNotMove();
        return;
    }
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
}

void TfrmSheaf::currentNodeChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (m_inSelectionChange)
        return;
    m_inSelectionChange = true;
    if (!leaveItem(m_model->nodeOf(previous))) {
        // What was typed could not be written: stay on the item, text and all.
        m_tree->setCurrentIndex(previous);
        m_inSelectionChange = false;
        return;
    }
    m_inSelectionChange = false;
    enterItem(m_model->nodeOf(current));
}

bool TfrmSheaf::writePageFile(const FILEDATA& item, QString* error)
{
    if (!m_pageLoaded)
        return true; // the editor does not hold this page: nothing to write
    std::size_t unmappable = 0;
    const std::string bytes = m_editorText->pageBytes(&unmappable);
    // An unchanged page keeps its file as it is, date included.
    if (const auto onDisk = fs::tryReadFile(item.sFileName); onDisk && *onDisk == bytes)
        return true;
    try {
        fs::writeFileAtomic(item.sFileName, bytes, sjis::sj("テキストのファイルへの出力に失敗しました"));
    } catch (const SheafError& e) {
        if (error)
            *error = qs(e.what());
        return false;
    }
    if (unmappable > 0)
        showWarning(this, u8("Shift-JIS で表せない文字が %1 文字あったため、「?」に置き換えて保存しました。\n").arg(unmappable) +
                              qs(item.sFileName));
    return true;
}

void TfrmSheaf::saveEditedHtml(OutlineNode* node)
{
    if (!node || !m_editorHtml->isModified())
        return;
    SaveHtmlPage(node);
    if (interaction().message(this, MessageKind::Confirmation, u8("HTML を編集しましたが、タグ１をオンにしますか？"),
                              Yes | No, Yes) == Yes)
        node->data->bTag1 = 1;
}

bool TfrmSheaf::leaveItem(OutlineNode* node)
{
    if (!CheckProject())
        return true;
    saveEditedHtml(node);
    BusyCursor busy;
    m_pageControl1->setCurrentIndex(0);
    m_pageControl2->setCurrentIndex(kTextTab);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!node)
        return true;
    QString error;
    if (!writePageFile(*node->data, &error)) {
        showError(this, error);
        return false;
    }
    SetTreeNodeCaption(node);
    return true;
}

void TfrmSheaf::enterItem(OutlineNode* node)
{
    BusyCursor busy;
    ShowTreeItemNumberToStatusBar();
    if (!node)
        return;
    try {
        FILEDATA& item = *node->data;
        std::string path = item.sFileName;
        bool wrapOff = item.bHScroll != 0;
        action(QStringLiteral("actPop1Tag1"))->setChecked(item.bTag1);
        action(QStringLiteral("actPop1Tag2"))->setChecked(item.bTag2);
        action(QStringLiteral("actPop1Tag3"))->setChecked(item.bTag3);

        const fs::FileKind kind = fs::fileKind(path);
        m_pageLoaded = false;
        if (kind != fs::FileKind::Regular && kind != fs::FileKind::Missing) {
            // A folder, FIFO or device in the page's place is shown as what it
            // is; the editor stays empty and read-only, and nothing is written.
            m_editorText->setPageBytes({});
            m_editorText->setReadOnly(true);
            ShowPagePath(path, item.nSerial);
            showError(this, qs(fs::failureText(sjis::sj("ページファイルを読み込めませんでした"), path, fs::fileKindText(kind))));
            return;
        }
        if (kind == fs::FileKind::Missing) {
            interaction().message(
                this, MessageKind::Warning,
                u8("このページのファイルは\n") + QStringLiteral("    ") + qs(path) + QStringLiteral("\n") +
                    u8("ですが、そのディレクトリ内に存在しませんので、新規作成状態にします。\n") +
                    u8("もし、存在するはずであれば、エクスプローラなどのファイル検索機能のあるツールを使ってファイルを検索してください。") +
                    u8("ファイルが存在する場合はテキスト編集部を右クリックし、ポップアップメニューの「ファイルから読み込む」機能を利用してください。"));
            path = CreatePageFile(m_project.paths.pageFolder, m_project.nextSerial, path);
            item.sFileName = path;
            wrapOff = false;
        }
        LoadPage(path);
        SetHScroll(wrapOff);
        m_panelNote.clear();
        ShowPagePath(path, item.nSerial);

        m_history.Record(static_cast<std::int32_t>(m_project.outline.indexOf(node)));
        syncHistoryActions();

        m_editorText->setBoxSelection(false);
        action(QStringLiteral("actEditBoxMode"))->setChecked(false);
        m_editorText->setFocus();
        m_editorText->setCursorPosition(0, 0);
        ShowCaretPos(m_editorText);
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("tvTreeChange Error: ") + qs(e.what()));
    }
}

void TfrmSheaf::LoadPage(const std::string& path)
{
    const std::string bytes = fs::readFile(path, sjis::sj("ページファイルを読み込めませんでした"));
    m_editorText->setUpdatesEnabled(false);
    m_editorText->setReadOnly(false);
    m_editorText->setPageBytes(bytes);
    m_editorText->setUpdatesEnabled(true);
    m_pageLoaded = true;
}

void TfrmSheaf::ReloadPage()
{
    if (OutlineNode* node = selectedNode(); node && fs::isFile(node->data->sFileName))
        LoadPage(node->data->sFileName);
}

bool TfrmSheaf::SavePage(std::size_t absoluteIndex, QString* error)
{
    BusyCursor busy;
    OutlineNode* node = m_project.outline.nodeAt(absoluteIndex);
    if (!node || !writePageFile(*node->data, error))
        return false;
    m_editorText->setModified(false);
    return true;
}

void TfrmSheaf::SaveHtmlPage(OutlineNode* node)
{
    if (!node)
        return;
    const std::string htmlPath = HtmlFileName(m_project.paths.htmlFolder, node->data->sFileName);
    try {
        fs::writeFileAtomic(htmlPath, m_editorHtml->pageBytes(), sjis::sj("HTML ファイルを書き込めませんでした"));
        m_editorHtml->setModified(false);
    } catch (const SheafError& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSheaf::SetTreeNodeCaption(OutlineNode* node)
{
    if (!node)
        return;
    try {
        node->data->sTitle = titleFromFirstLine(m_editorText->firstLine());
        m_model->nodeChanged(node);
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("SetTreeNodeCaption(): ") + qs(e.what()));
    }
}

void TfrmSheaf::SetHScroll(bool on)
{
    m_editorText->setWrapMode(on ? QsciScintilla::WrapNone : QsciScintilla::WrapCharacter);
    action(QStringLiteral("actShowHScroll"))->setChecked(on);
    m_editorText->setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TfrmSheaf::actShowHScrollExecute()
{
    const bool on = action(QStringLiteral("actShowHScroll"))->isChecked();
    SetHScroll(on);
    if (OutlineNode* node = selectedNode())
        node->data->bHScroll = on ? 1 : 0;
}

void TfrmSheaf::pageTabChanged(int index)
{
    if (m_inSelectionChange || !selectedNode())
        return;
    if (index == kHtmlTab)
        showHtmlTab();
    else if (index == kPreviewTab)
        showPreviewTab();
}

void TfrmSheaf::showHtmlTab()
{
    const FILEDATA& item = *selectedNode()->data;
    const std::string htmlPath = HtmlFileName(m_project.paths.htmlFolder, item.sFileName);
    if (item.bTag1) {
        if (const auto bytes = fs::tryReadFile(htmlPath))
            m_editorHtml->setPageBytes(*bytes);
        else
            showWarning(this, u8("タグ１はオンですが、対応する HTML ファイルがありません。"));
        return;
    }
    try {
        BusyCursor busy;
        html::clsT2H converter(m_project.paths.htmlIniPath);
        if (!converter.settingsWarning().empty())
            showWarning(this, qs(converter.settingsWarning()));
        std::vector<std::string> result;
        converter.ConvertLines(m_editorText->pageLines(), result);
        m_editorHtml->setPageLines(result);
        fs::writeFileAtomic(htmlPath, joinLines(result), sjis::sj("HTML ファイルを書き込めませんでした"), false);
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("PageControl2Change: ") + qs(e.what()));
    }
}

void TfrmSheaf::showPreviewTab()
{
    const std::string htmlPath = HtmlFileName(m_project.paths.htmlFolder, selectedNode()->data->sFileName);
    if (!fs::isFile(htmlPath)) {
        showInformation(this, u8("現在のページと対応する HTML ファイル\n") + qs(htmlPath) + u8("\nが存在しません。"));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(nativePath(htmlPath));
    m_preview->clearHistory();
    // Setting the same source again would not re-read the file.
    m_preview->setSource(QUrl());
    m_preview->setSource(url);
}

bool TfrmSheaf::actFileSaveExecute()
{
    OutlineNode* node = selectedNode();
    if (m_project.paths.projectPath.empty() || !node || m_editorText->lines() == 0)
        return true;
    BusyCursor busy;
    SetTreeNodeCaption(node);
    node->data->sKeyword1.clear();
    QString error;
    if (!SavePage(m_project.outline.indexOf(node), &error)) {
        showError(this, u8("ページデータをファイルに保存を失敗しました") + QLatin1Char('\n') + error);
        return false;
    }
    return true;
}

void TfrmSheaf::actFileSaveHtmlExecute()
{
    if (m_editorHtml->isModified())
        SaveHtmlPage(selectedNode());
}

void TfrmSheaf::actFileHtmlExecute()
{
    if (!CheckProject())
        return;
    html::BatchHandler handler;
    handler.continueWithoutSettings = [this] {
        return interaction().message(this, MessageKind::Confirmation,
                                     u8("HTML 化用初期化ファイルが存在しません。\n処理を続行しますか？"), Yes | No, No) == Yes;
    };
    if (!fs::exists(m_project.paths.htmlIniPath) && !handler.continueWithoutSettings())
        return;
    handler.continueWithoutSettings = [] { return true; };
    BusyCursor busy;
    actFileSaveAllExecute();
    CProgressBar progress(statusBar(), 1);
    handler.ignoreMissingPage = [this](const std::string& name) {
        return interaction().message(this, MessageKind::Confirmation, qs(name) + u8(" が存在しません。"), Abort | Ignore,
                                     Abort) == Ignore;
    };
    handler.start = [&](std::size_t total) { progress.Start(0, static_cast<int>(total), 1); };
    handler.step = [&] { progress.StepIt(); };
    const html::BatchResult r = html::convertAll(m_project.outline, m_project.paths, handler);
    progress.Finish();
    if (!r.settingsWarning.empty())
        showWarning(this, qs(r.settingsWarning));
    if (r.failure)
        showError(this, qs(*r.failure));
}

void TfrmSheaf::actToolbarTagAExecute()
{
    const std::string selected = m_editorText->selectedBytes();
    if (selected.empty())
        return;
    if (const auto link = html::makePageLink(m_project.outline, selected))
        m_editorText->replaceSelectedBytes(*link);
    else
        interaction().message(this, MessageKind::Confirmation, u8("指定のページは存在しません"), Ok, Ok);
}

PageEditor* TfrmSheaf::activeEditor() const
{
    return m_pageControl2->currentIndex() == kTextTab ? m_editorText : m_editorHtml;
}

void TfrmSheaf::scheduleUpdate()
{
    if (m_updatePending)
        return;
    m_updatePending = true;
    QTimer::singleShot(0, this, &TfrmSheaf::updateActions);
}

void TfrmSheaf::updateActions()
{
    m_updatePending = false;
    const bool htmlEdited = m_pageControl2->currentIndex() == kHtmlTab && m_editorHtml->isModified();
    action(QStringLiteral("actFileSaveHtml"))->setEnabled(htmlEdited);
    // A page whose HTML has been edited keeps its hand-made HTML from now on.
    if (htmlEdited) {
        if (OutlineNode* node = selectedNode(); node && !node->data->bTag1) {
            node->data->bTag1 = 1;
            action(QStringLiteral("actPop1Tag1"))->setChecked(true);
        }
    }
    action(QStringLiteral("actFileSave"))->setEnabled(m_editorText->isModified());
    action(QStringLiteral("actEditUndo"))->setEnabled(m_editorText->isUndoAvailable());
    const bool selection = m_editorText->hasSelectedText();
    action(QStringLiteral("actEditCopy"))->setEnabled(selection);
    action(QStringLiteral("actEditCut"))->setEnabled(selection);
    action(QStringLiteral("actEditPaste"))->setEnabled(!QApplication::clipboard()->text().isEmpty());
    action(QStringLiteral("actEditAdd"))->setEnabled(!m_project.paths.projectPath.empty());
}

void TfrmSheaf::applyLineColouring()
{
    const bool on = action(QStringLiteral("actToolbarSearch"))->isChecked();
    const std::string search = sj(m_cmbSearch->currentText());
    for (PageEditor* editor : {m_editorText, m_editorHtml}) {
        LineLexer* lexer = editor->lineLexer();
        lexer->setKeywords(m_keywords);
        lexer->setSearch(on, search);
        lexer->setLineColors(toQColor(m_colors[ColorSet::AtMarkFore]), toQColor(m_colors[ColorSet::KeywordFore]),
                             toQColor(m_colors[ColorSet::SearchFore]));
        editor->recolour();
    }
}

void TfrmSheaf::wheelEvent(QWheelEvent* e)
{
    // A wheel notch that no control under the focus took scrolls the page by two lines.
    const int lines = e->angleDelta().y() > 0 ? -2 : 2;
    m_editorText->SendScintilla(QsciScintillaBase::SCI_LINESCROLL, 0UL, static_cast<long>(lines));
    e->accept();
}

int TfrmSheaf::caretIndexInLine() const
{
    int line = 0;
    int index = 0;
    m_editorText->getCursorPosition(&line, &index);
    return index;
}

bool TfrmSheaf::eventFilter(QObject* watched, QEvent* e)
{
    // Enter in the page search box switches the highlight on.
    if (m_cmbSearch && watched == m_cmbSearch->lineEdit() && e->type() == QEvent::KeyPress &&
        pageSearchKey(static_cast<QKeyEvent*>(e)))
        return true;
    // The tree never keeps the focus: the page editor takes it at once.
    if (watched == m_tree && e->type() == QEvent::FocusIn) {
        m_pageControl2->setCurrentIndex(kTextTab);
        QTimer::singleShot(0, m_editorText, [this] { m_editorText->setFocus(); });
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace sheaf::ui
