#include "settings/customizedialog.h"

#include "common/colors.h"
#include "common/customizesettings.h"
#include "common/fonts.h"
#include "common/htmlhelp.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "common/windowposition.h"
#include "html/htmlsettings.h"
#include "main/linelexer.h"
#include "main/pageeditor.h"
#include "main/sheafwindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace sheaf::ui {
namespace {

const char* const kElements[] = {"テキスト編集部の背景色", "同、文字色", "選択領域の背景色", "同、文字色", "メールアドレスの文字色",
                                 "URL の文字色", "コメント行の文字色", "改行マーク・[EOF] の文字色", "強調表示キーワードの文字色",
                                 "＠行の文字色", "ページ検索に成功したときの文字色", "HTML タグの文字色", "タグ３の文字色"};

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(20, 14);
    pixmap.fill(color);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 19, 13);
    return QIcon(pixmap);
}

QStringList linesOf(const QPlainTextEdit* e)
{
    return e->toPlainText().split(QLatin1Char('\n'));
}

std::vector<std::string> sjLines(const QPlainTextEdit* e)
{
    std::vector<std::string> out;
    for (const QString& l : linesOf(e))
        out.push_back(sj(l));
    if (!out.empty() && out.back().empty())
        out.pop_back();
    return out;
}

} // namespace

const std::vector<std::pair<const char*, TColor>>& TfrmCustomize::palette()
{
    static const std::vector<std::pair<const char*, TColor>> table{
        {"黒色", 0x000000},     {"濃い茶色", 0x000080}, {"濃い緑色", 0x008000},   {"オリーブ色", 0x008080},
        {"紺色", 0x800000},     {"紫色", 0x800080},     {"青緑色", 0x808000},     {"濃いグレー", 0x808080},
        {"明るいグレー", 0xC0C0C0}, {"赤色", 0x0000FF}, {"明るい緑", 0x00FF00},   {"黄色", 0x00FFFF},
        {"青色", 0xFF0000},     {"ピンク", 0xFF00FF},   {"明るい青", 0xFFFF00},   {"白色", 0xFFFFFF},
        {"薄い緑", 0xC0DCC0},   {"空色", 0xF0CAA6},     {"クリーム", 0xF0FBFF},   {"グレー", 0xA4A0A0},
    };
    return table;
}

TfrmCustomize::TfrmCustomize(QWidget* parent, Setup setup) : QDialog(parent), m_setup(std::move(setup))
{
    setObjectName(QStringLiteral("frmCustomize"));
    setWindowTitle(u8("カスタマイズ"));
    const IniFile ini(m_setup.iniPath);
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs, 1);
    const auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };

    // Fonts.
    auto* fontPage = new QWidget(tabs);
    auto* fontLayout = new QGridLayout(fontPage);
    m_textFont = new QLineEdit(qs(ini.readString("Customize", "TextFontName", sjis::sj("ＭＳ ゴシック"))), fontPage);
    m_textSize = new QLineEdit(QString::number(ini.readInteger("Customize", "TextFontSize", 10)), fontPage);
    m_treeFont = new QLineEdit(qs(ini.readString("Customize", "TreeFontName", "MS UI Gothic")), fontPage);
    m_treeSize = new QLineEdit(QString::number(ini.readInteger("Customize", "TreeFontSize", 10)), fontPage);
    named(m_textFont, "edtFontTextFontName");
    named(m_textSize, "edtFontTextFontSize");
    named(m_treeFont, "edtFontTreeFontName");
    named(m_treeSize, "edtFontTreeFontSize");
    auto* textFontButton = new QPushButton(u8("フォント..."), fontPage);
    auto* treeFontButton = new QPushButton(u8("フォント..."), fontPage);
    named(textFontButton, "btnFontTextFont");
    named(treeFontButton, "btnFontTreeFont");
    fontLayout->addWidget(new QLabel(u8("テキスト部"), fontPage), 0, 0);
    fontLayout->addWidget(m_textFont, 0, 1);
    fontLayout->addWidget(m_textSize, 0, 2);
    fontLayout->addWidget(textFontButton, 0, 3);
    fontLayout->addWidget(new QLabel(u8("ツリー部"), fontPage), 1, 0);
    fontLayout->addWidget(m_treeFont, 1, 1);
    fontLayout->addWidget(m_treeSize, 1, 2);
    fontLayout->addWidget(treeFontButton, 1, 3);
    auto* tabBox = new QGroupBox(u8("タブの文字数"), fontPage);
    tabBox->setObjectName(QStringLiteral("rgFontTab"));
    auto* tabLayout = new QHBoxLayout(tabBox);
    const char* tabNames[] = {"2 文字", "4 文字", "8 文字"};
    for (int i = 0; i < 3; ++i) {
        m_tab[i] = new QRadioButton(u8(tabNames[i]), tabBox);
        tabLayout->addWidget(m_tab[i]);
    }
    m_tab[std::clamp(ini.readInteger("Customize", "TextTabWidth", 0), 0, 2)]->setChecked(true);
    fontLayout->addWidget(tabBox, 2, 0, 1, 4);
    m_charSpace = new QSpinBox(fontPage);
    m_charSpace->setRange(0, 4);
    m_charSpace->setValue(ini.readInteger("Customize", "TextCharSpace", 0));
    m_lineSpace = new QSpinBox(fontPage);
    m_lineSpace->setRange(0, 8);
    m_lineSpace->setValue(ini.readInteger("Customize", "TextLineSpace", 0));
    named(m_charSpace, "seFontCharSpace");
    named(m_lineSpace, "seFontLineSpace");
    fontLayout->addWidget(new QLabel(u8("文字間隔"), fontPage), 3, 0);
    fontLayout->addWidget(m_charSpace, 3, 1);
    fontLayout->addWidget(new QLabel(u8("行間隔"), fontPage), 4, 0);
    fontLayout->addWidget(m_lineSpace, 4, 1);
    fontLayout->setRowStretch(5, 1);
    tabs->addTab(fontPage, u8("フォント"));

    // Colours.
    auto* colorPage = new QWidget(tabs);
    auto* colorLayout = new QGridLayout(colorPage);
    m_elements = new QListWidget(colorPage);
    m_palette = new QListWidget(colorPage);
    named(m_elements, "lstColorElement");
    named(m_palette, "lstColorSelect");
    colorLayout->addWidget(new QLabel(u8("部位"), colorPage), 0, 0);
    colorLayout->addWidget(new QLabel(u8("選択色"), colorPage), 0, 1);
    colorLayout->addWidget(m_elements, 1, 0);
    colorLayout->addWidget(m_palette, 1, 1);
    auto* schemeBox = new QGroupBox(u8("カスタマイズの方法"), colorPage);
    schemeBox->setObjectName(QStringLiteral("rgCustomizer"));
    auto* schemeLayout = new QVBoxLayout(schemeBox);
    const char* schemeNames[] = {"私の好み", "標準", "自由設定"};
    for (int i = 0; i < 3; ++i) {
        m_scheme[i] = new QRadioButton(u8(schemeNames[i]), schemeBox);
        schemeLayout->addWidget(m_scheme[i]);
        connect(m_scheme[i], &QRadioButton::clicked, this, [this, i] { chooseScheme(i); });
    }
    colorLayout->addWidget(schemeBox, 1, 2);
    auto* hint = new QLabel(u8("一部でも任意に設定する場合は [自由設定] を選択してください。"), colorPage);
    hint->setWordWrap(true);
    colorLayout->addWidget(hint, 2, 0, 1, 3);
    m_preview = new PageEditor(colorPage, true);
    m_preview->setObjectName(QStringLiteral("edtColor"));
    QStringList sample;
    for (const char* line : {"これはテキスト編集部の表示サンプルです。", "色の設定方法の説明を兼ねています。", "解  説",
                             "[部位] の １ つを選択した後、[選択色] を選択してください。",
                             "選択状態のテキストの色は実際に選択して確認してください。", "私のメールアドレスは以下のとおり。",
                             "someone@example.com", "次は、私のホームページの URL です。", "https://www.example.com/",
                             "この行は行末に「＠」がある例です＠", "<h4>見出し</h4>",
                             "改行マークと [EOF] の文字色もチェックしてください。"})
        sample << u8(line);
    m_preview->setText(sample.join(QStringLiteral("\r\n")));
    m_preview->setReadOnly(true);
    colorLayout->addWidget(m_preview, 3, 0, 1, 3);
    for (const char* e : kElements)
        m_elements->addItem(u8(e));
    for (const auto& [name, color] : palette()) {
        auto* item = new QListWidgetItem(swatch(toQColor(color)), u8(name));
        m_palette->addItem(item);
    }
    connect(m_palette, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { chooseColor(m_palette->row(item)); });
    tabs->addTab(colorPage, u8("カラー"));

    // Keywords.
    auto* keywordPage = new QWidget(tabs);
    auto* keywordLayout = new QVBoxLayout(keywordPage);
    m_keywords = new QPlainTextEdit(keywordPage);
    named(m_keywords, "edtKeyword");
    QStringList keywords;
    for (const auto& k : m_setup.keywords)
        keywords << qs(k);
    m_keywords->setPlainText(keywords.join(QLatin1Char('\n')));
    keywordLayout->addWidget(m_keywords, 1);
    keywordLayout->addWidget(new QLabel(u8("キーワードの長さは、全角文字で 8 文字以内です。\nそれを超える部分はキーワードとして無効となります。\n"
                                           "キーワードは HTML 化するときのキーワードと共通です。"),
                                        keywordPage));
    tabs->addTab(keywordPage, u8("キーワード"));

    // Function keys.
    auto* funcPage = new QWidget(tabs);
    auto* funcLayout = new QGridLayout(funcPage);
    m_funcKeys = new QListWidget(funcPage);
    m_funcTexts = new QListWidget(funcPage);
    named(m_funcKeys, "lstFuncKey");
    named(m_funcTexts, "lstFuncText");
    funcLayout->addWidget(new QLabel(u8("ファンクションキー"), funcPage), 0, 0);
    funcLayout->addWidget(new QLabel(u8("キーに割り当てる動作の説明文"), funcPage), 0, 1);
    funcLayout->addWidget(m_funcKeys, 1, 0);
    funcLayout->addWidget(m_funcTexts, 1, 1);
    funcLayout->addWidget(new QLabel(u8("[ファンクションキー] の項目をクリックして選択したあと、説明文の中から希望の項目をクリックしてください。"),
                                     funcPage),
                          2, 0, 1, 2);
    const auto& commands = TfrmSheaf::functionCommands();
    for (const auto& c : commands)
        m_funcTexts->addItem(u8(c.description));
    std::string keys = ini.readString("Customize", "FunctionKey", "0,1,2,3,4,5,6,7,8,9,10,11");
    for (std::size_t start = 0; m_functionKeys.size() < 12;) {
        const std::size_t comma = keys.find(',', start);
        const std::string item = keys.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        char* end = nullptr;
        const long n = std::strtol(item.c_str(), &end, 10);
        if (item.empty() || *end || n < 0 || n >= static_cast<long>(commands.size()))
            break;
        m_functionKeys.push_back(static_cast<int>(n));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    while (m_functionKeys.size() < 12)
        m_functionKeys.push_back(static_cast<int>(m_functionKeys.size()));
    for (int k = 0; k < 12; ++k)
        m_funcKeys->addItem(QStringLiteral("[F%1] ").arg(k + 1) + u8(commands[static_cast<std::size_t>(m_functionKeys[k])].shortName));
    connect(m_funcTexts, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { chooseFunction(m_funcTexts->row(item)); });
    tabs->addTab(funcPage, u8("ファンクションキー"));

    // HTML header and the HTML relations.
    const html::HtmlSettings htmlSettings = html::ReadSettings(m_setup.htmlIniPath);
    auto* headerPage = new QWidget(tabs);
    auto* headerLayout = new QVBoxLayout(headerPage);
    m_header = new QPlainTextEdit(headerPage);
    named(m_header, "edtHeader");
    QStringList header;
    for (const auto& h : htmlSettings.headerLines)
        header << qs(h);
    m_header->setPlainText(header.join(QLatin1Char('\n')));
    headerLayout->addWidget(m_header, 1);
    headerLayout->addWidget(new QLabel(u8("1 行にするテキストはテキストを改行しないでください。\n改行だけの行は無視します。"), headerPage));
    tabs->addTab(headerPage, u8("HTML ヘッダー"));
    auto* htmlPage = new QWidget(tabs);
    auto* htmlLayout = new QGridLayout(htmlPage);
    htmlLayout->addWidget(new QLabel(u8("「注：」 の画像ファイル（html/images フォルダ内で選択してください）"), htmlPage), 0, 0, 1, 2);
    m_image = new QLineEdit(qs(htmlSettings.quoteImageFile), htmlPage);
    named(m_image, "edtImageFileName");
    htmlLayout->addWidget(m_image, 1, 0);
    auto* imageButton = new QPushButton(QStringLiteral("..."), htmlPage);
    named(imageButton, "btnImageFile");
    htmlLayout->addWidget(imageButton, 1, 1);
    m_search = new QPlainTextEdit(htmlPage);
    m_replace = new QPlainTextEdit(htmlPage);
    named(m_search, "edtHtmlSearch");
    named(m_replace, "edtHtmlReplace");
    QStringList searches, replaces;
    for (const auto& s : htmlSettings.searchStrings)
        searches << qs(s);
    for (const auto& r : htmlSettings.replaceStrings)
        replaces << qs(r);
    m_search->setPlainText(searches.join(QLatin1Char('\n')));
    m_replace->setPlainText(replaces.join(QLatin1Char('\n')));
    auto* pairs = new QGroupBox(u8("HTML 文書の文字列置換"), htmlPage);
    auto* pairsLayout = new QGridLayout(pairs);
    pairsLayout->addWidget(new QLabel(u8("検索文字列"), pairs), 0, 0);
    pairsLayout->addWidget(new QLabel(u8("置換文字列"), pairs), 0, 1);
    pairsLayout->addWidget(m_search, 1, 0);
    pairsLayout->addWidget(m_replace, 1, 1);
    htmlLayout->addWidget(pairs, 2, 0, 1, 2);
    connect(imageButton, &QPushButton::clicked, this, [this] {
        const QString chosen = interaction().openFile(
            this, QString(), nativePath(m_setup.imagesFolder), QString(),
            u8("ビットマップ|*.bmp|GIF ファイル|*.gif|JPEG ファイル|*.jpg|PNG ファイル|*.png|すべてのファイル|*"));
        if (!chosen.isEmpty())
            m_image->setText(chosen);
    });
    tabs->addTab(htmlPage, u8("HTML 関係"));

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(u8("適用 (&O)"), this);
    named(ok, "btnOK");
    auto* cancel = new QPushButton(u8("キャンセル(&C)"), this);
    named(cancel, "btnCancel");
    auto* helpButton = new QPushButton(u8("ヘルプ(&H)"), this);
    named(helpButton, "btnHelp");
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(helpButton);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TfrmCustomize::btnOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] { m_setup.help->ShowTopic(this, QStringLiteral("html/P0000134.htm")); });
    connect(textFontButton, &QPushButton::clicked, this, [this] {
        // The editors take a fixed-pitch font only: tab tables must line up.
        if (const auto font = interaction().chooseFont(this, makeFont(m_textFont->text(), m_textSize->text().toInt()), true)) {
            m_textFont->setText(font->family());
            m_textSize->setText(QString::number(font->pointSize()));
        }
    });
    connect(treeFontButton, &QPushButton::clicked, this, [this] {
        if (const auto font = interaction().chooseFont(this, makeFont(m_treeFont->text(), m_treeSize->text().toInt()))) {
            m_treeFont->setText(font->family());
            m_treeSize->setText(QString::number(font->pointSize()));
        }
    });

    CFormPosition(m_setup.iniPath).ReadFormPosition(this, "FormPosition", "CustomizeForm", 100, 100, 630, 400);
    const int scheme = std::clamp(ini.readInteger("Customize", "Customizer", 1), 0, 2);
    m_scheme[scheme]->setChecked(true);
    chooseScheme(scheme);
}

TfrmCustomize::~TfrmCustomize()
{
    try {
        CFormPosition(m_setup.iniPath).WriteFormPosition(this, "FormPosition", "CustomizeForm");
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
}

void TfrmCustomize::repaintLists()
{
    for (int i = 0; i < m_elements->count() && i < ColorSet::Count; ++i)
        m_elements->item(i)->setIcon(swatch(toQColor(m_setup.colors->colors[static_cast<std::size_t>(i)])));
}

void TfrmCustomize::applyPreviewColors()
{
    const ColorSet& c = *m_setup.colors;
    LineLexer* lexer = m_preview->lineLexer();
    lexer->setBaseColors(toQColor(c[ColorSet::TextFore]), toQColor(c[ColorSet::TextBack]));
    lexer->setKeywords(sjLines(m_keywords));
    lexer->setSearch(true, sjis::sj("文字色"));
    lexer->setLineColors(toQColor(c[ColorSet::AtMarkFore]), toQColor(c[ColorSet::KeywordFore]), toQColor(c[ColorSet::SearchFore]));
    lexer->setMarkColor(toQColor(c[ColorSet::ReturnFore]));
    lexer->setTagNames(TfrmSheaf::tagNames(), toQColor(c[ColorSet::TagFore]));
    m_preview->setSelectionBackgroundColor(toQColor(c[ColorSet::SelectBack]));
    m_preview->setSelectionForegroundColor(toQColor(c[ColorSet::SelectFore]));
    m_preview->recolour();
    repaintLists();
}

void TfrmCustomize::chooseScheme(int scheme)
{
    // The fixed schemes replace the main window's colours at once; the free one keeps them.
    if (scheme == 0 || scheme == 1)
        *m_setup.colors = ColorSet::scheme(scheme);
    applyPreviewColors();
}

void TfrmCustomize::chooseColor(int paletteIndex)
{
    if (!m_scheme[2]->isChecked()) {
        interaction().message(this, MessageKind::Information,
                              u8("1 箇所でも色を変更する場合は、[カスタマイズの方法] を [自由設定] にしてください。"), Ok, Ok);
        return;
    }
    const int element = m_elements->currentRow();
    if (element < 0) {
        interaction().message(this, MessageKind::Information, u8("色を設定する部位を選択してください。"), Ok, Ok);
        return;
    }
    m_setup.colors->colors[static_cast<std::size_t>(element)] = palette()[static_cast<std::size_t>(paletteIndex)].second;
    applyPreviewColors();
}

void TfrmCustomize::chooseFunction(int command)
{
    const int key = m_funcKeys->currentRow();
    if (key < 0) {
        interaction().message(this, MessageKind::Information,
                              u8("設定するファンクションキーをクリックして選択状態にしてください。"), Ok, Ok);
        return;
    }
    m_functionKeys[static_cast<std::size_t>(key)] = command;
    m_funcKeys->item(key)->setText(QStringLiteral("[F%1] ").arg(key + 1) +
                                   u8(TfrmSheaf::functionCommands()[static_cast<std::size_t>(command)].shortName));
}

void TfrmCustomize::btnOKClick()
{
    CustomizeValues v;
    v.textFontName = sj(m_textFont->text());
    v.textFontSize = sj(m_textSize->text().trimmed());
    v.treeFontName = sj(m_treeFont->text());
    v.treeFontSize = sj(m_treeSize->text().trimmed());
    for (int i = 0; i < 3; ++i) {
        if (m_tab[i]->isChecked())
            v.tabWidth = i;
        if (m_scheme[i]->isChecked())
            v.customizer = i;
    }
    v.charSpace = m_charSpace->value();
    v.lineSpace = m_lineSpace->value();
    v.colors = *m_setup.colors;
    for (std::size_t k = 0; k < m_functionKeys.size(); ++k)
        v.functionKeys += (k ? "," : "") + std::to_string(m_functionKeys[k]);
    v.keywordLines = sjLines(m_keywords);
    v.headerLines = sjLines(m_header);
    v.searchLines = sjLines(m_search);
    v.replaceLines = sjLines(m_replace);
    v.quoteImage = corePath(m_image->text());
    try {
        applyCustomize(IniFile(m_setup.iniPath), IniFile(m_setup.htmlIniPath), m_setup.imagesFolder, v);
    } catch (const std::exception& e) {
        // A font size that is no number: the message, and the dialog stays open.
        showError(this, qs(e.what()));
        return;
    }
    accept();
}

} // namespace sheaf::ui
