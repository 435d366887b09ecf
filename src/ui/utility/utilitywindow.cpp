#include "utility/utilitywindow.h"

#include "common/busycursor.h"
#include "common/error.h"
#include "common/fsutil.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/progressbar.h"
#include "common/qtext.h"
#include "common/settingspath.h"
#include "common/sjis.h"
#include "common/text.h"
#include "common/windowposition.h"
#include "main/statuspanels.h"
#include "project/projectlock.h"
#include "project/shffile.h"
#include "utility/itemlisting.h"
#include "utility/maintenance.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace sheaf::ui {
namespace {

const char* const kColumns[] = {"タイトル", "番号", "シリアル番号", "レベル", "タグ１", "タグ２", "タグ３",
                                "ファイルサイズ", "ファイル名", "パス", "ファイル日付"};

} // namespace

TfrmMain::TfrmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Sheafutil3"));
    m_iniPath = settingsIniPath();
    m_help.HelpFile(helpFilePath());

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(buildProjectTab(), u8("SHF3 ファイル"));
    m_pages->addTab(buildListTab(), u8("ファイルの一覧"));
    m_pages->addTab(buildSerialTab(), u8("ファイル名の調整"));
    m_pages->addTab(buildSplitTab(), u8("ファイルの分割"));
    m_pages->addTab(buildDeleteTab(), u8("不要ファイルを削除"));
    m_pages->addTab(buildTag2Tab(), u8("タグ２の調整"));
    setCentralWidget(m_pages);
    connect(m_pages, &QTabWidget::currentChanged, this, &TfrmMain::pageChanged);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new StatusPanel(statusBar(), false);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        statusBar()->addWidget(m_panels[i], i == 0 ? 1 : 0);
        if (i > 0)
            m_panels[i]->setFixedWidth(160);
    }
    connect(field("edtShfFileName"), &QLineEdit::textChanged, m_panels[0],
            &StatusPanel::setText);

    QMenu* file = menuBar()->addMenu(u8("ファイル(&F)"));
    file->addAction(u8("終了(&X)"), this, &QWidget::close);
    QMenu* helpMenu = menuBar()->addMenu(u8("ヘルプ(&H)"));
    helpMenu->addAction(u8("ヘルプ(&H)"), this, [this] { m_help.ShowTopic(this, QStringLiteral("html/d0000033.htm")); });

    CFormPosition(m_iniPath).ReadFormPosition(this, "Sheafutil", "FormPosition", 100, 100, 620, 400);
}

TfrmMain::~TfrmMain() = default;

QLineEdit* TfrmMain::edit(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QPushButton* TfrmMain::button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(u8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QWidget* TfrmMain::buildProjectTab()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(u8("操作対象の SHF3 ファイル"), page), 0, 0, 1, 2);
    QLineEdit* path = edit(page, "edtShfFileName");
    layout->addWidget(path, 1, 0);
    auto* browse = button(page, "btnShfFile", "...");
    layout->addWidget(browse, 1, 1);
    auto* note = new QLabel(u8("[ファイルの分割] する場合は、SHF3 ファイルを選択する必要はありません。"), page);
    note->setWordWrap(true);
    layout->addWidget(note, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    connect(browse, &QPushButton::clicked, this, [this, path] {
        const QString chosen = interaction().openFile(this, QString(), QString(), QStringLiteral("*.shf3"),
                                                      u8("SHF3 ファイル|*.shf3|すべてのファイル|*.*"));
        if (!chosen.isEmpty())
            path->setText(chosen);
    });
    return page;
}

QWidget* TfrmMain::buildListTab()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    m_list = new QTreeWidget(page);
    m_list->setObjectName(QStringLiteral("lvListup"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    QStringList headers;
    for (const char* c : kColumns)
        headers << u8(c);
    m_list->setHeaderLabels(headers);
    const QFontMetrics fm(font());
    const int widths[] = {100,
                          fm.horizontalAdvance(QStringLiteral("#####")) + 12,
                          fm.horizontalAdvance(u8("シリアル番号")) + 16,
                          fm.horizontalAdvance(u8("レベル")) + 16,
                          fm.horizontalAdvance(u8("タグ１")) + 16,
                          fm.horizontalAdvance(u8("タグ２")) + 16,
                          fm.horizontalAdvance(u8("タグ３")) + 16,
                          fm.horizontalAdvance(QStringLiteral("MMMMMMMM")) + 8,
                          fm.horizontalAdvance(QStringLiteral("55555555.555")) + 12,
                          200,
                          fm.horizontalAdvance(QStringLiteral("2001/12/31 12:34:56")) + 12};
    for (int c = 0; c < 11; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_list->header()->setSectionsClickable(true);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &TfrmMain::sortByColumn);
    layout->addWidget(m_list, 1);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(u8("項目数"), page));
    QLineEdit* count = edit(page, "edtListupNumber");
    count->setReadOnly(true);
    count->setMaximumWidth(80);
    row->addWidget(count);
    auto* listup = button(page, "btnListupDo", "ファイルのリストアップ");
    auto* checkFile = button(page, "btnCheckFile", "ファイル名のチェック");
    auto* checkSerial = button(page, "btnCheckSerial", "シリアル番号のチェック");
    auto* nextFile = new QToolButton(page);
    nextFile->setObjectName(QStringLiteral("sbtnFile"));
    auto* nextSerial = new QToolButton(page);
    nextSerial->setObjectName(QStringLiteral("sbtnSerial"));
    for (QToolButton* b : {nextFile, nextSerial}) {
        b->setText(QStringLiteral("▼"));
        b->setToolTip(u8("次の選択項目を表示する"));
        b->setEnabled(false);
        connect(b, &QToolButton::clicked, this, &TfrmMain::nextMarked);
    }
    row->addWidget(listup);
    row->addWidget(checkFile);
    row->addWidget(nextFile);
    row->addWidget(checkSerial);
    row->addWidget(nextSerial);
    row->addStretch();
    layout->addLayout(row);
    connect(listup, &QPushButton::clicked, this, &TfrmMain::btnListupDoClick);
    connect(checkFile, &QPushButton::clicked, this, &TfrmMain::btnCheckFileClick);
    connect(checkSerial, &QPushButton::clicked, this, &TfrmMain::btnCheckSerialClick);
    return page;
}

QWidget* TfrmMain::buildSerialTab()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(u8("SHF3 ファイル（[SHF3 ファイル] タブで選択済み）"), page), 0, 0, 1, 2);
    layout->addWidget(edit(page, "edtSerialFileName"), 1, 0, 1, 2);
    layout->addWidget(new QLabel(u8("現在の状況"), page), 2, 0, 1, 2);
    const std::pair<const char*, const char*> state[] = {
        {"含まれるファイル数", "edtSerialFileNum"}, {"現在のシリアル番号", "edtSerialNum"}, {"シリアルの最小値・最大値", "edtMaxSerial"}};
    int row = 3;
    for (const auto& [label, name] : state) {
        layout->addWidget(new QLabel(u8(label), page), row, 0);
        QLineEdit* e = edit(page, name);
        e->setReadOnly(name != std::string("edtSerialFileNum"));
        layout->addWidget(e, row++, 1);
    }
    layout->addWidget(new QLabel(u8("条件の設定"), page), row++, 0, 1, 2);
    layout->addWidget(new QLabel(u8("ファイル名のプリフィックス"), page), row, 0);
    layout->addWidget(edit(page, "edtPrefix"), row++, 1);
    layout->addWidget(new QLabel(u8("シリアルの開始番号 (1 ～ 9999,999)"), page), row, 0);
    QLineEdit* start = edit(page, "edtStartSerial");
    start->setText(QStringLiteral("1"));
    layout->addWidget(start, row++, 1);
    auto* run = button(page, "btnSerialDo", "ファイル名の調整を実行");
    run->setEnabled(false);
    layout->addWidget(run, row++, 1);
    layout->setRowStretch(row, 1);
    connect(run, &QPushButton::clicked, this, &TfrmMain::btnSerialDoClick);
    return page;
}

QWidget* TfrmMain::buildSplitTab()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(u8("操作対象のテキストファイル"), page), 0, 0, 1, 2);
    QLineEdit* file = edit(page, "edtSplitFileName");
    layout->addWidget(file, 1, 0);
    auto* browse = button(page, "btnSplitFile", "...");
    browse->setToolTip(u8("ファイル選択ダイアログを表示する"));
    layout->addWidget(browse, 1, 1);
    layout->addWidget(new QLabel(u8("分割のキーワード"), page), 2, 0, 1, 2);
    QLineEdit* keyword = edit(page, "edtSplitKeyword");
    keyword->setText(QStringLiteral("@@"));
    layout->addWidget(keyword, 3, 0);
    layout->addWidget(new QLabel(u8("ファイル名のプリフィックス"), page), 4, 0, 1, 2);
    layout->addWidget(edit(page, "edtSplitPrefix"), 5, 0);
    auto* note = new QLabel(
        u8("プリフィックスは 4 文字以内の英数字を指定してください。プリフィックスに続いて、1 からの追番でファイル名をつけます。"
           "たとえば、プリフィックスとして、VA を指定した場合は、VA000001.txt となります。なお、プリフィックスとして、P は使えません。"),
        page);
    note->setObjectName(QStringLiteral("Label17"));
    note->setWordWrap(true);
    layout->addWidget(note, 6, 0, 1, 2);
    auto* run = button(page, "btnSplitDo", "ファイルの分割を実行");
    layout->addWidget(run, 7, 0);
    layout->setRowStretch(8, 1);
    connect(browse, &QPushButton::clicked, this, [this, file] {
        const QString chosen = interaction().openFile(this, QString(), QString(), QStringLiteral("*.txt"),
                                                      u8("テキストファイル|*.txt|すべてのファイル|*.*"));
        if (!chosen.isEmpty())
            file->setText(chosen);
    });
    connect(run, &QPushButton::clicked, this, &TfrmMain::btnSplitDoClick);
    return page;
}

QWidget* TfrmMain::buildDeleteTab()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(u8("チェック対象のフォルダ"), page), 0, 0, 1, 2);
    QLineEdit* folder = edit(page, "edtDelFolderName");
    layout->addWidget(folder, 1, 0);
    auto* browse = button(page, "btnDelFolder", "...");
    browse->setToolTip(u8("フォルダ選択ダイアログを表示する"));
    layout->addWidget(browse, 1, 1);
    layout->addWidget(new QLabel(u8("SHF3 ファイル（[SHF3 ファイル] タブで選択済み）"), page), 2, 0, 1, 2);
    layout->addWidget(edit(page, "edtDelFileName"), 3, 0, 1, 2);
    auto* run = button(page, "btnDelDo", "不要ファイルの削除を実行");
    run->setEnabled(false);
    layout->addWidget(run, 4, 0);
    layout->setRowStretch(5, 1);
    connect(browse, &QPushButton::clicked, this, [this, folder] {
        const QString chosen = interaction().chooseFolder(this, u8("チェック対象のフォルダ"), QDir::rootPath());
        if (!chosen.isEmpty())
            folder->setText(chosen);
    });
    connect(run, &QPushButton::clicked, this, &TfrmMain::btnDelDoClick);
    return page;
}

QWidget* TfrmMain::buildTag2Tab()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(u8("タグ２を変更する側の SHF3 ファイル（[SHF3 ファイル] タブで指定済み）"), page), 0, 0, 1, 2);
    layout->addWidget(edit(page, "edtTag2FileName1"), 1, 0, 1, 2);
    layout->addWidget(new QLabel(u8("チェックの基準とする SHF3 ファイル"), page), 2, 0, 1, 2);
    QLineEdit* second = edit(page, "edtTag2FileName2");
    layout->addWidget(second, 3, 0);
    auto* browse = button(page, "btnTag2File2", "...");
    browse->setToolTip(u8("ファイル選択ダイアログを表示する"));
    layout->addWidget(browse, 3, 1);
    auto* run = button(page, "btnTag2Do", "タグ２の調整を実行");
    run->setEnabled(false);
    layout->addWidget(run, 4, 0);
    layout->setRowStretch(5, 1);
    connect(browse, &QPushButton::clicked, this, [this, second] {
        const QString chosen = interaction().openFile(this, QString(), QString(), QStringLiteral("*.shf3"),
                                                      u8("SHF3 ファイル|*.shf3|すべてのファイル|*.*"));
        if (!chosen.isEmpty())
            second->setText(chosen);
    });
    connect(run, &QPushButton::clicked, this, &TfrmMain::btnTag2DoClick);
    return page;
}

void TfrmMain::confirm(const QString& text) { interaction().message(this, MessageKind::Confirmation, text, Ok, Ok); }

bool TfrmMain::checkProject()
{
    const QString path = field("edtShfFileName")->text();
    if (path.isEmpty()) {
        confirm(u8("SHF3 ファイルを選択してください。"));
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        confirm(u8("指定の SHF3 ファイルは存在しません"));
        return false;
    }
    return true;
}

bool TfrmMain::mayChange(const std::string& projectPath)
{
    // The same check as the main program's: another program with the
    // project open would overwrite what is changed here.
    const auto owner = ProjectLock::liveOwner(projectPath);
    return !owner || interaction().message(this, MessageKind::Confirmation,
                                           qs(lockHeldMessage(*owner)) + u8("\nそれでも実行しますか？"), Yes | No, No) == Yes;
}

void TfrmMain::pageChanged(int index)
{
    const auto enable = [this](const char* name, bool on) { findChild<QPushButton*>(QString::fromLatin1(name))->setEnabled(on); };
    const QString path = field("edtShfFileName")->text();
    switch (index) {
    case 1: {
        const bool ok = checkProject();
        for (const char* name : {"btnListupDo", "btnCheckFile", "btnCheckSerial"})
            enable(name, ok);
        break;
    }
    case 2: {
        const bool ok = checkProject();
        enable("btnSerialDo", ok);
        if (ok) {
            field("edtSerialFileName")->setText(path);
            showState();
        }
        break;
    }
    case 4: {
        const bool ok = checkProject();
        enable("btnDelDo", ok);
        if (ok)
            field("edtDelFileName")->setText(path);
        break;
    }
    case 5: {
        const bool ok = checkProject();
        enable("btnTag2Do", ok);
        if (ok)
            field("edtTag2FileName1")->setText(path);
        break;
    }
    default:
        break;
    }
}

void TfrmMain::showState()
{
    BusyCursor busy;
    try {
        const auto state = utility::projectState(corePath(field("edtSerialFileName")->text()));
        field("edtSerialFileNum")->setText(QString::number(state.itemCount));
        field("edtSerialNum")->setText(QString::number(state.nextSerial));
        field("edtMaxSerial")->setText(qs(state.serialRange));
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmMain::btnListupDoClick()
{
    BusyCursor busy;
    m_items.clear();
    m_list->clear();
    const std::string path = corePath(field("edtShfFileName")->text());
    std::string message;
    if (!gCheckSHFFile(path, &message)) {
        if (!message.empty())
            showError(this, qs(message));
        confirm(u8("指定の SHF3 ファイルは正しいファイルではありません。"));
        return;
    }
    std::size_t position = 0;
    try {
        CReadSHFFile reader(m_items, path, CReadSHFFile::Flavor::Utility);
        if (!reader.ReadFile(isCurrentLayoutPath(path)))
            showError(this, qs(reader.errorMessage()));
        CProgressBar progress(statusBar(), 1);
        progress.Start(0, static_cast<int>(m_items.size()), 1);
        const auto rows = listItems(m_items);
        std::optional<std::size_t> lastMissing;
        m_list->setUpdatesEnabled(false);
        QList<QTreeWidgetItem*> entries;
        for (position = 0; position < rows.size(); ++position) {
            QStringList texts;
            for (const auto& c : rows[position].columns)
                texts << qs(c);
            auto* entry = new QTreeWidgetItem(texts);
            for (int c : {1, 2, 7})
                entry->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
            entries << entry;
            if (rows[position].fileMissing)
                lastMissing = position;
            progress.StepIt();
        }
        m_list->addTopLevelItems(entries);
        m_list->setUpdatesEnabled(true);
        if (lastMissing)
            showWarning(this, u8("番号 ") + QString::number(*lastMissing) + u8(" のファイルがありません"));
        field("edtListupNumber")->setText(QString::number(m_list->topLevelItemCount()));
    } catch (const std::exception& e) {
        m_list->setUpdatesEnabled(true);
        showError(this, qs(e.what()) + u8("\n番号 ") + QString::number(position) + u8(" のページをチェックしてください"));
    }
}

void TfrmMain::sortByColumn(int column)
{
    if (column < 0 || column >= 11)
        return;
    QList<QTreeWidgetItem*> entries;
    while (m_list->topLevelItemCount() > 0)
        entries << m_list->takeTopLevelItem(0);
    const bool descending = m_descending[static_cast<std::size_t>(column)];
    std::stable_sort(entries.begin(), entries.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        const int order = QString::localeAwareCompare(a->text(column).toCaseFolded(), b->text(column).toCaseFolded());
        return descending ? order > 0 : order < 0;
    });
    m_list->addTopLevelItems(entries);
    m_descending[static_cast<std::size_t>(column)] = !descending;
}

void TfrmMain::btnCheckFileClick()
{
    if (m_items.empty()) {
        confirm(u8("SHF3 ファイルを読み込んでください。"));
        return;
    }
    showDuplicates(duplicateFileNames(m_items), "sbtnFile",
                   u8("ファイル名の重複があります。\n「ファイル名」のカラムヘッダーをクリックしてソートすると確認しやすくなります。"),
                   u8("ファイル名の重複はありませんでした。"));
}

void TfrmMain::btnCheckSerialClick()
{
    showDuplicates(duplicateSerials(m_items), "sbtnSerial",
                   u8("シリアル番号の重複があります。\n「シリアル番号」のカラムヘッダーをクリックしてソートすると確認しやすくなります。"),
                   u8("シリアル番号の重複はありませんでした。"));
}

void TfrmMain::showDuplicates(const std::vector<std::vector<std::size_t>>& groups, const char* nextButton,
                              const QString& found, const QString& none)
{
    BusyCursor busy;
    m_list->clearSelection();
    // Sorted by number, list item i stands beside record i.
    m_descending[1] = false;
    sortByColumn(1);
    m_descending[1] = false;
    for (const char* name : {"sbtnFile", "sbtnSerial"})
        findChild<QToolButton*>(QString::fromLatin1(name))->setEnabled(false);
    for (const auto& group : groups)
        for (std::size_t i : group)
            if (QTreeWidgetItem* item = m_list->topLevelItem(static_cast<int>(i)))
                item->setSelected(true);
    if (groups.empty()) {
        showInformation(this, none);
        return;
    }
    showWarning(this, found);
    findChild<QToolButton*>(QString::fromLatin1(nextButton))->setEnabled(true);
}

void TfrmMain::nextMarked()
{
    for (int i = m_nextMark; i < m_list->topLevelItemCount(); ++i) {
        if (m_list->topLevelItem(i)->isSelected()) {
            m_list->scrollToItem(m_list->topLevelItem(i));
            m_list->setCurrentItem(m_list->topLevelItem(i), 0, QItemSelectionModel::NoUpdate);
            m_nextMark = i + 1;
            return;
        }
    }
    m_nextMark = 0;
}

QLineEdit* TfrmMain::field(const char* name) const { return findChild<QLineEdit*>(QString::fromLatin1(name)); }

void TfrmMain::focusField(const std::string& name)
{
    if (QLineEdit* e = field(name.c_str()))
        e->setFocus();
}

void TfrmMain::btnSerialDoClick()
{
    const std::string prefix = sj(field("edtPrefix")->text());
    if (const auto refused = utility::checkRenumberInput(sj(field("edtSerialFileNum")->text()), sj(field("edtStartSerial")->text()), prefix)) {
        if (refused->field == "edtPrefix")
            showWarning(this, qs(refused->message));
        else
            showError(this, qs(refused->message));
        focusField(refused->field);
        return;
    }
    try {
        const std::string path = corePath(field("edtSerialFileName")->text());
        if (!mayChange(path))
            return;
        BusyCursor busy;
        CProgressBar progress(statusBar(), 1);
        utility::renumber(path, prefix, field("edtStartSerial")->text().toInt());
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmMain::btnSplitDoClick()
{
    try {
        const std::string file = corePath(field("edtSplitFileName")->text());
        const std::string keyword = sj(field("edtSplitKeyword")->text());
        const std::string prefix = sj(field("edtSplitPrefix")->text());
        if (const auto refused = utility::checkSplitInput(file, keyword, prefix)) {
            interaction().message(this, MessageKind::Information, qs(refused->message), Ok, Ok);
            focusField(refused->field);
            return;
        }
        BusyCursor busy;
        utility::splitFile(file, keyword, prefix);
    } catch (const std::exception& e) {
        // Pieces written before the failure stay; the failure is never silent.
        showError(this, qs(e.what()));
    }
}

void TfrmMain::btnDelDoClick()
{
    try {
        const std::string project = corePath(field("edtDelFileName")->text());
        if (!mayChange(project))
            return;
        BusyCursor busy;
        const auto r = utility::moveUnneededFiles(project, corePath(field("edtDelFolderName")->text()));
        if (!r.kept.empty()) {
            QString report = u8("バックアップフォルダに同じ名前のファイルがあるため、次のファイルは移動しませんでした:");
            for (const auto& path : r.kept)
                report += QStringLiteral("\n    ") + qs(path);
            showWarning(this, report);
        }
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmMain::btnTag2DoClick()
{
    try {
        const std::string first = corePath(field("edtTag2FileName1")->text());
        if (!mayChange(first))
            return;
        BusyCursor busy;
        utility::adjustTag2(first, corePath(field("edtTag2FileName2")->text()));
    } catch (const utility::InputRefused& e) {
        showWarning(this, qs(e.what()));
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmMain::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    m_panels[0]->setFixedWidth(std::max(50, width() - 320));
}

void TfrmMain::closeEvent(QCloseEvent* e)
{
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "Sheafutil", "FormPosition");
    } catch (const std::exception& ex) {
        showError(this, qs(ex.what()));
    }
    m_items.clear();
    QMainWindow::closeEvent(e);
}

} // namespace sheaf::ui
