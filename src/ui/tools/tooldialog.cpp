#include "tools/tooldialog.h"

#include "common/busycursor.h"
#include "common/fsutil.h"
#include "common/htmlhelp.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "common/windowposition.h"
#include "search/searchdialog.h"
#include "search/searchpages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace sheaf::ui {

TfrmTool::TfrmTool(QWidget* parent, Setup setup) : QDialog(parent), m_setup(std::move(setup))
{
    setObjectName(QStringLiteral("frmTool"));
    setWindowTitle(u8("外部ツールの登録と実行"));
    auto* layout = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    layout->addWidget(m_pages, 1);

    auto* runPage = new QWidget(m_pages);
    auto* runLayout = new QVBoxLayout(runPage);
    m_list = new QListWidget(runPage);
    m_list->setObjectName(QStringLiteral("lstList"));
    runLayout->addWidget(m_list, 1);
    auto* rangeBox = new QGroupBox(u8("実行対象の範囲(&R)"), runPage);
    auto* rangeLayout = new QHBoxLayout(rangeBox);
    const char* captions[] = {"作業中のページ", "選択ノード以下のページ", "すべてのページ"};
    for (int i = 0; i < 3; ++i) {
        m_range[i] = new QRadioButton(u8(captions[i]), rangeBox);
        m_range[i]->setObjectName(QStringLiteral("rgRange%1").arg(i));
        rangeLayout->addWidget(m_range[i]);
    }
    m_range[0]->setChecked(true);
    runLayout->addWidget(rangeBox);
    auto* run = new QPushButton(u8("実行(&D)"), runPage);
    run->setObjectName(QStringLiteral("btnDo"));
    runLayout->addWidget(run);
    runLayout->addWidget(new QLabel(u8("実行せずに終了する場合は「キャンセル」してください。"), runPage));
    m_pages->addTab(runPage, u8("実行"));

    auto* regPage = new QWidget(m_pages);
    auto* regLayout = new QGridLayout(regPage);
    m_reg = new QListWidget(regPage);
    m_reg->setObjectName(QStringLiteral("lstReg"));
    regLayout->addWidget(m_reg, 0, 0, 1, 3);
    regLayout->addWidget(new QLabel(u8("スクリプトファイル名"), regPage), 1, 0);
    m_script = new QLineEdit(regPage);
    m_script->setObjectName(QStringLiteral("edtArg"));
    m_script->setReadOnly(true);
    regLayout->addWidget(m_script, 1, 1);
    auto* browseScript = new QPushButton(QStringLiteral("..."), regPage);
    browseScript->setObjectName(QStringLiteral("btnFileArg"));
    regLayout->addWidget(browseScript, 1, 2);
    regLayout->addWidget(new QLabel(u8("コメント"), regPage), 2, 0);
    m_comment = new QLineEdit(regPage);
    m_comment->setObjectName(QStringLiteral("edtComment"));
    regLayout->addWidget(m_comment, 2, 1, 1, 2);
    auto* regButtons = new QHBoxLayout;
    auto* add = new QPushButton(u8("追加(&A)"), regPage);
    add->setObjectName(QStringLiteral("btnAdd"));
    auto* modify = new QPushButton(u8("変更(&M)"), regPage);
    modify->setObjectName(QStringLiteral("edtModify"));
    auto* remove = new QPushButton(u8("削除(&L)"), regPage);
    remove->setObjectName(QStringLiteral("btnDelete"));
    regButtons->addWidget(add);
    regButtons->addWidget(modify);
    regButtons->addWidget(remove);
    regLayout->addLayout(regButtons, 3, 0, 1, 3);
    regLayout->addWidget(new QLabel(u8("コメントは、「実行」画面の説明文となります。"), regPage), 4, 0, 1, 3);
    m_pages->addTab(regPage, u8("スクリプトの登録"));

    auto* toolPage = new QWidget(m_pages);
    auto* toolLayout = new QGridLayout(toolPage);
    toolLayout->addWidget(new QLabel(u8("外部ツールのファイル名"), toolPage), 0, 0, 1, 2);
    m_tool = new QLineEdit(toolPage);
    m_tool->setObjectName(QStringLiteral("edtToolName"));
    m_tool->setReadOnly(true);
    toolLayout->addWidget(m_tool, 1, 0);
    auto* browseTool = new QPushButton(QStringLiteral("..."), toolPage);
    browseTool->setObjectName(QStringLiteral("btnFileTool"));
    toolLayout->addWidget(browseTool, 1, 1);
    auto* toolNote = new QLabel(u8("Jperl または Ruby の実行プログラム（.exe ファイル）を指定してください。"
                                   "それ以外のツールを使う場合はヘルプの注意書きを参照してください。"),
                                toolPage);
    toolNote->setWordWrap(true);
    toolLayout->addWidget(toolNote, 2, 0, 1, 2);
    toolLayout->setRowStretch(3, 1);
    m_pages->addTab(toolPage, u8("ツールの登録"));

    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(u8("キャンセル(&C)"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto* helpButton = new QPushButton(u8("ヘルプ(&H)"), this);
    helpButton->setObjectName(QStringLiteral("btnHelp"));
    buttons->addWidget(new QLabel(u8("登録後、キャンセルしても登録処理は実行します。"), this), 1);
    buttons->addWidget(cancel);
    buttons->addWidget(helpButton);
    layout->addLayout(buttons);

    connect(run, &QPushButton::clicked, this, &TfrmTool::btnDoClick);
    connect(add, &QPushButton::clicked, this, &TfrmTool::btnAddClick);
    connect(modify, &QPushButton::clicked, this, &TfrmTool::btnModifyClick);
    connect(remove, &QPushButton::clicked, this, &TfrmTool::btnDeleteClick);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(helpButton, &QPushButton::clicked, this, [this] { m_setup.help->ShowTopic(this, QStringLiteral("html/d0000031.htm")); });
    connect(m_reg, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= static_cast<int>(m_settings.scripts.size()))
            return;
        m_script->setText(qs(m_settings.scripts[static_cast<std::size_t>(row)].Path));
        m_comment->setText(qs(m_settings.scripts[static_cast<std::size_t>(row)].Comment));
    });
    // Files without an extension are offered too: interpreters and scripts often have none.
    connect(browseScript, &QPushButton::clicked, this, [this] {
        const QString chosen = interaction().openFile(this, QString(), QString(), QString(),
                                                      u8("pl ファイル|*.pl|rb ファイル|*.rb|すべてのファイル|*"));
        if (!chosen.isEmpty()) {
            m_script->setText(chosen);
            m_comment->clear();
        }
    });
    connect(browseTool, &QPushButton::clicked, this, [this] {
        const QString chosen = interaction().openFile(this, QString(), QString(), QStringLiteral("perl"),
                                                      u8("EXE ファイル|*.exe|すべてのファイル|*"));
        if (!chosen.isEmpty())
            m_tool->setText(chosen);
    });
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) { fillList(index == 0 ? m_list : m_reg); });

    CFormPosition(m_setup.iniPath).ReadFormPosition(this, "FormPosition", "ToolForm", 100, 100, 520, 350);
    try {
        m_settings = tools::readToolSettings(IniFile(m_setup.iniPath));
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("ReadFromIniFile:") + qs(e.what()));
    }
    m_tool->setText(qs(m_settings.exePath));
    const OutlineNode* node = m_setup.outline->nodeAt(m_setup.selected);
    if (!node || m_setup.outline->children(node).empty())
        m_range[1]->setEnabled(false);
    fillList(m_list);
    fillList(m_reg);
}

TfrmTool::~TfrmTool() = default;

void TfrmTool::fillList(QListWidget* list)
{
    tools::sortByName(m_settings.scripts);
    list->clear();
    for (const auto& s : m_settings.scripts)
        list->addItem(qs(s.Name) + QLatin1Char('\t') + qs(s.Comment));
    if (list->count() > 0)
        list->setCurrentRow(0);
}

bool TfrmTool::commentHasQuote()
{
    if (!m_comment->text().contains(QLatin1Char('"')))
        return false;
    showWarning(this, u8("コメント内に引用符 \" \" を挿入することはできません"));
    m_comment->setFocus();
    return true;
}

void TfrmTool::btnAddClick()
{
    if (commentHasQuote())
        return;
    const std::string path = sj(m_script->text());
    m_settings.scripts.push_back({fileNamePart(path), path, sj(m_comment->text())});
    fillList(m_reg);
}

void TfrmTool::btnModifyClick()
{
    const int row = m_reg->currentRow();
    if (row < 0 || commentHasQuote())
        return;
    const std::string path = sj(m_script->text());
    m_settings.scripts[static_cast<std::size_t>(row)] = {fileNamePart(path), path, sj(m_comment->text())};
    fillList(m_reg);
}

void TfrmTool::btnDeleteClick()
{
    const int row = m_reg->currentRow();
    if (row < 0)
        return;
    m_settings.scripts.erase(m_settings.scripts.begin() + row);
    fillList(m_reg);
}

void TfrmTool::btnDoClick()
{
    const int row = m_list->currentRow();
    if (row < 0) {
        showWarning(this, u8("実行するスクリプトを指定してください"));
        m_list->setFocus();
        return;
    }
    const tools::APPSDATA script = m_settings.scripts[static_cast<std::size_t>(row)];
    const std::string interpreter = sj(m_tool->text());
    if (!fs::isFile(interpreter)) {
        showWarning(this, qs(fileNamePart(interpreter)) + u8(" がありません"));
        done(mrOk);
        return;
    }
    if (!fs::isFile(script.Path)) {
        showWarning(this, qs(script.Name) + u8(" がありません"));
        done(mrOk);
        return;
    }
    BusyCursor busy;
    int range = 0;
    for (int i = 0; i < 3; ++i)
        if (m_range[i]->isChecked())
            range = i;
    const auto bounds = search::rangeFor(*m_setup.outline, static_cast<search::Range>(range), m_setup.selected);
    try {
        fs::writeFileAtomic(m_setup.responsePath,
                            bounds.empty ? std::string() : tools::responseFileText(*m_setup.outline, bounds.first, bounds.last),
                            sjis::sj("レスポンスファイルを書き込めませんでした"));
        // An argument list: paths with blanks or quotes need no quoting.
        QProcess process;
        process.setProgram(nativePath(interpreter));
        process.setArguments({nativePath(script.Path), nativePath(m_setup.responsePath)});
        process.start();
        if (!process.waitForStarted(-1))
            showWarning(this, u8("プロセスを起動できませんでした"));
        else
            process.waitForFinished(-1);
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
    done(mrOk);
}

void TfrmTool::done(int result)
{
    // The registrations are kept however the dialog closes.
    try {
        CFormPosition(m_setup.iniPath).WriteFormPosition(this, "FormPosition", "ToolForm");
        m_settings.exePath = sj(m_tool->text());
        tools::writeToolSettings(IniFile(m_setup.iniPath), m_settings);
    } catch (const std::exception& e) {
        showError(this, QStringLiteral("WriteToRegistry:") + qs(e.what()));
    }
    QDialog::done(result);
}

} // namespace sheaf::ui
