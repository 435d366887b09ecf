// Project commands of the main window: new, open, save, save as.
#include "main/sheafwindow.h"

#include "common/busycursor.h"
#include "common/error.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/shell.h"
#include "common/sjis.h"
#include "main/newprojectdialog.h"
#include "main/outlinemodel.h"
#include "main/pageeditor.h"
#include "project/createtree.h"
#include "project/pagefiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

namespace sheaf::ui {


void TfrmSheaf::takeLock()
{
    m_lock.acquire(m_project.paths.projectPath);
}

void TfrmSheaf::resetProjectView()
{
    // Another project is coming: the page being edited is written first, so
    // that nothing typed is lost, then the outline and the records go.
    if (OutlineNode* node = selectedNode())
        leaveItem(node);
    m_inSelectionChange = true;
    m_project.outline.clear();
    ClearItemList(m_project.items);
    m_inSelectionChange = false;
    m_lstSearch->clear();
    resetHistory();
}

void TfrmSheaf::actFileNewExecute()
{
    TfrmNewProject dialog(this, m_iniPath, QCoreApplication::applicationDirPath());
    const bool accepted = interaction().execDialog(dialog) == QDialog::Accepted;
    if (accepted) {
        try {
            const std::string path = corePath(dialog.projectPath());
            if (!m_project.paths.projectPath.empty())
                actFileSaveAllExecute();
            resetProjectView();
            m_project.paths = SetProjectPaths(path);
            m_project.nextSerial = 1;
            for (int k = 0; k < 3; ++k)
                setMark(k, 0, defaultMarkText(k));

            std::string page;
            std::size_t index = 0;
            try {
                page = CreatePageFile(m_project.paths.pageFolder, m_project.nextSerial);
                index = AddItemRecord(m_project.items, 0, page, m_project.nextSerial);
            } catch (const SheafError& e) {
                showError(this, qs(e.what()) + QLatin1Char('\n') + u8("ページを作成できませんでした"));
                m_editorText->setBoxSelection(false);
                action(QStringLiteral("actEditBoxMode"))->setChecked(false);
                return;
            }
            takeLock();
            ShowPagePath(page, m_project.nextSerial);
            InsertItemNode(index);
            SetCaption(m_project.paths.projectPath);
            actFileSaveAllExecute();
            if (dialog.shortcutWanted())
                CreateDesktopShortcut(m_project.paths.projectPath);
        } catch (const std::exception& e) {
            showError(this, qs(e.what()));
        }
    }
    m_editorText->setBoxSelection(false);
    action(QStringLiteral("actEditBoxMode"))->setChecked(false);
}

void TfrmSheaf::actFileOpenExecute()
{
    const QString chosen = interaction().openFile(
        this, u8(".shf3 ファイルを選択してください"), QString(), QStringLiteral("*.shf3"),
        u8("SHF3 ファイル|*.shf3|SHF ファイル|*.shf|すべてのファイル|*.*"));
    if (chosen.isEmpty())
        return;
    try {
        openProject(corePath(chosen));
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSheaf::openProject(const std::string& path)
{
    BusyCursor busy;
    resetProjectView();
    m_project.paths = SetProjectPaths(path);
    takeLock();

    CReadSHFFile reader(m_project.items, path);
    const bool complete = reader.ReadFile(isCurrentLayoutPath(path));
    if (!complete)
        showError(this, qs(reader.errorMessage()));
    // Header values are applied only when the header was read whole.
    if (reader.headerComplete())
        applyHeader(reader.header());
    relocatePageFiles(m_project.items, m_project.paths.pageFolder);

    try {
        if (const auto warning = CCreateTree(m_project.outline).Execute(m_project.items))
            showWarning(this, qs(*warning));
    } catch (const SheafError& e) {
        // A project without items cannot be shown; the window stays without one.
        showError(this, qs(e.what()));
        m_project.paths = {};
        m_lock.release();
        m_openOnStart = false;
        setWindowTitle(QStringLiteral("Sheaf"));
        showStartHint();
        return;
    }
    if (!m_project.outline.empty())
        selectNode(m_project.outline.nodeAt(0));
    SetCaption(path);
    m_editorText->setBoxSelection(false);
    action(QStringLiteral("actEditBoxMode"))->setChecked(false);
    m_openOnStart = false;
    layoutWindow();
}

void TfrmSheaf::applyHeader(const PROJECTHEADER& h)
{
    m_project.header = h;
    setGeometry(h.nLeft, h.nTop, h.nWidth > 0 ? h.nWidth : width(), h.nHeight > 0 ? h.nHeight : height());
    if (h.nTreeWidth > 0) {
        const int total = m_splitter->width() > 0 ? m_splitter->width() : width();
        m_splitter->setSizes({h.nTreeWidth, std::max(1, total - h.nTreeWidth)});
    }
    m_project.nextSerial = h.nNextSerial;
    // Marks the file does not set are cleared: serials of another project
    // would jump to unrelated items.
    for (int k = 0; k < 3; ++k) {
        const ProjectMark& mark = h.marks[static_cast<std::size_t>(k)];
        if (mark.serial > 0)
            setMark(k, mark.serial, mark.text);
        else
            setMark(k, 0, defaultMarkText(k));
    }
}

PROJECTHEADER TfrmSheaf::currentHeader() const
{
    PROJECTHEADER h = m_project.header;
    const QRect g = isMaximized() && normalGeometry().isValid() ? normalGeometry() : geometry();
    h.nLeft = g.x();
    h.nTop = g.y();
    h.nWidth = g.width();
    h.nHeight = g.height();
    h.nTreeWidth = m_splitter->sizes().value(0);
    h.nNextSerial = m_project.nextSerial;
    for (int k = 0; k < 3; ++k) {
        const int serial = m_markButtons[k]->property("tag").toInt();
        h.marks[static_cast<std::size_t>(k)] = {serial > 0 ? serial : 0, sj(m_markButtons[k]->toolTip())};
    }
    return h;
}

void TfrmSheaf::actFileSaveAllExecute()
{
    if (m_project.paths.projectPath.empty())
        return;
    actFileSaveExecute();
    BusyCursor busy;
    m_project.header = currentHeader();
    try {
        m_project.save();
    } catch (const SheafError& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSheaf::actFileSaveAsExecute()
{
    if (m_project.paths.projectPath.empty())
        return; // there is no folder to save into
    const auto answer = interaction().inputText(this, u8("名前を付けて保存"), u8("新しい SHF3 ファイル名（拡張子は不要）"),
                                                QStringLiteral("Temp"));
    if (!answer)
        return;
    try {
        const std::string path = newProjectPath(folderPart(m_project.paths.projectPath), sj(*answer));
        m_project.paths.projectPath = path;
        actFileSaveAllExecute();
        m_project.paths = SetProjectPaths(path);
        takeLock();
        CreateDesktopShortcut(path);
        SetCaption(path);
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSheaf::CreateDesktopShortcut(const std::string& projectPath)
{
    const QString target = nativePath(projectPath);
    if (!QFileInfo::exists(target))
        return;
    CShortcutLink link;
    link.TargetFile = target;
    link.WorkingDirectory = QFileInfo(target).absolutePath();
    link.CreateLink(this);
}

} // namespace sheaf::ui
