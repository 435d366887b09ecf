#pragma once
// The script tool runner: registers an interpreter and scripts, and runs a
// script over the page files of a range of items.
#include "project/outline.h"
#include "tools/toolsettings.h"

#include <QDialog>

#include <string>

class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;

namespace sheaf::ui {

class CHtmlHelp;

class TfrmTool : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        CHtmlHelp* help = nullptr;
        std::string iniPath;
        std::string responsePath; // Response.txt in the settings folder
        const Outline* outline = nullptr;
        std::size_t selected = 0;
    };
    TfrmTool(QWidget* parent, Setup setup);
    ~TfrmTool() override;

    void btnAddClick();
    void btnModifyClick();
    void btnDeleteClick();
    void btnDoClick();
    const std::vector<tools::APPSDATA>& scripts() const { return m_settings.scripts; }

protected:
    void done(int result) override;

private:
    void fillList(QListWidget* list);
    bool commentHasQuote();

    Setup m_setup;
    tools::ToolSettings m_settings;
    QTabWidget* m_pages;
    QListWidget* m_list;
    QListWidget* m_reg;
    QRadioButton* m_range[3];
    QLineEdit* m_script;
    QLineEdit* m_comment;
    QLineEdit* m_tool;
};

} // namespace sheaf::ui
