#pragma once
// The main window: the outline on the left, the page of the selected item on
// the right in three tabs (text, HTML, preview).
#include "common/colorset.h"
#include "common/htmlhelp.h"
#include "project/history.h"
#include "project/project.h"
#include "project/projectlock.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QKeyEvent;
class QListWidget;
class QPushButton;
class QListWidgetItem;
class QSplitter;
class QTabWidget;
class QToolButton;
class QTreeView;
class QModelIndex;

namespace sheaf::ui {

class OutlineModel;
class PageEditor;
class PreviewBrowser;
class StatusPanel;
class clsCustomizeEditor;
class TreeDragHandler;

class TfrmSheaf : public QMainWindow {
    Q_OBJECT
public:
    // args: the command line without the program name.
    explicit TfrmSheaf(const QStringList& args);
    ~TfrmSheaf() override;

    QAction* action(const QString& name) const { return m_actions.value(name); }
    Project& project() { return m_project; }
    const clsHistory& history() const { return m_history; }
    CHtmlHelp& helpObject() { return m_help; }
    const ColorSet& colors() const { return m_colors; }
    const QString& applicationTitle() const { return m_applicationTitle; }
    OutlineNode* selectedNode() const;
    // Selects the node (leaving the current item and entering the new one).
    void selectNode(OutlineNode* node);

    // Operations other parts of the window and the tests use.
    bool CheckProject();
    void SetCaption(const std::string& projectPath);
    void ShowPagePath(const std::string& path, std::int32_t serial);
    void ShowCaretPos(PageEditor* editor);
    void ShowTreeItemNumberToStatusBar();
    void SetHScroll(bool on);
    void LoadPage(const std::string& path);
    void ReloadPage();
    bool SavePage(std::size_t absoluteIndex, QString* error = nullptr);
    void SaveHtmlPage(OutlineNode* node);
    void SetTreeNodeCaption(OutlineNode* node);

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Construction (sheafwindow.cpp).
    void createWidgets();
    void createActions();
    void createMenus();
    void createToolBar();
    QAction* makeAction(const char* name, const char* caption, const QKeySequence& shortcut = {});
    void registerFileType();
    void actCustomizeExecute();
    void readWindowSettings();
    void writeWindowSettings();
    void layoutWindow();
    void showStartHint();
    // A note in status panel 0 that stays until another item is entered.
    void showPanelNote(const QString& note);

    // Project commands (sheafwindow_project.cpp).
    void actFileNewExecute();
    void actFileOpenExecute();
    void actFileSaveAllExecute();
    void actFileSaveAsExecute();
    void openProject(const std::string& path);
    bool confirmOpenDespiteLock(const std::string& path);
    bool confirmReplace(const std::string& projectPath);
    // Leaves the current item and offers to save a changed tree; false when
    // the current project must stay (its page could not be written).
    bool leaveForAnotherProject();
    bool treeChangedSinceSave() const;
    bool saveProjectFile();
    static QRect usableBounds(const QRect& stored);
    void applyHeader(const PROJECTHEADER& header);
    PROJECTHEADER currentHeader() const;
    void resetProjectView();
    void takeLock();
    void CreateDesktopShortcut(const std::string& projectPath);

    // Pages (sheafwindow_page.cpp).
    void currentNodeChanged(const QModelIndex& current, const QModelIndex& previous);
    // Writes the page of the item being left; false (after saying why) when
    // it cannot be written, and the item must stay selected.
    bool leaveItem(OutlineNode* node);
    void saveEditedHtml(OutlineNode* node);
    void enterItem(OutlineNode* node);
    void pageTabChanged(int index);
    void showHtmlTab();
    void showPreviewTab();
    bool actFileSaveExecute();
    void actFileSaveHtmlExecute();
    void actFileHtmlExecute();
    void actToolbarTagAExecute();
    void actShowHScrollExecute();
    void updateActions();
    void scheduleUpdate();
    void applyLineColouring();
    PageEditor* activeEditor() const;
    // Writes the text editor to the item's page file unless the file already
    // holds exactly that; false with *error set when it cannot be written.
    bool writePageFile(const FILEDATA& item, QString* error);

    // Editing commands and function keys (sheafwindow_editing.cpp).
    void sortSelection(bool descending);
    void joinSelection(bool withSpace);
    void caretToEnd(bool end);
    void indentSelection(bool tab, bool insert);
    void AssignFunctionKeys();
    void layoutFunctionKeys();
    void actShowKeyboardExecute();

public:
    // The 17 commands that function keys run, in index order.
    struct FunctionCommand {
        const char* shortName;
        const char* description;
        const char* action;
    };
    static const std::vector<FunctionCommand>& functionCommands();
    // The HTML tag names the customize dialog's preview colours, in order.
    static const std::vector<std::string>& tagNames();
    // Runs the command of function key F(key + 1), as its button or its key does.
    void runFunctionKey(int key, bool fromButton);

private:
    // Tools (sheafwindow_tools.cpp).
    void actToolPerlExecute();
    void actToolTextEditorExecute();

    // Reports and outputs (sheafwindow_outputs.cpp).
    void actFileSizeExecute();
    void writeOutput(int kind);

    // Page file commands (sheafwindow_pagefiles.cpp).
    void actFileReadInExecute();
    void actFileMoveExecute();
    void actPop2ReadFromFileExecute();
    void actPop2ChangeFileNameExecute();

    // Search (sheafwindow_search.cpp).
    void actSearchTextExecute();
    void lstSearchClicked(QListWidgetItem* item);
    void actSearchTreeExecute();
    void actSearchNextExecute();
    void pageSearchToTop();
    bool pageSearchKey(QKeyEvent* key);
    int caretIndexInLine() const;

public:
    // Selects the next item from start whose title holds text; answers where
    // the next search starts (0 after the end-of-search message).
    std::size_t FindNextTreeItem(std::size_t start, const std::string& text);

private:
    // Tree editing, history and marks (sheafwindow_tree.cpp).
    void actEditAddExecute();
    void actEditDeleteExecute();
    void moveSelected(bool (Outline::*move)(OutlineNode*));
    void actEditShowUpExecute();
    void actEditShowDownExecute();
    void toggleTag(int tag);
    void actPop1CollapseAllExecute();
    void actPop1ExpandExecute(bool expand);
    void actEditBackwardExecute();
    void actEditForwardExecute();
    void goToHistoryEntry(std::int32_t index);
    void toggleMark(int mark);
    void jumpToMark(int mark);
    void setMark(int mark, std::int32_t serial, const std::string& text);
    void syncHistoryActions();
    void resetHistory();
    void expandToNode(OutlineNode* node);
    void InsertItemNode(std::size_t itemIndex);

    friend class TreeDragHandler;

    std::string m_iniPath;
    Project m_project;
    bool m_openOnStart = false;
    std::vector<std::string> m_keywords;
    clsHistory m_history;
    ColorSet m_colors;
    ProjectLock m_lock;
    CHtmlHelp m_help;
    QString m_applicationTitle;
    bool m_updatePending = false;
    std::string m_shownPath; // panel 0, shortened again when the bar is resized
    QString m_panelNote;
    std::int32_t m_shownSerial = 0;
    bool m_inSelectionChange = false;
    bool m_pageLoaded = false;
    bool m_treeSearchActive = false;
    std::string m_treeSearchText;
    std::size_t m_treeSearchNext = 0;  // the editor holds the selected item's page
    std::string m_savedImage;   // the records as last read or saved

    QHash<QString, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
    QToolButton* m_markButtons[3] = {};
    QAction* m_markMenuItems[3] = {};
    QComboBox* m_cmbSearch = nullptr;
    QTabWidget* m_pageControl1 = nullptr;
    QTreeView* m_tree = nullptr;
    QListWidget* m_lstSearch = nullptr;
    QSplitter* m_splitter = nullptr;
    QTabWidget* m_pageControl2 = nullptr;
    PageEditor* m_editorText = nullptr;
    PageEditor* m_editorHtml = nullptr;
    PreviewBrowser* m_preview = nullptr;
    QWidget* m_funcKeyPanel = nullptr;
    QPushButton* m_funcButtons[12] = {};
    int m_functionKeys[12] = {};
    StatusPanel* m_panels[3] = {};
    OutlineModel* m_model = nullptr;
    std::unique_ptr<clsCustomizeEditor> m_customText;
    std::unique_ptr<clsCustomizeEditor> m_customHtml;
    std::unique_ptr<TreeDragHandler> m_drag;
};

} // namespace sheaf::ui
