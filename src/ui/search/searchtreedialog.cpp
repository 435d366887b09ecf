#include "search/searchtreedialog.h"

#include "common/buttonrow.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/windowposition.h"
#include "search/history.h"
#include "search/historybox.h"
#include "search/searchdialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace sheaf::ui {

TfrmSearchTree::TfrmSearchTree(QWidget* parent, std::string iniPath, const QString& word)
    : QDialog(parent), m_iniPath(std::move(iniPath))
{
    setObjectName(QStringLiteral("frmSearchTree"));
    setWindowTitle(u8("ツリーの文字列検索"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u8("検索文字列(&T)"), this));
    m_search = new QComboBox(this);
    m_search->setObjectName(QStringLiteral("cmbSearch"));
    m_search->setEditable(true);
    m_search->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(m_search);
    auto* note = new QLabel(u8("大文字と小文字の区別をしません。また、部分的一致で検索成功とします。\n"
                               "ダイアログボックスが閉じてから次を検索する場合は [F3] を押してください。"),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    std::vector<QPushButton*> b;
    layout->addLayout(buttonRow(this, {{"btnSearch", "検索(&S)"}, {"btnCancel", "キャンセル(&C)"}}, b));
    connect(b[0], &QPushButton::clicked, this, &TfrmSearchTree::btnSearchClick);
    connect(b[1], &QPushButton::clicked, this, [this] { done(mrCancel); });

    CFormPosition(m_iniPath).ReadFormPosition(this, "FormPosition", "SearchTreeForm", 100, 100, 360, 150);
    fillHistory(m_search, search::readHistory(IniFile(m_iniPath), "SearchTree"));
    if (!word.isEmpty()) {
        m_search->insertItem(0, word);
        m_search->setEditText(word);
    }
}

TfrmSearchTree::~TfrmSearchTree()
{
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "FormPosition", "SearchTreeForm");
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSearchTree::btnSearchClick()
{
    const QString text = m_search->currentText();
    if (text.isEmpty())
        return;
    m_searchText = sj(text);
    std::vector<std::string> list = historyOf(m_search);
    search::moveToTop(list, m_searchText, 20);
    try {
        search::writeHistory(IniFile(m_iniPath), "SearchTree", list, 20);
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
    done(mrOk);
}

} // namespace sheaf::ui
