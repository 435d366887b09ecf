// Project commands of the main window: new, open, save, save as.
#include "main/sheafwindow.h"

#include "common/busycursor.h"
#include "common/error.h"
#include "common/fsutil.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/shell.h"
#include "common/sjis.h"
#include "main/newprojectdialog.h"
#include "main/outlinemodel.h"
#include "main/pageeditor.h"
#include "main/statuspanels.h"
#include "project/createtree.h"
#include "project/pagefiles.h"
#include "project/projectlock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

namespace sheaf::ui {


bool TfrmSheaf::confirmOpenDespiteLock(const std::string& path)
{
    const auto owner = ProjectLock::liveOwner(path);
    if (!owner)
        return true;
    return interaction().message(this, MessageKind::Confirmation,
                                 qs(lockHeldMessage(*owner)) +
                                     u8("\n同時に編集すると、互いのページやツリーの変更を上書きしてしまいます。\nそれでも開きますか？"),
                                 Yes | No, No) == Yes;
}

void TfrmSheaf::takeLock()
{
    const std::string& path = m_project.paths.projectPath;
    const auto previous = ProjectLock::owner(path);
    const bool live = ProjectLock::liveOwner(path).has_value();
    // What an interrupted write left behind goes, unless another program may
    // be writing right now.
    if (!live)
        m_project.removeTemporaries();
    // The note stands in panel 0 until the next page path replaces it.
    if (!m_lock.acquire(path))
        showPanelNote(u8("ロックファイルを作成できませんでした: ") + nativePath(ProjectLock::lockPath(path)));
    else if (previous && !live)
        showPanelNote(u8("終了したプログラムのロックを引き継ぎました（") + qs(previous->describe()) + u8("）"));
}

bool TfrmSheaf::treeChangedSinceSave() const
{
    return !m_project.paths.projectPath.empty() && m_project.recordsImage() != m_savedImage;
}

bool TfrmSheaf::leaveForAnotherProject()
{
    if (m_project.paths.projectPath.empty())
        return true;
    if (OutlineNode* node = selectedNode(); node && !leaveItem(node))
        return false; // the page could not be written: stay with it
    if (treeChangedSinceSave() &&
        interaction().message(this, MessageKind::Confirmation,
                              u8("現在の SHF3 ファイルのツリーは変更されています。保存しますか？"), Yes | No, Yes) == Yes)
        return saveProjectFile();
    return true;
}

bool TfrmSheaf::confirmReplace(const std::string& projectPath)
{
    if (!fs::exists(projectPath))
        return true;
    return interaction().message(this, MessageKind::Confirmation,
                                 u8("SHF3 ファイル\n") + nativePath(projectPath) + u8("\nはすでにあります。置き換えますか？"),
                                 Yes | No, No) == Yes;
}

void TfrmSheaf::resetProjectView()
{
    m_inSelectionChange = true;
    m_project.outline.clear();
    ClearItemList(m_project.items);
    m_inSelectionChange = false;
    m_pageLoaded = false;
    m_lstSearch->clear();
    resetHistory();
}

void TfrmSheaf::actFileNewExecute()
{
    TfrmNewProject dialog(this, m_iniPath, TfrmNewProject::defaultFolder());
    const bool accepted = interaction().execDialog(dialog) == QDialog::Accepted;
    if (accepted) {
        try {
            const std::string path = corePath(dialog.projectPath());
            if (!confirmReplace(path))
                return;
            if (!m_project.paths.projectPath.empty()) {
                if (OutlineNode* node = selectedNode(); node && !leaveItem(node))
                    return;
                actFileSaveAllExecute();
            }
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
    m_openOnStart = false;
    // Nothing is created and nothing of the open project is touched before the
    // file is known to be a project that can be read whole.
    try {
        checkProjectFile(path);
    } catch (const SheafError& e) {
        showError(this, qs(e.what()));
        return;
    }
    if (!confirmOpenDespiteLock(path) || !leaveForAnotherProject())
        return;

    OpenResult opened;
    m_inSelectionChange = true;
    try {
        opened = m_project.open(path);
    } catch (const SheafError& e) {
        m_inSelectionChange = false;
        showError(this, qs(e.what()));
        return;
    }
    m_inSelectionChange = false;
    m_pageLoaded = false;
    m_lstSearch->clear();
    resetHistory();
    applyHeader(m_project.header);
    m_savedImage = m_project.recordsImage();
    if (opened.treeWarning)
        showWarning(this, qs(*opened.treeWarning));
    if (!m_project.outline.empty())
        selectNode(m_project.outline.nodeAt(0));
    takeLock();
    SetCaption(path);
    m_editorText->setBoxSelection(false);
    action(QStringLiteral("actEditBoxMode"))->setChecked(false);
    layoutWindow();
}

void TfrmSheaf::applyHeader(const PROJECTHEADER& h)
{
    m_project.header = h;
    setGeometry(usableBounds(QRect(h.nLeft, h.nTop, h.nWidth, h.nHeight)));
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

QRect TfrmSheaf::usableBounds(const QRect& stored)
{
    // Bounds of zeros (a project made by the command) or of a screen that is
    // no longer there give the default window.
    const QRect fallback(100, 100, 870, 460);
    if (stored.width() < 100 || stored.height() < 100)
        return fallback;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(stored);
        if (seen.width() >= 50 && seen.height() >= 50)
            return stored;
    }
    return fallback;
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
    saveProjectFile();
}

bool TfrmSheaf::saveProjectFile()
{
    BusyCursor busy;
    m_project.header = currentHeader();
    try {
        m_project.save();
        m_savedImage = m_project.recordsImage();
        return true;
    } catch (const SheafError& e) {
        showError(this, qs(e.what()));
        return false;
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
        if (const auto owner = ProjectLock::liveOwner(path)) {
            showWarning(this, qs(lockHeldMessage(*owner)));
            return;
        }
        if (path != m_project.paths.projectPath && !confirmReplace(path))
            return;
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
