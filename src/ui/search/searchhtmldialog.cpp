#include "search/searchhtmldialog.h"

#include "common/buttonrow.h"
#include "common/fsutil.h"
#include "common/htmlhelp.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/windowposition.h"
#include "search/history.h"
#include "search/historybox.h"
#include "search/searchdialog.h"
#include "search/searchpages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace sheaf::ui {

TfrmSearchHtml::TfrmSearchHtml(QWidget* parent, CHtmlHelp* help, std::string iniPath, std::string htmlPath)
    : QDialog(parent), m_help(help), m_iniPath(std::move(iniPath)), m_htmlPath(std::move(htmlPath))
{
    setObjectName(QStringLiteral("frmSearchHtml"));
    setWindowTitle(u8("HTML ソースの文字列置換"));
    auto* layout = new QGridLayout(this);
    m_search = new QComboBox(this);
    m_search->setObjectName(QStringLiteral("cmbSearch"));
    m_replace = new QComboBox(this);
    m_replace->setObjectName(QStringLiteral("cmbReplace"));
    for (QComboBox* box : {m_search, m_replace}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    layout->addWidget(new QLabel(u8("検索文字列"), this), 0, 0);
    layout->addWidget(m_search, 0, 1);
    layout->addWidget(new QLabel(u8("置換文字列"), this), 1, 0);
    layout->addWidget(m_replace, 1, 1);
    auto* note = new QLabel(u8("操作対象は現在のページだけです。また、常に、大文字と小文字の区別はしません。"), this);
    note->setWordWrap(true);
    layout->addWidget(note, 2, 0, 1, 2);
    std::vector<QPushButton*> b;
    layout->addLayout(buttonRow(this, {{"btnDo", "実行(&D)"}, {"btnCancel", "キャンセル(&C)"}, {"btnHelp", "ヘルプ(&H)"}}, b), 3,
                      0, 1, 2);
    QPushButton* run = b[0];
    QPushButton* cancel = b[1];
    QPushButton* helpButton = b[2];
    connect(run, &QPushButton::clicked, this, &TfrmSearchHtml::btnDoClick);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(helpButton, &QPushButton::clicked, this, [this] { m_help->ShowTopic(this, QStringLiteral("html/P0000131.htm")); });

    CFormPosition(m_iniPath).ReadFormPosition(this, "FormPosition", "SearchHtmlForm", 100, 100, 380, 210);
    const IniFile ini(m_iniPath);
    fillHistory(m_search, search::readHistory(ini, "SearchHtmlSearch"));
    fillHistory(m_replace, search::readHistory(ini, "SearchHtmlReplace"));
}

TfrmSearchHtml::~TfrmSearchHtml()
{
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "FormPosition", "SearchHtmlForm");
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSearchHtml::btnDoClick()
{
    if (m_search->currentText().isEmpty()) {
        showWarning(this, u8("検索文字列を入力してください"));
        m_search->setFocus();
        return;
    }
    const std::string searchText = sj(m_search->currentText());
    const std::string replaceText = sj(m_replace->currentText());
    try {
        // These two lists have no cap.
        saveSearchAndReplace(m_iniPath, m_search, "SearchHtmlSearch", m_replace, "SearchHtmlReplace", 0);
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
    if (fs::exists(m_htmlPath)) {
        search::CRepStrFile file(m_htmlPath);
        if (file.Replace(searchText, replaceText, false) == search::CRepStrFile::Outcome::Failed)
            m_failure = file.error();
    }
    done(mrOk);
}

} // namespace sheaf::ui
