// Page file commands of the main window: reading files in as items, moving
// the page files of a branch, reading a page from a file and renaming a page file.
#include "main/sheafwindow.h"

#include "common/busycursor.h"
#include "common/error.h"
#include "common/fsutil.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "main/pageeditor.h"
#include "project/pagefilecommands.h"
#include "project/pagefiles.h"

#include <QDir>

namespace sheaf::ui {

void TfrmSheaf::actFileReadInExecute()
{
    const auto stop = [this] { showWarning(this, u8("ファイルの読み込みを中止します")); };
    const QStringList chosen = interaction().openFiles(this, u8("読み込むファイルを指定してください"), QString(),
                                                       QStringLiteral("*.txt"), u8("TXT ファイル|*.txt|すべてのファイル|*.*"));
    if (chosen.isEmpty()) {
        stop();
        return;
    }
    if (interaction().message(this, MessageKind::Confirmation,
                              QString::number(chosen.size()) + u8(" 個のファイルをページファイルとして読み込みます。"),
                              Ok | Cancel, Ok) != Ok) {
        stop();
        return;
    }
    std::vector<std::string> paths;
    try {
        for (const QString& c : chosen)
            paths.push_back(corePath(c));
    } catch (const std::exception& e) {
        showWarning(this, qs(e.what()));
        return;
    }
    paths = sortedNoCase(std::move(paths));
    if (!selectedNode()) {
        showWarning(this, u8("追加する位置のノードを選択してください"));
        return;
    }
    BusyCursor busy;
    try {
        for (const std::string& path : paths) {
            const int level = m_project.outline.depth(selectedNode());
            ++m_project.nextSerial;
            const std::size_t index = AddItemRecord(m_project.items, level, path, m_project.nextSerial);
            ShowPagePath(path, m_project.nextSerial);
            InsertItemNode(index);
            // The new item must be the one shown before its page is loaded and saved
            // (the insertion or leaving the last item may have failed, and said so).
            if (!selectedNode() || selectedNode()->data != m_project.items[index].get())
                return;
            LoadPage(path);
            actFileSaveExecute();
        }
    } catch (const std::exception& e) {
        showWarning(this, qs(e.what()));
    }
}

void TfrmSheaf::actFileMoveExecute()
{
    if (!CheckProject())
        return;
    OutlineNode* node = selectedNode();
    if (!node)
        return;
    if (m_project.outline.children(node).empty()) {
        showWarning(this, u8("子ノードを持たないページの場合は「ページファイル名を変更する」を使ってください"));
        return;
    }
    const IniFile ini(m_iniPath);
    const std::string start = ini.readString("Customize", "FileMoveDestFolder", corePath(QDir::homePath()));
    const QString chosen = interaction().chooseFolder(this, u8("移動先のディレクトリを指定してください。"), nativePath(start));
    if (chosen.isEmpty())
        return;
    BusyCursor busy;
    try {
        const std::string folder = corePath(chosen);
        ini.writeString("Customize", "FileMoveDestFolder", shortenFolder(folder));
        // The page being shown is written first: it moves with the others.
        if (!leaveItem(node))
            return;
        const BranchMove moved = movePageFilesOfBranch(m_project.outline, node, folder);
        ShowPagePath(node->data->sFileName, node->data->nSerial);
        QString report;
        if (!moved.kept.empty()) {
            report += u8("移動先に同じ名前の、ほかの項目のページファイルがあるため、次の項目は移動しませんでした:");
            for (const FILEDATA* item : moved.kept)
                report += QStringLiteral("\n    ") + qs(item->sTitle) + QStringLiteral(" (") + qs(item->sFileName) + QLatin1Char(')');
        }
        for (const auto& [item, message] : moved.failed)
            report += (report.isEmpty() ? QString() : QStringLiteral("\n\n")) + qs(message);
        if (!report.isEmpty())
            showWarning(this, report);
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("actFileMoveExecute: ") + qs(e.what()));
    }
}

void TfrmSheaf::actPop2ReadFromFileExecute()
{
    OutlineNode* node = selectedNode();
    if (!node)
        return;
    const QString chosen =
        interaction().openFile(this, QString(), QString(), QString(), u8("テキストファイル|*.txt|すべてのファイル|*.*"));
    if (chosen.isEmpty())
        return;
    try {
        const std::string path = corePath(chosen);
        LoadPage(path);
        ShowPagePath(path, node->data->nSerial);
        m_editorText->setModified(true);
        actFileSaveExecute();
        actFileSaveAllExecute();
        node->data->sFileName = path;
        node->data->sKeyword1.clear();
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSheaf::actPop2ChangeFileNameExecute()
{
    OutlineNode* node = selectedNode();
    if (!node)
        return;
    const std::string oldPath = node->data->sFileName;
    const QString chosen = interaction().saveFile(this, u8("ページファイル名を変更する"),
                                                  nativePath(folderPart(m_project.paths.projectPath)),
                                                  nativePath(oldPath), u8("テキストファイル|*.txt|すべてのファイル|*.*"), QString());
    if (chosen.isEmpty())
        return;
    try {
        const std::string newPath = corePath(chosen);
        if (newPath == oldPath)
            return;
        if (interaction().message(this, MessageKind::Confirmation,
                                  qs(fileNamePart(oldPath)) + u8(" を ") + qs(fileNamePart(newPath)) + u8(" に変更します。"),
                                  Ok | Cancel, Ok) != Ok)
            return;
        // The text on screen is what the page holds from now on.
        QString error;
        if (!writePageFile(*node->data, &error))
            throw SheafError(sj(error));
        if (fs::exists(oldPath))
            movePageFile(oldPath, newPath);
        node->data->sFileName = newPath;
        ShowPagePath(newPath, node->data->nSerial);
    } catch (const std::exception& e) {
        showError(this, u8("ファイル名の変更に失敗しました\n") + qs(e.what()));
    }
}

} // namespace sheaf::ui
