#include "helpmaker/helpcompiledialog.h"

#include "common/buttonrow.h"
#include "common/busycursor.h"
#include "common/error.h"
#include "common/fsutil.h"
#include "common/htmlhelp.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/progressbar.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "common/windowposition.h"
#include "helpmaker/helpcompiler.h"
#include "helpmaker/helpproject.h"
#include "main/statuspanels.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

namespace sheaf::ui {

TfrmHelpCompile::TfrmHelpCompile(QWidget* parent, CHtmlHelp* help, std::string projectPath, std::string htmlFolder,
                                 std::string iniPath, const ItemList& items)
    : QDialog(parent), m_help(help), m_projectPath(std::move(projectPath)), m_htmlFolder(std::move(htmlFolder)),
      m_iniPath(std::move(iniPath)), m_items(items)
{
    setObjectName(QStringLiteral("frmHelpCompile"));
    setWindowTitle(u8("HTML 形式のヘルプファイルの作成"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(u8("ヘルプコンパイラ （hcc.exe）"), this), 0, 0, 1, 2);
    m_compiler = new QLineEdit(this);
    m_compiler->setObjectName(QStringLiteral("edtCompiler"));
    layout->addWidget(m_compiler, 1, 0);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("btnFile"));
    layout->addWidget(browse, 1, 1);
    layout->addWidget(new QLabel(u8("ヘルプファイルのファイル名 （拡張子を含まない）"), this), 2, 0, 1, 2);
    m_helpFileName = new QLineEdit(this);
    m_helpFileName->setObjectName(QStringLiteral("edtHelpFileName"));
    layout->addWidget(m_helpFileName, 3, 0, 1, 2);

    std::vector<QPushButton*> b;
    layout->addLayout(
        buttonRow(this, {{"btnDo", "コンパイルを実行(&D)"}, {"btnCancel", "キャンセル(&C)"}, {"btnHelp", "ヘルプ(&H)"}}, b), 4, 0,
        1, 2);
    QPushButton* run = b[0];
    QPushButton* cancel = b[1];
    QPushButton* helpButton = b[2];

    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new StatusPanel(m_status, false);
        m_status->addWidget(m_panels[i], i == 0 ? 1 : 0);
        if (i > 0)
            m_panels[i]->setFixedWidth(150);
    }
    layout->addWidget(m_status, 5, 0, 1, 2);

    connect(run, &QPushButton::clicked, this, &TfrmHelpCompile::btnDoClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &TfrmHelpCompile::btnFileClick);
    connect(helpButton, &QPushButton::clicked, this, [this] { m_help->ShowTopic(this, QStringLiteral("html/P0000157.htm")); });

    CFormPosition(m_iniPath).ReadFormPosition(this, "FormPosition", "HelpCompileForm", 100, 100, 540, 180);
    // The compiler stored by the browse button; on this system chmcmd on the
    // PATH is offered when none is stored.
    std::string compiler = IniFile(m_iniPath).readString("Tool", "HHC Path", "");
    if (compiler.empty())
        compiler = help::findCompilerOnPath().value_or("");
    m_compiler->setText(nativePath(compiler));
    m_helpFileName->setText(qs(BaseName(m_projectPath)));
}

TfrmHelpCompile::~TfrmHelpCompile()
{
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "FormPosition", "HelpCompileForm");
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

QString TfrmHelpCompile::statusText() const { return m_panels[0]->text(); }

void TfrmHelpCompile::setStatus(const QString& text)
{
    m_panels[0]->setText(text);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmHelpCompile::btnFileClick()
{
    const QString chosen =
        interaction().openFile(this, QString(), QString(), QStringLiteral("hhc.exe"),
                               u8("EXE ファイル|*.exe|ヘルプコンパイラ|chmcmd*;hhc*|すべてのファイル|*"));
    if (chosen.isEmpty())
        return;
    m_compiler->setText(chosen);
    try {
        IniFile(m_iniPath).writeString("Tool", "HHC Path", corePath(chosen));
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmHelpCompile::btnDoClick()
{
    const auto confirm = [this](const QString& text) {
        interaction().message(this, MessageKind::Confirmation, text, Ok, Ok);
    };
    const QString compilerText = m_compiler->text();
    if (compilerText.isEmpty()) {
        confirm(u8("hhc.exe の指定がありません。"));
        return;
    }
    const std::string compiler = corePath(compilerText);
    if (!help::isCompilerName(compiler)) {
        confirm(u8("指定のコンパイラは hhc.exe ではありません。"));
        return;
    }
    if (!fs::isFile(compiler)) {
        confirm(u8("hhc.exe が存在しません。"));
        return;
    }

    BusyCursor busy;
    {
        CProgressBar progress(m_status, 1);
        progress.Start(0, static_cast<int>(m_items.size()), 1);
        const auto missing = help::firstMissingPage(m_items, m_htmlFolder);
        if (missing) {
            progress.Finish();
            confirm(qs(help::missingPageMessage(*missing)));
            return;
        }
    }
    try {
        setStatus(u8("目次の作成を開始..."));
        setStatus(u8("索引の作成を開始..."));
        setStatus(u8("プロジェクトファイルの作成を開始..."));
        help::writeHelpProject(m_projectPath, m_items);
    } catch (const SheafError& e) {
        showError(this, qs(e.what()));
        return;
    }
    setStatus(u8("コンパイルを開始..."));
    const help::CompileResult r = help::compileHelp(compiler, m_projectPath, m_items);
    if (r.ok) {
        showInformation(this, u8("終了しました。"));
        if (interaction().message(this, MessageKind::Confirmation, u8("作成したヘルプファイルを表示しますか？"), Yes | No, No) ==
            Yes) {
            CHtmlHelp viewer;
            viewer.HelpFile(r.chmPath);
            viewer.ShowTopic(parentWidget(), QString());
        }
    } else {
        QString text = qs(r.problem);
        if (!r.output.empty())
            text += u8("\n\nヘルプコンパイラの出力:\n") + QString::fromUtf8(r.output.data(), static_cast<qsizetype>(r.output.size()));
        showError(this, text);
    }
    accept();
}

} // namespace sheaf::ui
