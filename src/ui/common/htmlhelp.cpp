#include "common/htmlhelp.h"

#include "common/error.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "helpmaker/chmfile.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <vector>

namespace sheaf::ui {
namespace {

constexpr int kLocalRole = Qt::UserRole + 1;

QUrl topicUrl(const QString& topic)
{
    QUrl url;
    url.setScheme(QStringLiteral("chm"));
    url.setPath(topic.startsWith(QLatin1Char('/')) ? topic : QLatin1Char('/') + topic);
    return url;
}

} // namespace

ChmBrowser::ChmBrowser(QWidget* parent, const help::ChmFile& chm) : QTextBrowser(parent), m_chm(chm)
{
    setOpenLinks(true);
    setOpenExternalLinks(true);
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name)
{
    if (name.scheme() != QLatin1String("chm") && name.isRelative() == false)
        return QTextBrowser::loadResource(type, name);
    const QUrl resolved = name.isRelative() ? source().resolved(name) : name;
    const auto bytes = m_chm.read(sj(resolved.path()));
    if (!bytes)
        return {};
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return qs(*bytes);
    return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
}

HelpViewer::HelpViewer(QWidget* parent, const std::string& chmPath) : QWidget(parent, Qt::Window)
{
    m_chm = std::make_unique<help::ChmFile>();
    if (!m_chm->open(chmPath))
        throw SheafError(sjis::sj("ヘルプファイルを開けません: ") + chmPath);
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(u8("ヘルプ - ") + qs(chmPath));
    resize(900, 600);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QToolBar(this);
    layout->addWidget(bar);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter, 1);

    auto* tabs = new QTabWidget(splitter);
    m_contents = new QTreeWidget(tabs);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderHidden(true);
    tabs->addTab(m_contents, u8("目次"));
    auto* indexPage = new QWidget(tabs);
    auto* indexLayout = new QVBoxLayout(indexPage);
    m_indexSearch = new QLineEdit(indexPage);
    m_indexSearch->setObjectName(QStringLiteral("helpIndexSearch"));
    m_indexSearch->setPlaceholderText(u8("キーワードを入力"));
    m_index = new QListWidget(indexPage);
    m_index->setObjectName(QStringLiteral("helpIndex"));
    indexLayout->addWidget(m_indexSearch);
    indexLayout->addWidget(m_index, 1);
    tabs->addTab(indexPage, u8("キーワード"));

    m_browser = new ChmBrowser(splitter, *m_chm);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    splitter->addWidget(tabs);
    splitter->addWidget(m_browser);
    splitter->setSizes({250, 650});

    QAction* back = bar->addAction(u8("戻る"), m_browser, &QTextBrowser::backward);
    QAction* forward = bar->addAction(u8("進む"), m_browser, &QTextBrowser::forward);
    back->setObjectName(QStringLiteral("helpBack"));
    forward->setObjectName(QStringLiteral("helpForward"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    fillContents();
    fillIndex();
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kLocalRole).toString()); });
    connect(m_index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(kLocalRole).toString()); });
    connect(m_index, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showTopic(item->data(kLocalRole).toString()); });
    connect(m_indexSearch, &QLineEdit::textChanged, this, &HelpViewer::findInIndex);
    connect(m_indexSearch, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem* item = m_index->currentItem())
            showTopic(item->data(kLocalRole).toString());
    });
}

HelpViewer::~HelpViewer() = default;

void HelpViewer::fillContents()
{
    const auto text = m_chm->read(m_chm->contentsFile());
    if (!text)
        return;
    std::vector<QTreeWidgetItem*> parents;
    for (const auto& entry : help::parseSitemap(*text)) {
        parents.resize(static_cast<std::size_t>(std::min<int>(entry.depth, static_cast<int>(parents.size()))));
        auto* item = parents.empty() ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.back());
        item->setText(0, qs(entry.name));
        item->setData(0, kLocalRole, qs(entry.local));
        parents.push_back(item);
    }
    m_contents->expandAll();
}

void HelpViewer::fillIndex()
{
    const auto text = m_chm->read(m_chm->indexFile());
    if (!text)
        return;
    for (const auto& entry : help::parseSitemap(*text)) {
        auto* item = new QListWidgetItem((entry.depth > 0 ? QStringLiteral("    ") : QString()) + qs(entry.name), m_index);
        item->setData(kLocalRole, qs(entry.local));
    }
}

void HelpViewer::findInIndex(const QString& text)
{
    // Type to find: the first entry that begins with the text (the entries are sorted).
    const QString wanted = text.trimmed();
    for (int i = 0; i < m_index->count(); ++i) {
        if (m_index->item(i)->text().trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
            m_index->setCurrentRow(i);
            m_index->scrollToItem(m_index->item(i), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpViewer::showTopic(const QString& topic)
{
    QString wanted = topic;
    if (wanted.isEmpty())
        wanted = qs(m_chm->defaultTopic());
    if (wanted.isEmpty() && m_contents->topLevelItemCount() > 0)
        wanted = m_contents->topLevelItem(0)->data(0, kLocalRole).toString();
    if (!m_chm->contains(sj(topicUrl(wanted).path()))) {
        m_browser->setHtml(u8("<p>このトピックはヘルプファイルにありません: ") + wanted.toHtmlEscaped() + u8("</p>"));
        return;
    }
    m_browser->setSource(topicUrl(wanted));
}

QString HelpViewer::currentTopic() const { return m_browser->source().path().mid(1); }

void CHtmlHelp::HelpFile(const std::string& path)
{
    if (path == m_path)
        return;
    m_path = path;
    if (m_viewer)
        m_viewer->deleteLater();
}

void CHtmlHelp::ShowTopic(QWidget* owner, const QString& topic)
{
    try {
        // The viewer belongs to the program's main window, not to a dialog
        // that asked for it: it stays open when the dialog closes.
        QWidget* top = owner;
        while (top && top->parentWidget())
            top = top->parentWidget();
        if (!m_viewer)
            m_viewer = new HelpViewer(top, m_path);
        m_viewer->showTopic(topic);
        m_viewer->show();
        m_viewer->raise();
        m_viewer->activateWindow();
    } catch (const std::exception& e) {
        showError(owner, qs(e.what()) + u8("\nヘルプファイル Sheaf3.chm はプログラムと同じフォルダ、または共有データフォルダ (share/sheaf3) に置かれます。"));
    }
}

} // namespace sheaf::ui
