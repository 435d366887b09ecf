#include "main/sheafwindow.h"

#include "common/colors.h"
#include "common/fonts.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/settingspath.h"
#include "common/shell.h"
#include "common/sjis.h"
#include "main/customizeeditor.h"
#include "main/linelexer.h"
#include "main/outlinemodel.h"
#include "main/pageeditor.h"
#include "main/previewbrowser.h"
#include "main/statuspanels.h"
#include "main/treedrag.h"
#include "settings/customizedialog.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace sheaf::ui {


TfrmSheaf::TfrmSheaf(const QStringList& args)
{
    setObjectName(QStringLiteral("frmSheaf"));
    setWindowTitle(QStringLiteral("Sheaf"));
    m_iniPath = settingsIniPath();
    m_help.HelpFile(helpFilePath());

    createWidgets();
    createActions();
    createMenus();
    createToolBar();

    // Command line: one optional project path.
    std::string startPath;
    if (args.isEmpty()) {
        setGeometry(100, 100, 870, 460);
    } else {
        try {
            startPath = corePath(QFileInfo(args.first()).absoluteFilePath());
        } catch (const std::exception& e) {
            showError(this, qs(e.what()));
        }
        std::string message;
        const std::string ext = extensionLower(startPath);
        if (startPath.empty()) {
        } else if (ext != ".shf" && ext != ".shf3") {
            showWarning(this, u8("Sheaf3 用ファイルではありません"));
            startPath.clear();
        } else if (!gCheckSHFFile(startPath, &message)) {
            if (!message.empty())
                showWarning(this, qs(message)); // the file could not be opened at all
            showWarning(this, u8("正しい Sheaf3 用ファイルではありません"));
            startPath.clear();
        }
    }

    m_history.Record(0);

    m_customText = std::make_unique<clsCustomizeEditor>(m_editorText, m_iniPath);
    m_customHtml = std::make_unique<clsCustomizeEditor>(m_editorHtml, m_iniPath);
    m_customText->ApplySettings(true);
    m_customHtml->ApplySettings(false);
    m_colors = ColorSet::load(IniFile(m_iniPath));

    for (int k = 0; k < 3; ++k)
        setMark(k, 0, defaultMarkText(k));
    syncHistoryActions();

    registerFileType();
    readWindowSettings();
    applyLineColouring();

    if (!startPath.empty()) {
        m_openOnStart = true;
        openProject(startPath);
    }
}

TfrmSheaf::~TfrmSheaf()
{
    // The model listens to the outline, which goes with m_project before the
    // window's children are deleted: the model must go first.
    m_drag.reset();
    m_tree->setModel(nullptr);
    delete m_model;
    m_model = nullptr;
}

void TfrmSheaf::createWidgets()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setChildrenCollapsible(false);

    m_pageControl1 = new QTabWidget(m_splitter);
    m_pageControl1->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl1->setTabPosition(QTabWidget::South);
    m_tree = new QTreeView(m_pageControl1);
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_tree->installEventFilter(this);
    m_model = new OutlineModel(m_project.outline, this);
    m_tree->setModel(m_model);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &TfrmSheaf::currentNodeChanged);
    connect(m_tree, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        if (OutlineNode* n = m_model->nodeOf(i))
            n->expanded = true;
    });
    connect(m_tree, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        if (OutlineNode* n = m_model->nodeOf(i))
            n->expanded = false;
    });
    m_pageControl1->addTab(m_tree, u8("ツリー表示"));
    m_lstSearch = new QListWidget(m_pageControl1);
    m_lstSearch->setObjectName(QStringLiteral("lstSearch"));
    m_pageControl1->addTab(m_lstSearch, u8("検索結果"));
    connect(m_lstSearch, &QListWidget::itemClicked, this, &TfrmSheaf::lstSearchClicked);

    m_pageControl2 = new QTabWidget(m_splitter);
    m_pageControl2->setObjectName(QStringLiteral("PageControl2"));
    m_pageControl2->setTabPosition(QTabWidget::South);
    m_editorText = new PageEditor(m_pageControl2, true);
    m_editorText->setObjectName(QStringLiteral("FEditorText"));
    m_editorText->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_editorHtml = new PageEditor(m_pageControl2, false);
    m_editorHtml->setObjectName(QStringLiteral("FEditorHtml"));
    m_preview = new PreviewBrowser(m_pageControl2);
    m_preview->setObjectName(QStringLiteral("wbPreview"));
    m_pageControl2->addTab(m_editorText, u8("テキスト"));
    m_pageControl2->addTab(m_editorHtml, QStringLiteral("HTML"));
    m_pageControl2->addTab(m_preview, u8("プレビュ"));
    connect(m_pageControl2, &QTabWidget::currentChanged, this, &TfrmSheaf::pageTabChanged);

    m_splitter->addWidget(m_pageControl1);
    m_splitter->addWidget(m_pageControl2);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({180, 690});
    layout->addWidget(m_splitter, 1);

    // The function-key bar; its buttons come with the function-key commands.
    m_funcKeyPanel = new QWidget(central);
    m_funcKeyPanel->setObjectName(QStringLiteral("Panel1"));
    for (int k = 0; k < 12; ++k) {
        m_funcButtons[k] = new QPushButton(m_funcKeyPanel);
        m_funcButtons[k]->setObjectName(QStringLiteral("btnFuncKey%1").arg(k + 1));
        m_funcButtons[k]->setFocusPolicy(Qt::NoFocus);
        connect(m_funcButtons[k], &QPushButton::clicked, this, [this, k] { runFunctionKey(k, true); });
    }
    layout->addWidget(m_funcKeyPanel);
    setCentralWidget(central);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new StatusPanel(statusBar(), i > 0);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        statusBar()->addWidget(m_panels[i], i == 0 ? 1 : 0);
        if (i > 0)
            m_panels[i]->setFixedWidth(100);
    }

    for (PageEditor* editor : {m_editorText, m_editorHtml}) {
        connect(editor, &PageEditor::caretMoved, this, [this, editor] { ShowCaretPos(editor); });
        connect(editor, &QsciScintilla::textChanged, this, &TfrmSheaf::scheduleUpdate);
        connect(editor, &QsciScintilla::modificationChanged, this, &TfrmSheaf::scheduleUpdate);
        connect(editor, &QsciScintilla::selectionChanged, this, &TfrmSheaf::scheduleUpdate);
    }
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TfrmSheaf::scheduleUpdate);

    m_drag = std::make_unique<TreeDragHandler>(this, m_tree, m_model);
}

void TfrmSheaf::actCustomizeExecute()
{
    if (!CheckProject())
        return;
    TfrmCustomize::Setup setup;
    setup.iniPath = m_iniPath;
    setup.htmlIniPath = m_project.paths.htmlIniPath;
    setup.imagesFolder = m_project.paths.imagesFolder;
    setup.help = &m_help;
    setup.keywords = m_keywords;
    setup.colors = &m_colors;
    TfrmCustomize dialog(this, setup);
    const bool applied = interaction().execDialog(dialog) == QDialog::Accepted;
    try {
        // The text editor shows the new font, margins and colours at once;
        // the colour set may have changed even when the dialog was cancelled.
        if (applied) {
            m_customText->ApplySettings(true);
            SetHScroll(action(QStringLiteral("actShowHScroll"))->isChecked());
        }
        const IniFile ini(m_iniPath);
        m_tree->setFont(makeFont(qs(ini.readString("Customize", "TreeFontName", "MS UI Gothic")),
                                 ini.readInteger("Customize", "TreeFontSize", 10)));
        m_model->setTag3Color(toQColor(m_colors[ColorSet::Tag3Fore]));
        applyLineColouring();
        layoutWindow();
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSheaf::registerFileType()
{
    CExtAssociate assoc;
    assoc.Extension = QStringLiteral(".shf3");
    assoc.FileType = QStringLiteral("duvoror.shf3");
    assoc.Description = QStringLiteral("Sheaf3 Project");
    assoc.Application = QCoreApplication::applicationFilePath();
    bool ok = false;
    try {
        ok = assoc.Associate(this);
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
    if (!ok)
        showWarning(this, u8("拡張子の関連付けに成功しませんでした"));
}

void TfrmSheaf::readWindowSettings()
{
    const IniFile ini(m_iniPath);
    QPalette treePalette = m_tree->palette();
    treePalette.setColor(QPalette::Base, toQColor(ini.readColor("Customize", "TreeBackColor", colors::clWindow)));
    treePalette.setColor(QPalette::Text, toQColor(ini.readColor("Customize", "TreeForeColor", colors::clWindowText)));
    m_tree->setPalette(treePalette);
    m_tree->setFont(makeFont(qs(ini.readString("Customize", "TreeFontName", "MS UI Gothic")),
                             ini.readInteger("Customize", "TreeFontSize", 10)));

    const bool toolbar = ini.readBool("Customize", "ShowMenuToolbar", true);
    const bool statusbar = ini.readBool("Customize", "ShowMenuStatusbar", true);
    const bool funcKeys = ini.readBool("Customize", "ShowMenuFuncKey", true);
    action(QStringLiteral("actShowToolbar"))->setChecked(toolbar);
    action(QStringLiteral("actShowStatusbar"))->setChecked(statusbar);
    action(QStringLiteral("actShowFuncKey"))->setChecked(funcKeys);
    m_toolBar->setVisible(toolbar);
    statusBar()->setVisible(statusbar);
    m_funcKeyPanel->setVisible(funcKeys);
    AssignFunctionKeys();

    m_keywords.clear();
    for (auto& kv : ini.readSectionValues("Keyword"))
        m_keywords.push_back(std::move(kv.second));

    for (const auto& kv : ini.readSectionValues("SearchPage"))
        if (!kv.second.empty())
            m_cmbSearch->addItem(qs(kv.second));
    if (m_cmbSearch->count() > 0)
        m_cmbSearch->setCurrentIndex(0);
    else
        m_cmbSearch->setEditText(QString());

    m_model->setTag3Color(toQColor(m_colors[ColorSet::Tag3Fore]));
}

void TfrmSheaf::writeWindowSettings()
{
    const IniFile ini(m_iniPath);
    ini.writeBool("Customize", "ShowMenuToolbar", action(QStringLiteral("actShowToolbar"))->isChecked());
    ini.writeBool("Customize", "ShowMenuStatusbar", action(QStringLiteral("actShowStatusbar"))->isChecked());
    ini.writeBool("Customize", "ShowMenuFuncKey", action(QStringLiteral("actShowFuncKey"))->isChecked());
    if (m_project.paths.projectPath.empty())
        return;
    ini.eraseSection("SearchPage");
    for (int i = 0; i < m_cmbSearch->count() && i < 20; ++i)
        ini.writeString("SearchPage", std::to_string(i), sj(m_cmbSearch->itemText(i)));
}

void TfrmSheaf::layoutWindow()
{
    try {
        layoutFunctionKeys();
        m_panels[0]->setFixedWidth(std::max(50, width() - 200));
        if (!m_panelNote.isEmpty())
            m_panels[0]->setText(m_panelNote);
        else if (!m_shownPath.empty())
            ShowPagePath(m_shownPath, m_shownSerial);
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("FormResize: ") + qs(e.what()));
    }
}

void TfrmSheaf::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    layoutWindow();
}

void TfrmSheaf::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    try {
        if (m_project.paths.projectPath.empty()) {
            showStartHint();
            return;
        }
        m_pageControl1->setCurrentIndex(0);
        ShowCaretPos(m_editorText);
        ShowTreeItemNumberToStatusBar();
        m_editorText->setFocus();
        m_editorText->setCursorPosition(0, 0);
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("FormShow: ") + qs(e.what()));
    }
}

void TfrmSheaf::showStartHint()
{
    m_editorText->setPageBytes(
        sjis::sj("メニュー [ファイル] の [SHF3 ファイルを新規作成] または [既存の SHF3 ファイルを開く] を選択してください。"));
}

void TfrmSheaf::SetCaption(const std::string& projectPath)
{
    if (projectPath.empty()) {
        setWindowTitle(QStringLiteral("Temp - Sheaf3"));
        m_applicationTitle = QStringLiteral("Temp");
    } else {
        const QString name = qs(BaseName(projectPath));
        setWindowTitle(name + QStringLiteral(" - Sheaf3"));
        m_applicationTitle = name;
    }
}

void TfrmSheaf::ShowTreeItemNumberToStatusBar()
{
    try {
        OutlineNode* node = selectedNode();
        const std::size_t index = node ? m_project.outline.indexOf(node) + 1 : 0;
        m_panels[2]->setText(QStringLiteral("%1 / %2").arg(index).arg(m_project.outline.size()));
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("ShowTreeItemNumberToStatusBar() Error:") + qs(e.what()));
    }
}

void TfrmSheaf::showPanelNote(const QString& note)
{
    m_panelNote = note;
    m_panels[0]->setText(note);
}

void TfrmSheaf::ShowPagePath(const std::string& path, std::int32_t serial)
{
    m_shownPath = path;
    m_shownSerial = serial;
    const QFontMetrics fm(font());
    const QString shortened = shortenPathToWidth(qs(path), fm, m_panels[0]->width() - 50);
    m_panels[0]->setText(shortened + QString::asprintf(" (%.5d)", serial));
}

void TfrmSheaf::ShowCaretPos(PageEditor* editor)
{
    m_panels[1]->setText(QStringLiteral("%1 : %2").arg(editor->caretRow() + 1).arg(editor->caretColumn() + 1));
}

bool TfrmSheaf::CheckProject()
{
    if (!m_project.items.empty() && !m_project.paths.projectPath.empty())
        return true;
    showWarning(this, u8("SHF3 ファイルを読み込んでください。"));
    return false;
}

void TfrmSheaf::closeEvent(QCloseEvent* e)
{
    // Closing saves everything. Only a page that cannot be written holds the
    // window open, and only when the writer says so: that text exists nowhere else.
    try {
        if (!m_project.paths.projectPath.empty()) {
            saveEditedHtml(selectedNode());
            if (!actFileSaveExecute() &&
                interaction().message(this, MessageKind::Confirmation,
                                      u8("編集中のページを保存できませんでした。保存せずに終了しますか？"), Yes | No,
                                      No) != Yes) {
                e->ignore();
                return;
            }
            saveProjectFile();
        }
    } catch (const std::exception& ex) {
        showError(this, qs(ex.what()));
    }
    try {
        writeWindowSettings();
    } catch (const std::exception& ex) {
        showError(this, qs(ex.what()));
    }
    m_lock.release();
    QMainWindow::closeEvent(e);
}

} // namespace sheaf::ui
