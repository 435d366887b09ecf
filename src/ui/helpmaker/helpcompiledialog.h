#pragma once
// The compile dialog of the help maker: checks the pages, writes the help
// project files and runs the help compiler, then proves the result.
#include "project/filedata.h"

#include <QDialog>

#include <string>

class QLineEdit;
class QStatusBar;

namespace sheaf::ui {

class CHtmlHelp;
class StatusPanel;

class TfrmHelpCompile : public QDialog {
    Q_OBJECT
public:
    // items: the project's items in tree order.
    TfrmHelpCompile(QWidget* parent, CHtmlHelp* help, std::string projectPath, std::string htmlFolder,
                    std::string iniPath, const ItemList& items);
    ~TfrmHelpCompile() override;

    // The whole generation of the compile button.
    void btnDoClick();
    QString statusText() const;

private:
    void btnFileClick();
    void setStatus(const QString& text);

    CHtmlHelp* m_help;
    std::string m_projectPath;
    std::string m_htmlFolder;
    std::string m_iniPath;
    const ItemList& m_items;
    QLineEdit* m_compiler;
    QLineEdit* m_helpFileName;
    QStatusBar* m_status;
    StatusPanel* m_panels[3] = {};
};

} // namespace sheaf::ui
