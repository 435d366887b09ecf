#include "main/newprojectdialog.h"

#include "common/windowposition.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/shell.h"
#include "project/project.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

namespace sheaf::ui {

QString TfrmNewProject::defaultFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

TfrmNewProject::TfrmNewProject(QWidget* parent, std::string iniPath, const QString& programFolder)
    : QDialog(parent), m_iniPath(std::move(iniPath))
{
    setObjectName(QStringLiteral("frmNewProject"));
    setWindowTitle(QString::fromUtf8("SHF3 ファイルの新規作成"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("SHF3 ファイル名（拡張子は不要）"), this), 0, 0, 1, 2);
    m_name = new QLineEdit(QStringLiteral("Temp"), this);
    m_name->setObjectName(QStringLiteral("edtShfFileName"));
    layout->addWidget(m_name, 1, 0, 1, 2);
    layout->addWidget(
        new QLabel(QString::fromUtf8("SHF3 ファイルを格納するフォルダ（存在しないフォルダを指定した場合は Sheaf3 が作成する）"), this),
        2, 0, 1, 2);
    m_folder = new QLineEdit(programFolder, this);
    m_folder->setObjectName(QStringLiteral("edtFolderName"));
    layout->addWidget(m_folder, 3, 0);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("btnFolder"));
    layout->addWidget(browse, 3, 1);
    m_shortcut = new QCheckBox(QString::fromUtf8("SHF3 のショートカットリンクをデスクトップに作る"), this);
    m_shortcut->setObjectName(QStringLiteral("chkShortcut"));
    // Without a desktop folder there is nowhere to put a launcher.
    const bool desktop = !CSpecialFolder::GetPath(CSpecialFolder::Desktop).isEmpty();
    m_shortcut->setChecked(desktop);
    m_shortcut->setEnabled(desktop);
    layout->addWidget(m_shortcut, 4, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QString::fromUtf8("O K (&O)"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8("キャンセル (&C)"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 5, 0, 1, 2);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &TfrmNewProject::browseFolder);

    CFormPosition(m_iniPath).ReadFormPosition(this, "FormPosition", "NewProjectForm", 100, 100, 550, 200);
}

TfrmNewProject::~TfrmNewProject()
{
    // The dialog keeps its position when it is destroyed, whatever the answer.
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "FormPosition", "NewProjectForm");
    } catch (...) {
    }
}

void TfrmNewProject::browseFolder()
{
    const QString root = QDir::rootPath();
    const QString chosen = interaction().chooseFolder(this, QString::fromUtf8("SHF3 ファイルを格納するフォルダ"), root);
    if (!chosen.isEmpty())
        m_folder->setText(chosen);
}

QString TfrmNewProject::projectPath() const
{
    QString folder = m_folder->text();
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    // The name keeps its dots; what is no project name is refused with the reason.
    return nativePath(newProjectPath(corePath(folder), sj(m_name->text())));
}

bool TfrmNewProject::shortcutWanted() const { return m_shortcut->isChecked(); }

} // namespace sheaf::ui
