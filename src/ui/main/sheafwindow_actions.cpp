// The main window's commands: actions with their shortcuts, the menu bar and the tool bar.
#include "main/sheafwindow.h"

#include "common/aboutbox.h"
#include "common/icons.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "main/pageeditor.h"
#include "print/setprinterdialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace sheaf::ui {

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

} // namespace sheaf::ui
