#include "tools/filesizereport.h"

#include "common/fonts.h"
#include "common/fsutil.h"
#include "common/interaction.h"
#include "common/paths.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "common/windowposition.h"
#include "reports/outputs.h"

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace sheaf::ui {

TfrmFileSizeReport::TfrmFileSizeReport(QWidget* parent, std::string projectPath, std::string iniPath,
                                       const std::vector<std::string>& lines)
    : QDialog(parent), m_projectPath(std::move(projectPath)), m_iniPath(std::move(iniPath))
{
    setObjectName(QStringLiteral("frmFileSizeReport"));
    setWindowTitle(u8("ファイルサイズ情報"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    QFont font = makeFont(u8("ＭＳ ゴシック"), 10);
    font.setPixelSize(13);
    m_memo->setFont(font);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList text;
    for (const auto& line : lines)
        text << qs(line);
    m_memo->setPlainText(text.join(QLatin1Char('\n')));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    layout->addWidget(m_memo);
    QMenu* file = bar->addMenu(u8("ファイル(&F)"));
    QAction* saveAction = file->addAction(u8("ファイルに保管(&S)"), this, &TfrmFileSizeReport::save);
    saveAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    file->addAction(u8("終了(&X)"), this, &QWidget::close);
    CFormPosition(m_iniPath).ReadFormPosition(this, "FormPosition", "FileSizeForm", 100, 100, 530, 400);
}

TfrmFileSizeReport::~TfrmFileSizeReport()
{
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "FormPosition", "FileSizeForm");
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmFileSizeReport::save()
{
    const QString chosen = interaction().saveFile(this, QString(), nativePath(folderPart(m_projectPath)),
                                                  nativePath(fileNamePart(reports::sizeReportPath(m_projectPath))),
                                                  u8("TXT ファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*"), QStringLiteral("txt"));
    if (chosen.isEmpty())
        return;
    try {
        std::string text;
        for (const QString& line : m_memo->toPlainText().split(QLatin1Char('\n')))
            text += sj(line) + "\r\n";
        fs::writeFileAtomic(corePath(chosen), text, sjis::sj("ファイルに保管できませんでした"));
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

} // namespace sheaf::ui
