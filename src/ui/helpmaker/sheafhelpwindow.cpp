#include "helpmaker/sheafhelpwindow.h"

#include "common/aboutbox.h"
#include "common/busycursor.h"
#include "common/error.h"
#include "common/fsutil.h"
#include "common/icons.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/settingspath.h"
#include "common/sjis.h"
#include "common/windowposition.h"
#include "helpmaker/helpcompiledialog.h"
#include "helpmaker/helpproject.h"
#include "main/outlinemodel.h"
#include "main/statuspanels.h"
#include "project/createtree.h"
#include "project/project.h"
#include "project/projectlock.h"
#include "project/shffile.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

namespace sheaf::ui {

TfrmSheafhelp::TfrmSheafhelp()
{
    setObjectName(QStringLiteral("frmSheafhelp"));
    setWindowTitle(QStringLiteral("Sheafhelp3"));
    m_iniPath = settingsIniPath();
    m_help.HelpFile(helpFilePath());

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeView(splitter);
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_model = new OutlineModel(m_outline, this);
    m_tree->setModel(m_model);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &TfrmSheafhelp::treeSelectionChanged);
    m_grid = new QTableWidget(0, 2, splitter);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setHorizontalHeaderLabels({u8("キーワード１"), u8("キーワード２")});
    m_grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_grid);
    splitter->setSizes({201, 399});
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new StatusPanel(statusBar(), false);
        statusBar()->addWidget(m_panels[i], i == 0 ? 1 : 0);
        if (i > 0)
            m_panels[i]->setFixedWidth(i == 1 ? 160 : 150);
    }

    createActions();
    connect(m_grid, &QTableWidget::itemSelectionChanged, this, &TfrmSheafhelp::updateActions);
    updateActions();
    CFormPosition(m_iniPath).ReadFormPosition(this, "FormPosition", "SheafhelpForm", 100, 100, 600, 400);
}

TfrmSheafhelp::~TfrmSheafhelp()
{
    m_tree->setModel(nullptr);
    delete m_model;
}

QAction* TfrmSheafhelp::makeAction(const char* name, const char* caption, const QKeySequence& shortcut)
{
    auto* a = new QAction(u8(caption), this);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    addAction(a);
    m_actions.insert(a->objectName(), a);
    return a;
}

void TfrmSheafhelp::createActions()
{
    const auto on = [this](QAction* a, auto slot) { connect(a, &QAction::triggered, this, slot); };
    on(makeAction("actFileOpen", "既存の SHF3 ファイルを開く(&O)..."), [this] {
        const QString chosen = interaction().openFile(this, u8(".shf3 ファイルを選択してください"), QString(),
                                                      QStringLiteral("*.shf3"), u8("SHF3 ファイル|*.shf3|すべてのファイル|*.*"));
        if (!chosen.isEmpty())
            openProject(corePath(chosen));
    });
    on(makeAction("actFileSave", "SHF3 ファイルを上書き保存(&S)"), [this] { saveKeywords(); });
    on(makeAction("actFileExit", "終了(&X)"), [this] { close(); });
    on(makeAction("actEditCopy", "コピー(&C)", QKeySequence(QStringLiteral("Ctrl+Alt+C"))), [this] { copyKeywords(); });
    on(makeAction("actEditPaste", "貼り付け(&P)", QKeySequence(QStringLiteral("Ctrl+Alt+V"))), [this] { pasteKeywords(); });
    on(makeAction("actEditClear", "すべてのキーワードを消去(&L)"), [this] { clearKeywords(); });
    on(makeAction("actEditKeyword", "キーワードを設定(&K)"), [this] { setKeywords(); });
    on(makeAction("actExecute", "コンパイル(&D)..."), [this] { compile(); });
    on(makeAction("actHelpHelp", "ヘルプ(&H)..."), [this] { m_help.ShowTopic(this, QStringLiteral("html/P0000156.htm")); });
    on(makeAction("actHelpVersion", "バージョン情報(&V)..."), [this] {
        TfrmAboutBox box(this, QStringLiteral("Sheafhelp"), QStringLiteral("Help Maker for Sheaf3"));
        interaction().execDialog(box);
    });
    const auto expand = [this](bool open) {
        const QModelIndex index = m_tree->currentIndex();
        if (index.isValid())
            m_tree->setExpanded(index, open);
    };
    on(makeAction("actExpand", "現在のノードを開く"), [expand] { expand(true); });
    on(makeAction("actCollapse", "現在のノードを閉じる"), [expand] { expand(false); });
    on(makeAction("actCollapseAll", "すべてのノードを閉じる"), [this] {
        for (int row = 0; row < m_model->rowCount(); ++row)
            m_tree->setExpanded(m_model->index(row, 0), false);
    });
    for (const char* name : {"actExpand", "actCollapse", "actCollapseAll"})
        m_tree->addAction(action(QString::fromLatin1(name)));

    QMenu* file = menuBar()->addMenu(u8("ファイル(&F)"));
    file->addAction(action(QStringLiteral("actFileOpen")));
    file->addAction(action(QStringLiteral("actFileSave")));
    file->addSeparator();
    file->addAction(action(QStringLiteral("actFileExit")));
    QMenu* edit = menuBar()->addMenu(u8("編集(&E)"));
    for (const char* name : {"actEditCopy", "actEditPaste", "actEditClear"})
        edit->addAction(action(QString::fromLatin1(name)));
    edit->addSeparator();
    edit->addAction(action(QStringLiteral("actEditKeyword")));
    edit->addAction(action(QStringLiteral("actExecute")));
    QMenu* helpMenu = menuBar()->addMenu(u8("ヘルプ(&H)"));
    helpMenu->addAction(action(QStringLiteral("actHelpHelp")));
    helpMenu->addAction(action(QStringLiteral("actHelpVersion")));

    QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setIconSize(QSize(16, 16));
    const struct {
        const char* action;
        const char* icon;
        const char* badge;
    } icons[] = {{"actFileOpen", "document-open", "O"}, {"actFileSave", "document-save", "S"},
                 {"actEditCopy", "edit-copy", "C"},     {"actEditPaste", "edit-paste", "P"},
                 {"actEditKeyword", "insert-text", "K"}, {"actExecute", "system-run", "D"}};
    for (const auto& entry : icons) {
        QAction* a = action(QString::fromLatin1(entry.action));
        a->setToolTip(a->text().remove(QLatin1Char('&')));
        a->setIcon(toolIcon(entry.icon, QString::fromLatin1(entry.badge)));
    }
    bar->addAction(action(QStringLiteral("actFileOpen")));
    bar->addAction(action(QStringLiteral("actFileSave")));
    bar->addSeparator();
    bar->addAction(action(QStringLiteral("actEditCopy")));
    bar->addAction(action(QStringLiteral("actEditPaste")));
    bar->addSeparator();
    bar->addAction(action(QStringLiteral("actEditKeyword")));
    bar->addAction(action(QStringLiteral("actExecute")));
}

void TfrmSheafhelp::updateActions()
{
    const bool open = !m_projectPath.empty();
    action(QStringLiteral("actFileSave"))->setEnabled(open);
    action(QStringLiteral("actEditKeyword"))->setEnabled(open);
    action(QStringLiteral("actExecute"))->setEnabled(open);
    const bool rows = open && topSelectedRow() >= 0;
    action(QStringLiteral("actEditCopy"))->setEnabled(rows);
    action(QStringLiteral("actEditPaste"))->setEnabled(rows);
}

int TfrmSheafhelp::topSelectedRow() const
{
    const auto ranges = m_grid->selectedRanges();
    if (ranges.isEmpty())
        return m_grid->currentRow();
    int top = ranges.front().topRow();
    for (const auto& r : ranges)
        top = std::min(top, r.topRow());
    return top;
}

int TfrmSheafhelp::bottomSelectedRow() const
{
    const auto ranges = m_grid->selectedRanges();
    if (ranges.isEmpty())
        return m_grid->currentRow();
    int bottom = ranges.front().bottomRow();
    for (const auto& r : ranges)
        bottom = std::max(bottom, r.bottomRow());
    return bottom;
}

void TfrmSheafhelp::closeProject()
{
    m_tree->setModel(nullptr);
    m_outline.clear();
    m_items.clear();
    m_tree->setModel(m_model);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &TfrmSheafhelp::treeSelectionChanged,
            Qt::UniqueConnection);
    m_grid->setRowCount(0);
    m_projectPath.clear();
    m_htmlFolder.clear();
    m_panels[0]->setText({});
    updateActions();
}

void TfrmSheafhelp::openProject(const std::string& path)
{
    BusyCursor busy;
    closeProject();
    // The main program with this project open is only worth a warning: the
    // keywords it does not touch.
    if (ProjectLock::liveOwner(path))
        interaction().message(this, MessageKind::Confirmation,
                              u8("同じ SHF3 ファイルを対象として、Sheaf3 が起動中ですが、Sheaf3 を終了することをおすすめします。"),
                              Ok, Ok);
    if (extensionLower(path) != ".shf3") {
        interaction().message(this, MessageKind::Confirmation, u8("SHF3 ファイルではありません。"), Ok, Ok);
        return;
    }
    try {
        checkProjectFile(path);
        ItemList items;
        CReadSHFFile reader(items, path);
        // A project that was not read whole is never opened: saving it would cut it short.
        if (!reader.ReadFile(true)) {
            showError(this, qs(reader.errorMessage()));
            return;
        }
        if (items.empty()) {
            showError(this, QStringLiteral("CCreateTree:Execute error"));
            return;
        }
        m_items = std::move(items);
        if (const auto warning = CCreateTree(m_outline).Execute(m_items))
            showWarning(this, qs(*warning));
        m_projectPath = path;
        m_htmlFolder = projectPathsFor(path).htmlFolder;
        fs::makeDirectories(m_htmlFolder);
    } catch (const std::exception& e) {
        showError(this, u8("actFileOpenExecute error\n") + qs(e.what()));
        closeProject();
        return;
    }
    m_panels[0]->setText(nativePath(path));
    if (!m_outline.empty())
        m_tree->setCurrentIndex(m_model->indexOf(m_outline.nodeAt(0)));
    setKeywords();
    updateActions();
}

void TfrmSheafhelp::setKeywords()
{
    if (m_projectPath.empty())
        return;
    m_grid->setRowCount(static_cast<int>(m_items.size()));
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const FILEDATA& item = *m_items[i];
        const int row = static_cast<int>(i);
        m_grid->setItem(row, 0, new QTableWidgetItem(qs(item.sKeyword1.empty() ? item.sTitle : item.sKeyword1)));
        m_grid->setItem(row, 1, new QTableWidgetItem(qs(item.sKeyword2)));
    }
    saveKeywords();
}

bool TfrmSheafhelp::saveKeywords()
{
    if (m_projectPath.empty())
        return false;
    BusyCursor busy;
    const auto cell = [this](int row, int column) {
        const QTableWidgetItem* item = m_grid->item(row, column);
        return item ? sj(item->text()) : std::string();
    };
    // The records change only once the file is written: a failed save keeps
    // the grid as it is and can be repeated.
    ItemList updated;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        auto copy = std::make_unique<FILEDATA>(*m_items[i]);
        copy->sKeyword1 = cell(static_cast<int>(i), 0);
        copy->sKeyword2 = cell(static_cast<int>(i), 1);
        updated.push_back(std::move(copy));
    }
    try {
        rewriteKeepingHeader(m_projectPath, updated);
    } catch (const SheafError& e) {
        showError(this, qs(e.what()));
        return false;
    }
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        m_items[i]->sKeyword1 = updated[i]->sKeyword1;
        m_items[i]->sKeyword2 = updated[i]->sKeyword2;
    }
    return true;
}

void TfrmSheafhelp::copyKeywords()
{
    const int top = topSelectedRow();
    if (top < 0)
        return;
    for (int row = top; row <= bottomSelectedRow(); ++row) {
        const QTableWidgetItem* first = m_grid->item(row, 0);
        m_grid->setItem(row, 1, new QTableWidgetItem(first ? first->text() : QString()));
    }
}

void TfrmSheafhelp::pasteKeywords()
{
    const QString text = QApplication::clipboard()->text();
    const int top = topSelectedRow();
    if (text.isEmpty() || top < 0)
        return;
    if (sj(text).size() > 40 &&
        interaction().message(this, MessageKind::Confirmation, u8("キーワードが長いですが、そのまま設定しますか？"), Yes | No,
                              No) != Yes)
        return;
    for (int row = top; row <= bottomSelectedRow(); ++row)
        m_grid->setItem(row, 0, new QTableWidgetItem(text));
}

void TfrmSheafhelp::clearKeywords()
{
    for (int row = 0; row < m_grid->rowCount(); ++row)
        for (int column = 0; column < 2; ++column)
            m_grid->setItem(row, column, new QTableWidgetItem(QString()));
    saveKeywords();
}

void TfrmSheafhelp::compile()
{
    if (m_projectPath.empty())
        return;
    if (interaction().message(this, MessageKind::Confirmation,
                              u8("すべてのファイルの HTML 化は済んでいますか？\nまだであれば、Sheaf3 の機能を使って実行してください。"),
                              Yes | No, No) != Yes)
        return;
    if (!saveKeywords())
        return;
    TfrmHelpCompile dialog(this, &m_help, m_projectPath, m_htmlFolder, m_iniPath, m_items);
    interaction().execDialog(dialog);
}

void TfrmSheafhelp::treeSelectionChanged()
{
    const OutlineNode* node = m_model->nodeOf(m_tree->currentIndex());
    if (!node)
        return;
    // The item's keywords about half a page below the top of the grid.
    const int row = static_cast<int>(m_outline.indexOf(node));
    const int rowHeight = std::max(1, m_grid->verticalHeader()->defaultSectionSize());
    const int visible = m_grid->viewport()->height() / rowHeight;
    const int top = row + 1 > visible / 2 ? row + 1 - visible / 2 : 0;
    if (m_grid->rowCount() > 0) {
        m_grid->verticalScrollBar()->setValue(std::min(top, m_grid->verticalScrollBar()->maximum()));
        m_grid->setCurrentCell(row, 0);
    }
}

void TfrmSheafhelp::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    m_panels[0]->setFixedWidth(std::max(50, width() - 300));
    // The grid has its new size once the layout has run.
    QTimer::singleShot(0, this, [this] {
        const int column = std::max(20, (m_grid->viewport()->width() - 4) / 2);
        m_grid->setColumnWidth(0, column);
        m_grid->setColumnWidth(1, column);
    });
}

void TfrmSheafhelp::closeEvent(QCloseEvent* e)
{
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "FormPosition", "SheafhelpForm");
    } catch (const std::exception& ex) {
        showError(this, qs(ex.what()));
    }
    QMainWindow::closeEvent(e);
}

} // namespace sheaf::ui
