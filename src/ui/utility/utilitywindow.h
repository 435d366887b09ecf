#pragma once
// The maintenance utility's window: six tabs over project files on disk.
#include "common/htmlhelp.h"
#include "project/filedata.h"

#include <QMainWindow>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;

namespace sheaf::ui {

class StatusPanel;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    TfrmMain();
    ~TfrmMain() override;

    QTabWidget* pages() const { return m_pages; }
    QTreeWidget* listView() const { return m_list; }
    const ItemList& items() const { return m_items; }

    // The tab's project check and button states (also run when a tab is chosen).
    void pageChanged(int index);
    void btnListupDoClick();
    void btnCheckFileClick();
    void btnCheckSerialClick();
    void nextMarked();
    void sortByColumn(int column);
    void btnSerialDoClick();
    void btnSplitDoClick();
    void btnDelDoClick();
    void btnTag2DoClick();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QWidget* buildProjectTab();
    QWidget* buildListTab();
    QWidget* buildSerialTab();
    QWidget* buildSplitTab();
    QWidget* buildDeleteTab();
    QWidget* buildTag2Tab();
    QLineEdit* edit(QWidget* parent, const char* name);
    QPushButton* button(QWidget* parent, const char* name, const char* caption);
    bool checkProject();
    bool mayChange(const std::string& projectPath);
    void showState();
    void confirm(const QString& text);
    void focusField(const std::string& name);
    QLineEdit* field(const char* name) const;
    // Selects the items of the duplicate groups and says what was found.
    void showDuplicates(const std::vector<std::vector<std::size_t>>& groups, const char* nextButton, const QString& found,
                        const QString& none);

    std::string m_iniPath;
    CHtmlHelp m_help;
    ItemList m_items;
    std::array<bool, 11> m_descending{};
    int m_nextMark = 0;
    QTabWidget* m_pages = nullptr;
    QTreeWidget* m_list = nullptr;
    StatusPanel* m_panels[3] = {};
};

} // namespace sheaf::ui
