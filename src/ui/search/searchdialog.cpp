#include "search/searchdialog.h"

#include "common/buttonrow.h"
#include "common/busycursor.h"
#include "common/fonts.h"
#include "common/htmlhelp.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/progressbar.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "common/windowposition.h"
#include "search/history.h"
#include "search/historybox.h"
#include "search/searchpages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace sheaf::ui {

TfrmSearch::TfrmSearch(QWidget* parent, Setup setup) : QDialog(parent), m_setup(std::move(setup))
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(u8("文字列の検索・置換"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* modeBox = new QGroupBox(u8("検索・置換(&M)"), this);
    auto* modeLayout = new QVBoxLayout(modeBox);
    m_modeSearch = new QRadioButton(u8("検索"), modeBox);
    m_modeSearch->setObjectName(QStringLiteral("rbtnMode1"));
    m_modeReplace = new QRadioButton(u8("置換"), modeBox);
    m_modeReplace->setObjectName(QStringLiteral("rbtnMode2"));
    modeLayout->addWidget(m_modeSearch);
    modeLayout->addWidget(m_modeReplace);
    top->addWidget(modeBox);
    auto* rangeBox = new QGroupBox(u8("実行対象の範囲(&G)"), this);
    rangeBox->setObjectName(QStringLiteral("rgRange"));
    auto* rangeLayout = new QVBoxLayout(rangeBox);
    const char* captions[] = {"作業中のページ", "選択ノード以下のページ", "すべてのページ"};
    for (int i = 0; i < 3; ++i) {
        m_range[i] = new QRadioButton(u8(captions[i]), rangeBox);
        m_range[i]->setObjectName(QStringLiteral("rgRange%1").arg(i));
        rangeLayout->addWidget(m_range[i]);
    }
    top->addWidget(rangeBox, 1);
    layout->addLayout(top);

    m_case = new QCheckBox(u8("大文字・小文字を区別する(&I)"), this);
    m_case->setObjectName(QStringLiteral("chkCase"));
    layout->addWidget(m_case);
    auto* boxes = new QGridLayout;
    const QFont fixed = makeFont(u8("ＭＳ ゴシック"), 10);
    m_search = new QComboBox(this);
    m_search->setObjectName(QStringLiteral("cmbSearch"));
    m_replace = new QComboBox(this);
    m_replace->setObjectName(QStringLiteral("cmbReplace"));
    for (QComboBox* box : {m_search, m_replace}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setFont(fixed);
    }
    boxes->addWidget(new QLabel(u8("検索文字列(&S)"), this), 0, 0);
    boxes->addWidget(m_search, 0, 1);
    boxes->addWidget(new QLabel(u8("置換文字列(&R)"), this), 1, 0);
    boxes->addWidget(m_replace, 1, 1);
    layout->addLayout(boxes);
    auto* note = new QLabel(u8("作業中のページを検索するときは、ツールバー上にあるページ検索の機能を使ってください。"), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    std::vector<QPushButton*> b;
    layout->addLayout(buttonRow(this, {{"btnDo", "実行(&D)"}, {"btnCancel", "キャンセル(&C)"}, {"btnHelp", "ヘルプ(&H)"}}, b));
    QPushButton* run = b[0];
    QPushButton* cancel = b[1];
    QPushButton* helpButton = b[2];

    connect(m_modeSearch, &QRadioButton::clicked, this, [this] { setMode(true); });
    connect(m_modeReplace, &QRadioButton::clicked, this, [this] { setMode(false); });
    connect(run, &QPushButton::clicked, this, &TfrmSearch::btnDoClick);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(helpButton, &QPushButton::clicked, this,
            [this] { m_setup.help->ShowTopic(this, QStringLiteral("html/P0000131.htm")); });

    m_modeSearch->setChecked(true);
    setMode(true);
    CFormPosition(m_setup.iniPath).ReadFormPosition(this, "FormPosition", "SearchTextForm", 100, 100, 430, 280);
    // A leaf: range 1 covers the item alone, and stays chosen in search mode.
    const OutlineNode* node = m_setup.outline->nodeAt(m_setup.selected);
    if (!node || m_setup.outline->children(node).empty())
        m_range[1]->setEnabled(false);
    const IniFile ini(m_setup.iniPath);
    fillHistory(m_search, search::readHistory(ini, "SearchTextSearch"));
    fillHistory(m_replace, search::readHistory(ini, "SearchTextReplace"));
    m_search->setFocus();
}

TfrmSearch::~TfrmSearch()
{
    try {
        CFormPosition(m_setup.iniPath).WriteFormPosition(this, "FormPosition", "SearchTextForm");
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmSearch::setMode(bool searchMode)
{
    m_replace->setEnabled(!searchMode);
    m_range[0]->setEnabled(!searchMode);
    m_range[searchMode ? 1 : 0]->setChecked(true);
}

void TfrmSearch::btnDoClick()
{
    if (m_search->currentText().isEmpty()) {
        showWarning(this, u8("検索文字列を入力してください"));
        m_search->setFocus();
        return;
    }
    const bool searchMode = m_modeSearch->isChecked();
    int range = 0;
    for (int i = 0; i < 3; ++i)
        if (m_range[i]->isChecked())
            range = i;
    const bool matchCase = m_case->isChecked();
    m_searchText = sj(m_search->currentText());
    const std::string replaceText = sj(m_replace->currentText());
    try {
        saveSearchAndReplace(m_setup.iniPath, m_search, "SearchTextSearch", m_replace, "SearchTextReplace", 20);
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }

    BusyCursor busy;
    const auto bounds = search::rangeFor(*m_setup.outline, static_cast<search::Range>(range), m_setup.selected);
    CProgressBar progress(m_setup.statusBar, 1);
    if (!bounds.empty)
        progress.Start(0, static_cast<int>(bounds.last - bounds.first), 1);
    const auto step = [&progress] { progress.StepIt(); };
    if (searchMode) {
        m_setup.results->clear();
        if (!bounds.empty) {
            const auto r = search::SearchPages(*m_setup.outline, bounds.first, bounds.last, m_searchText, matchCase, step);
            for (std::size_t i : r.found)
                m_setup.results->addItem(qs(search::resultLine(i, m_setup.outline->nodeAt(i)->data->sTitle)));
        }
        progress.Finish();
        done(mrYes);
        return;
    }
    if (!bounds.empty)
        m_failed = search::ReplacePages(*m_setup.outline, bounds.first, bounds.last, m_searchText, replaceText,
                                        matchCase, step)
                       .failed;
    progress.Finish();
    done(mrOk);
}

} // namespace sheaf::ui
