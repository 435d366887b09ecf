#pragma once
// The help maker's window: the outline beside a grid of two index keywords
// per item, saved into the project file, and the compile command.
#include "common/htmlhelp.h"
#include "project/filedata.h"
#include "project/outline.h"

#include <QHash>
#include <QMainWindow>

#include <memory>
#include <string>

class QTableWidget;
class QTreeView;

namespace sheaf::ui {

class OutlineModel;
class StatusPanel;

class TfrmSheafhelp : public QMainWindow {
    Q_OBJECT
public:
    TfrmSheafhelp();
    ~TfrmSheafhelp() override;

    QAction* action(const QString& name) const { return m_actions.value(name); }
    const ItemList& items() const { return m_items; }
    const std::string& projectPath() const { return m_projectPath; }
    QTableWidget* grid() const { return m_grid; }
    CHtmlHelp& helpObject() { return m_help; }

    // Opens a project as the open command does after its dialog.
    void openProject(const std::string& path);
    bool saveKeywords();
    void setKeywords();
    void copyKeywords();
    void pasteKeywords();
    void clearKeywords();
    void compile();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QAction* makeAction(const char* name, const char* caption, const QKeySequence& shortcut = {});
    void createActions();
    void updateActions();
    void closeProject();
    void treeSelectionChanged();
    int topSelectedRow() const;
    int bottomSelectedRow() const;

    std::string m_iniPath;
    std::string m_projectPath;
    std::string m_htmlFolder;
    ItemList m_items;
    Outline m_outline;
    CHtmlHelp m_help;
    QHash<QString, QAction*> m_actions;
    QTreeView* m_tree = nullptr;
    OutlineModel* m_model = nullptr;
    QTableWidget* m_grid = nullptr;
    StatusPanel* m_panels[3] = {};
};

} // namespace sheaf::ui
