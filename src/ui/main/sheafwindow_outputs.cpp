// Reports and text outputs of the main window.
#include "main/sheafwindow.h"

#include "common/busycursor.h"
#include "common/interaction.h"
#include "common/progressbar.h"
#include "common/qtext.h"
#include "reports/outputs.h"
#include "tools/filesizereport.h"

#include <QStatusBar>

namespace sheaf::ui {

void TfrmSheaf::actFileSizeExecute()
{
    if (!CheckProject())
        return;
    std::vector<std::string> lines;
    {
        BusyCursor busy;
        CProgressBar progress(statusBar(), 1);
        progress.Start(0, static_cast<int>(m_project.outline.children(nullptr).size()), 1);
        lines = reports::sizeReport(m_project.outline);
    }
    TfrmFileSizeReport report(this, m_project.paths.projectPath, m_iniPath, lines);
    interaction().execDialog(report);
}

void TfrmSheaf::writeOutput(int kind)
{
    if (!CheckProject())
        return;
    BusyCursor busy;
    try {
        // The page on screen is part of the output.
        actFileSaveExecute();
        const std::string path =
            reports::writeOutput(m_project.paths.projectPath, m_project.outline, static_cast<reports::Output>(kind));
        showPanelNote(u8("出力しました: ") + nativePath(path));
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

} // namespace sheaf::ui
