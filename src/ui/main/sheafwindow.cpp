#include "main/sheafwindow.h"

#include "common/aboutbox.h"
#include "common/colors.h"
#include "common/fonts.h"
#include "common/icons.h"
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
#include "print/setprinterdialog.h"
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
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
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

QAction* TfrmSheaf::makeAction(const char* name, const char* caption, const QKeySequence& shortcut)
{
    auto* a = new QAction(u8(caption), this);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    addAction(a); // shortcuts work wherever the focus is in the window
    m_actions.insert(a->objectName(), a);
    return a;
}

void TfrmSheaf::createActions()
{
    const auto on = [this](QAction* a, void (TfrmSheaf::*slot)()) { connect(a, &QAction::triggered, this, slot); };

    on(makeAction("actFileNew", "SHF3 ファイルを新規作成(&N)..."), &TfrmSheaf::actFileNewExecute);
    on(makeAction("actFileOpen", "既存の .SHF ファイルを開く(&O)..."), &TfrmSheaf::actFileOpenExecute);
    on(makeAction("actFileSaveAll", "現在の SHF3 ファイルを上書き保存(&M)", QKeySequence(QStringLiteral("Ctrl+M"))),
       &TfrmSheaf::actFileSaveAllExecute);
    connect(makeAction("actFileSave", "編集中のページを上書き保存(&S)", QKeySequence(QStringLiteral("Ctrl+S"))),
            &QAction::triggered, this, [this] { actFileSaveExecute(); });
    on(makeAction("actFileSaveHtml", "編集中の HTML を上書き保存(&H)"), &TfrmSheaf::actFileSaveHtmlExecute);
    on(makeAction("actFileSaveAs", "SHF3 ファイルに名前を付けて保存(&A)..."), &TfrmSheaf::actFileSaveAsExecute);
    on(makeAction("actFileHtml", "すべてのファイルを HTML 化(&H)"), &TfrmSheaf::actFileHtmlExecute);
    on(makeAction("actFileReadIn", "複数のファイルを読み込む(&R)..."), &TfrmSheaf::actFileReadInExecute);
    on(makeAction("actFileMove", "複数のファイルを移動(&W)..."), &TfrmSheaf::actFileMoveExecute);
    connect(makeAction("actFileOutputTitle", "項目のタイトルを出力(&T)"), &QAction::triggered, this, [this] { writeOutput(0); });
    connect(makeAction("actFileOutputAll", "すべてのページ本文を出力(&A)"), &QAction::triggered, this, [this] { writeOutput(1); });
    connect(makeAction("actFileOutputPageList", "すべてのページのファイル名リストを出力(&P)"), &QAction::triggered, this,
            [this] { writeOutput(2); });
    on(makeAction("actFileSize", "ファイルの合計サイズを計算(&Z)..."), &TfrmSheaf::actFileSizeExecute);
    connect(makeAction("actFilePrint", "現在のページを印刷(&P)..."), &QAction::triggered, this, [this] {
        OutlineNode* node = selectedNode();
        if (!node)
            return;
        TfrmSetPrinter dialog(this, m_iniPath, node->data->sFileName, m_editorText->font());
        interaction().execDialog(dialog);
    });
    connect(makeAction("actFileExit", "終了(&X)", QKeySequence(QStringLiteral("Alt+F4"))), &QAction::triggered, this,
            &QWidget::close);

    connect(makeAction("actEditLeft", "項目を左に移動", QKeySequence(QStringLiteral("Alt+Left"))), &QAction::triggered,
            this, [this] { moveSelected(&Outline::moveLeft); });
    connect(makeAction("actEditRight", "項目を右に移動", QKeySequence(QStringLiteral("Alt+Right"))),
            &QAction::triggered, this, [this] { moveSelected(&Outline::moveRight); });
    connect(makeAction("actEditUp", "項目を上に移動", QKeySequence(QStringLiteral("Alt+Up"))), &QAction::triggered,
            this, [this] { moveSelected(&Outline::moveUp); });
    connect(makeAction("actEditDown", "項目を下に移動", QKeySequence(QStringLiteral("Alt+Down"))), &QAction::triggered,
            this, [this] { moveSelected(&Outline::moveDown); });
    on(makeAction("actEditShowUp", "上の項目を表示(&U)", QKeySequence(QStringLiteral("Ctrl+Up"))),
       &TfrmSheaf::actEditShowUpExecute);
    on(makeAction("actEditShowDown", "下の項目を表示(&W)", QKeySequence(QStringLiteral("Ctrl+Down"))),
       &TfrmSheaf::actEditShowDownExecute);
    on(makeAction("actEditBackward", "直前の項目に戻る"), &TfrmSheaf::actEditBackwardExecute);
    on(makeAction("actEditForward", "次の項目に移動する"), &TfrmSheaf::actEditForwardExecute);
    on(makeAction("actEditAdd", "項目を下に追加", QKeySequence(QStringLiteral("Ctrl+N"))), &TfrmSheaf::actEditAddExecute);
    on(makeAction("actEditDelete", "項目を削除", QKeySequence(QStringLiteral("Ctrl+Del"))),
       &TfrmSheaf::actEditDeleteExecute);
    QAction* box = makeAction("actEditBoxMode", "ボックス選択モード(&B)");
    box->setCheckable(true);
    connect(box, &QAction::toggled, this, [this](bool checked) { m_editorText->setBoxSelection(checked); });

    connect(makeAction("actEditUndo", "編集内容を元に戻す(&Z)", QKeySequence(QStringLiteral("Ctrl+Z"))),
            &QAction::triggered, this, [this] { activeEditor()->undo(); });
    connect(makeAction("actEditCopy", "コピー(&C)", QKeySequence(QStringLiteral("Ctrl+C"))), &QAction::triggered, this,
            [this] { activeEditor()->copy(); });
    connect(makeAction("actEditCut", "切り取り(&X)", QKeySequence(QStringLiteral("Ctrl+X"))), &QAction::triggered, this,
            [this] { activeEditor()->cut(); });
    connect(makeAction("actEditPaste", "貼り付け(&V)", QKeySequence(QStringLiteral("Ctrl+V"))), &QAction::triggered,
            this, [this] {
                if (m_cmbSearch->lineEdit()->hasFocus() && !QApplication::clipboard()->text().isEmpty())
                    m_cmbSearch->lineEdit()->insert(QApplication::clipboard()->text());
                else
                    activeEditor()->paste();
            });
    connect(makeAction("actEditSelectAll", "すべて選択(&A)"), &QAction::triggered, this,
            [this] { m_editorText->selectAll(); });
    on(makeAction("actPop2ReadFromFile", "ファイルから読み込む(&F)..."), &TfrmSheaf::actPop2ReadFromFileExecute);
    on(makeAction("actPop2ChangeFileName", "ページファイル名を変更(&N)..."), &TfrmSheaf::actPop2ChangeFileNameExecute);
    const auto run = [this](QAction* a, auto fn) { connect(a, &QAction::triggered, this, fn); };
    run(makeAction("actPop2Sort1", "選択範囲を昇順 (A-Z) でソート(&A)"), [this] { sortSelection(false); });
    run(makeAction("actPop2Sort2", "選択範囲を降順 (Z-A) でソート(&Z)"), [this] { sortSelection(true); });
    run(makeAction("actPop2DeleteReturn0", "選択範囲の改行マークを削除(&U)"), [this] { joinSelection(false); });
    run(makeAction("actPop2DeleteReturn1", "同、1 スペースを含む(&1)"), [this] { joinSelection(true); });
    run(makeAction("actPop2StartPos", "キャレットを文頭に移動(&V)"), [this] { caretToEnd(false); });
    run(makeAction("actPop2EndPos", "キャレットを文末に移動(&W)"), [this] { caretToEnd(true); });
    run(makeAction("actPop2IndentTabInsert", "行頭に [Tab] を挿入(&B)", QKeySequence(QStringLiteral("Ctrl+Alt+I"))),
        [this] { indentSelection(true, true); });
    run(makeAction("actPop2IndentTabDelete", "行頭の [Tab] を削除(&T)", QKeySequence(QStringLiteral("Ctrl+Alt+U"))),
        [this] { indentSelection(true, false); });
    run(makeAction("actPop2IndentSpaceInsert", "行頭にスペースを挿入(&Y)", QKeySequence(QStringLiteral("Ctrl+I"))),
        [this] { indentSelection(false, true); });
    run(makeAction("actPop2IndentSpaceDelete", "行頭のスペースを削除(&X)", QKeySequence(QStringLiteral("Ctrl+U"))),
        [this] { indentSelection(false, false); });

    on(makeAction("actSearchTree", "ツリーの検索 (&S)...", QKeySequence(QStringLiteral("Ctrl+T"))),
       &TfrmSheaf::actSearchTreeExecute);
    on(makeAction("actSearchText", "文字列の検索・置換(&S)...", QKeySequence(QStringLiteral("Ctrl+R"))),
       &TfrmSheaf::actSearchTextExecute);
    // F3 reaches find-next through the function keys (its default assignment).
    on(makeAction("actSearchNext", "次の検索(&F)\tF3"), &TfrmSheaf::actSearchNextExecute);
    for (int k = 0; k < 12; ++k) {
        const QByteArray name = "funcKeyF" + QByteArray::number(k + 1);
        QAction* key = makeAction(name.constData(), name.constData(), QKeySequence(QStringLiteral("F%1").arg(k + 1)));
        connect(key, &QAction::triggered, this, [this, k] { runFunctionKey(k, false); });
    }
    QAction* pageSearch = makeAction("actToolbarSearch", "現ページ内の検索");
    pageSearch->setCheckable(true);
    connect(pageSearch, &QAction::toggled, this, [this] { applyLineColouring(); });
    connect(pageSearch, &QAction::triggered, this, [this] { pageSearchToTop(); });
    on(makeAction("actToolbarTagA", "<A タグを付加する"), &TfrmSheaf::actToolbarTagAExecute);

    for (const auto& [name, caption] : {std::pair{"actShowToolbar", "ツールバーを表示(&T)"},
                                        std::pair{"actShowStatusbar", "ステータスバーを表示(&S)"},
                                        std::pair{"actShowFuncKey", "ファンクションキーを表示(&F)"}}) {
        QAction* a = makeAction(name, caption);
        a->setCheckable(true);
        a->setChecked(true);
    }
    connect(action(QStringLiteral("actShowToolbar")), &QAction::toggled, this,
            [this](bool on) { m_toolBar->setVisible(on); });
    connect(action(QStringLiteral("actShowStatusbar")), &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
    connect(action(QStringLiteral("actShowFuncKey")), &QAction::toggled, this, [this](bool on) {
        m_funcKeyPanel->setVisible(on);
        layoutWindow();
    });
    QAction* hscroll = makeAction("actShowHScroll", "水平スクロールバーを有効にする");
    hscroll->setCheckable(true);
    connect(hscroll, &QAction::triggered, this, &TfrmSheaf::actShowHScrollExecute);
    on(makeAction("actShowKeyboard", "キーボードのショートカットを表示(&K)...", QKeySequence(QStringLiteral("Ctrl+/"))),
       &TfrmSheaf::actShowKeyboardExecute);
    on(makeAction("actToolPerl", "Perl を起動(&P)..."), &TfrmSheaf::actToolPerlExecute);
    on(makeAction("actToolTextEditor", "テキストエディタを起動(&E)..."), &TfrmSheaf::actToolTextEditorExecute);
    connect(makeAction("actHelp", "ヘルプ(&H)...", QKeySequence(QStringLiteral("Ctrl+H"))), &QAction::triggered, this,
            [this] { m_help.ShowTopic(this, QString()); });
    on(makeAction("actCustomize", "カスタマイズ(&C)..."), &TfrmSheaf::actCustomizeExecute);
    connect(makeAction("actVersion", "バージョン情報(&A)..."), &QAction::triggered, this, [this] {
        TfrmAboutBox box(this, QStringLiteral("Sheaf3"), QString());
        interaction().execDialog(box);
    });

    for (int tag = 1; tag <= 3; ++tag) {
        static const char* const names[] = {"actPop1Tag1", "actPop1Tag2", "actPop1Tag3"};
        static const char* const captions[] = {"タグ 1 をオン/オフ(&W)", "タグ 2 をオン/オフ(&X)", "タグ 3 をオン/オフ(&Y)"};
        QAction* a = makeAction(names[tag - 1], captions[tag - 1]);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, tag] { toggleTag(tag); });
    }
    on(makeAction("actPop1CollapseAll", "開いているノードをすべて閉じる(&Z)"), &TfrmSheaf::actPop1CollapseAllExecute);
    connect(makeAction("actPop1Expand", "現在のノードを開く", QKeySequence(QStringLiteral("Ctrl+Right"))),
            &QAction::triggered, this, [this] { actPop1ExpandExecute(true); });
    connect(makeAction("actPop1Collapse", "現在のノードを閉じる", QKeySequence(QStringLiteral("Ctrl+Left"))),
            &QAction::triggered, this, [this] { actPop1ExpandExecute(false); });
    for (int k = 0; k < 3; ++k) {
        static const char* const names[] = {"mnuPop1Mark1", "mnuPop1Mark2", "mnuPop1Mark3"};
        static const char* const captions[] = {"マーク #1 を設定・解除(&1)", "マーク #2 を設定・解除(&2)",
                                               "マーク #3 を設定・解除(&3)"};
        QAction* a = makeAction(names[k], captions[k]);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, k] { toggleMark(k); });
        m_markMenuItems[k] = a;
    }


    QList<QKeySequence> keys;
    for (QAction* a : std::as_const(m_actions))
        if (!a->shortcut().isEmpty())
            keys << a->shortcut();
    // Copy, cut, paste and undo stay the editor's own keys.
    for (const char* own : {"Ctrl+C", "Ctrl+X", "Ctrl+V", "Ctrl+Z"})
        keys.removeAll(QKeySequence(QString::fromLatin1(own)));
    m_editorText->setWindowShortcuts(keys);
    m_editorHtml->setWindowShortcuts(keys);
    for (const char* own : {"actEditCopy", "actEditCut", "actEditPaste", "actEditUndo"})
        action(QString::fromLatin1(own))->setShortcutContext(Qt::WidgetShortcut);
}

void TfrmSheaf::createMenus()
{
    const auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            if (n == nullptr)
                menu->addSeparator();
            else
                menu->addAction(action(QString::fromLatin1(n)));
        }
    };
    QMenu* file = menuBar()->addMenu(u8("ファイル(&F)"));
    add(file, {"actFileNew", "actFileOpen", "actFileSaveAll", "actFileSave", "actFileSaveHtml", "actFileSaveAs",
               nullptr, "actFileHtml", nullptr, "actFileReadIn", "actFileMove"});
    QMenu* output = file->addMenu(u8("ファイルに出力(&T)"));
    add(output, {"actFileOutputTitle", "actFileOutputAll", "actFileOutputPageList"});
    add(file, {"actFileSize", nullptr, "actFilePrint", nullptr, "actFileExit"});
    QMenu* edit = menuBar()->addMenu(u8("編集(&E)"));
    add(edit, {"actEditLeft", "actEditRight", "actEditUp", "actEditDown", nullptr, "actEditShowUp", "actEditShowDown",
               "actEditBackward", "actEditForward", nullptr, "actEditAdd", "actEditDelete", nullptr, "actEditBoxMode"});
    QMenu* search = menuBar()->addMenu(u8("検索(&S)"));
    add(search, {"actSearchTree", nullptr, "actSearchText", "actSearchNext"});
    QMenu* view = menuBar()->addMenu(u8("表示(&V)"));
    add(view, {"actShowToolbar", "actShowStatusbar", "actShowFuncKey", "actShowHScroll", nullptr, "actShowKeyboard"});
    QMenu* tools = menuBar()->addMenu(u8("ツール(&T)"));
    add(tools, {"actToolPerl", "actToolTextEditor"});
    QMenu* help = menuBar()->addMenu(u8("ヘルプ(&H)"));
    add(help, {"actHelp", nullptr, "actCustomize", nullptr, "actVersion"});

    for (const char* n : {"actPop1Tag1", "actPop1Tag2", "actPop1Tag3", "actPop1CollapseAll", "actPop1Expand",
                          "actPop1Collapse", "mnuPop1Mark1", "mnuPop1Mark2", "mnuPop1Mark3"})
        m_tree->addAction(action(QString::fromLatin1(n)));
    for (const char* n : {"actEditUndo", "actEditCopy", "actEditCut", "actEditPaste", "actEditSelectAll",
                          "actPop2ReadFromFile", "actPop2ChangeFileName", "actPop2Sort1", "actPop2Sort2",
                          "actPop2DeleteReturn0", "actPop2DeleteReturn1", "actPop2StartPos", "actPop2EndPos",
                          "actPop2IndentTabInsert", "actPop2IndentTabDelete", "actPop2IndentSpaceInsert",
                          "actPop2IndentSpaceDelete"})
        m_editorText->addAction(action(QString::fromLatin1(n)));
}

void TfrmSheaf::createToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("ToolBar1"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    const auto add = [this](std::initializer_list<const char*> names) {
        for (const char* n : names) {
            if (n == nullptr)
                m_toolBar->addSeparator();
            else
                m_toolBar->addAction(action(QString::fromLatin1(n)));
        }
    };
    // Icons on the buttons, so that the whole bar fits the default width;
    // the full caption is the tool tip.
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setIconSize(QSize(16, 16));
    const struct {
        const char* action;
        const char* icon;
        const char* badge;
    } icons[] = {
        {"actFileSaveAll", "document-save", "S"},   {"actFileSave", "document-edit", "P"},
        {"actFileSaveHtml", "text-html", "H"},      {"actFilePrint", "document-print", "Pr"},
        {"actEditLeft", "pan-start", "<"},          {"actEditRight", "pan-end", ">"},
        {"actEditUp", "pan-up", "^"},               {"actEditDown", "pan-down", "v"},
        {"actEditBackward", "go-previous", "<<"},   {"actEditForward", "go-next", ">>"},
        {"actEditAdd", "list-add", "+"},            {"actEditDelete", "list-remove", "-"},
        {"actSearchTree", "system-search", "T?"},   {"actSearchText", "edit-find-replace", "?"},
        {"actToolbarTagA", "insert-link", "A"},     {"actShowHScroll", "format-justify-fill", "="},
        {"actToolPerl", "utilities-terminal", "Pl"}, {"actToolbarSearch", "edit-find", "F"},
    };
    for (const auto& entry : icons) {
        QAction* a = action(QString::fromLatin1(entry.action));
        a->setToolTip(a->text().remove(QLatin1Char('&')));
        a->setIcon(toolIcon(entry.icon, QString::fromLatin1(entry.badge)));
    }
    add({"actFileSaveAll", "actFileSave", "actFileSaveHtml", "actFilePrint", nullptr, "actEditLeft", "actEditRight",
         "actEditUp", "actEditDown", nullptr, "actEditBackward", "actEditForward", "actEditAdd", "actEditDelete",
         nullptr, "actSearchTree", "actSearchText", "actToolbarTagA", "actShowHScroll", "actToolPerl", nullptr});
    for (int k = 0; k < 3; ++k) {
        auto* b = new QToolButton(m_toolBar);
        b->setObjectName(QStringLiteral("tbMark%1").arg(k + 1));
        b->setIcon(badgeIcon(QString::number(k + 1)));
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, [this, k] { jumpToMark(k); });
        m_toolBar->addWidget(b);
        m_markButtons[k] = b;
    }
    m_toolBar->addSeparator();
    // The tag buttons follow their commands' checked state but keep their own
    // short look: a default action would put its caption on the button.
    const char* const checks[][2] = {{"tbCheck1", "actPop1Tag1"}, {"tbCheck2", "actPop1Tag2"}, {"tbTag3", "actPop1Tag3"}};
    for (const auto& [button, name] : checks) {
        QAction* tag = action(QString::fromLatin1(name));
        auto* b = new QToolButton(m_toolBar);
        b->setObjectName(QString::fromLatin1(button));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIcon(badgeIcon(QStringLiteral("T") + QString::fromLatin1(name).right(1)));
        b->setToolTip(tag->text().remove(QLatin1Char('&')));
        connect(b, &QToolButton::clicked, tag, &QAction::trigger);
        connect(tag, &QAction::toggled, b, &QToolButton::setChecked);
        connect(tag, &QAction::changed, b, [b, tag] {
            b->setChecked(tag->isChecked());
            b->setEnabled(tag->isEnabled());
        });
        m_toolBar->addWidget(b);
    }
    m_toolBar->addSeparator();
    m_cmbSearch = new QComboBox(m_toolBar);
    m_cmbSearch->setObjectName(QStringLiteral("cmbSearch"));
    m_cmbSearch->setEditable(true);
    m_cmbSearch->setMinimumWidth(110);
    m_cmbSearch->setMaximumWidth(180);
    m_cmbSearch->setInsertPolicy(QComboBox::NoInsert);
    connect(m_cmbSearch, &QComboBox::editTextChanged, this, [this] { applyLineColouring(); });
    m_cmbSearch->lineEdit()->installEventFilter(this);
    m_toolBar->addWidget(m_cmbSearch);
    auto* searchButton = new QToolButton(m_toolBar);
    searchButton->setObjectName(QStringLiteral("tbSearchPage"));
    searchButton->setDefaultAction(action(QStringLiteral("actToolbarSearch")));
    m_toolBar->addWidget(searchButton);
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
