// The script tool runner and the external text editor.
#include "main/sheafwindow.h"

#include "common/busycursor.h"
#include "common/fsutil.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/settingspath.h"
#include "common/shell.h"
#include "common/sjis.h"
#include "main/pageeditor.h"
#include "search/searchdialog.h"
#include "tools/tooldialog.h"

#include <QCoreApplication>
#include <QProcess>

namespace sheaf::ui {

void TfrmSheaf::actToolPerlExecute()
{
    if (!CheckProject())
        return;
    OutlineNode* node = selectedNode();
    if (!node)
        return;
    {
        BusyCursor busy;
        actFileSaveAllExecute();
    }
    TfrmTool::Setup setup;
    setup.help = &m_help;
    setup.iniPath = m_iniPath;
    // The program's folder is not writable once installed: the response file
    // lives beside the settings.
    setup.responsePath = fs::fromNative(settingsFolder() + "/Response.txt");
    setup.outline = &m_project.outline;
    setup.selected = m_project.outline.indexOf(node);
    TfrmTool dialog(this, setup);
    if (interaction().execDialog(dialog) == mrCancel)
        return;
    try {
        ReloadPage();
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSheaf::actToolTextEditorExecute()
{
    OutlineNode* node = selectedNode();
    if (!node)
        return;
    try {
        const QStringList command = textEditorCommand(nativePath(node->data->sFileName));
        if (command.isEmpty()) {
            showWarning(this, u8(".txt に関連付けられた実行プログラムはありません"));
            return;
        }
        // What is on screen goes to the file first: the editor opens it.
        if (!actFileSaveExecute())
            return;
        QProcess editor;
        editor.setProgram(command.front());
        editor.setArguments(command.mid(1));
        editor.start();
        if (!editor.waitForStarted(-1)) {
            showError(this, u8("テキストエディタを起動できませんでした"));
            return;
        }
        // The window keeps painting while the editor runs; it takes no input.
        while (!editor.waitForFinished(100))
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        LoadPage(node->data->sFileName);
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("actToolTextEditorExecute() error:") + qs(e.what()));
    }
}

} // namespace sheaf::ui
