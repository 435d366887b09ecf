#include "print/setprinterdialog.h"

#include "common/fonts.h"
#include "common/fsutil.h"
#include "common/inifile.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "common/text.h"
#include "common/windowposition.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTextLayout>

namespace sheaf::ui {
namespace {

const char* const kMarginKeys[] = {"MarginLeft", "MarginTop", "MarginRight", "MarginBottom"};
const char* const kFontNameKey = "  FontName"; // the stored key begins with two blanks

} // namespace

int printLines(QPrinter& printer, const QStringList& lines, const PrintLayout& layout)
{
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(layout.marginLeft, layout.marginTop, layout.marginRight, layout.marginBottom),
                           QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error(sjis::toUtf8(sjis::sj("プリンタを使えません")));
    QFont font = layout.font;
    font.setStyleStrategy(QFont::PreferAntialias);
    painter.setFont(font);
    painter.setPen(Qt::black);
    // The printable area within the margins; the painter starts at its corner.
    const QRect page(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const QFontMetrics fm(font, &printer);
    const int lineHeight = fm.lineSpacing();
    const int footerHeight = layout.footer ? lineHeight * 2 : 0;
    const int bottom = page.height() - footerHeight;
    int pageNumber = 1;
    int y = 0;
    const auto finishPage = [&] {
        if (layout.footer)
            painter.drawText(QRect(0, page.height() - lineHeight, page.width(), lineHeight), Qt::AlignHCenter,
                             QStringLiteral("- %1 -").arg(pageNumber));
    };
    for (const QString& line : lines) {
        // A long line wraps onto as many rows as it needs.
        QTextLayout text(line.isEmpty() ? QStringLiteral(" ") : line, font, &printer);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTabStopDistance(fm.horizontalAdvance(QLatin1Char(' ')) * 8);
        text.setTextOption(option);
        text.beginLayout();
        std::vector<QTextLine> rows;
        for (QTextLine row = text.createLine(); row.isValid(); row = text.createLine()) {
            row.setLineWidth(page.width());
            rows.push_back(row);
        }
        text.endLayout();
        for (QTextLine& row : rows) {
            if (y + lineHeight > bottom) {
                finishPage();
                printer.newPage();
                ++pageNumber;
                y = 0;
            }
            row.draw(&painter, QPointF(0, y - row.y()));
            y += lineHeight;
        }
    }
    finishPage();
    painter.end();
    return pageNumber;
}

TfrmSetPrinter::TfrmSetPrinter(QWidget* parent, std::string iniPath, std::string pageFile, const QFont& font)
    : QDialog(parent), m_iniPath(std::move(iniPath)), m_pageFile(std::move(pageFile)), m_font(font),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("frmSetPrinter"));
    setWindowTitle(u8("印刷条件の設定"));
    auto* layout = new QGridLayout(this);
    auto* marginBox = new QGroupBox(u8("マージン （mm）"), this);
    auto* marginLayout = new QGridLayout(marginBox);
    const char* labels[] = {"左", "上", "右", "下"};
    const char* edits[] = {"edtMarginLeft", "edtMarginTop", "edtMarginRight", "edtMarginBottom"};
    const char* arrows[] = {"udLeft", "udTop", "udRight", "udBottom"};
    const IniFile ini(m_iniPath);
    for (int i = 0; i < 4; ++i) {
        marginLayout->addWidget(new QLabel(u8(labels[i]), marginBox), i, 0);
        m_margins[i] = new QLineEdit(marginBox);
        m_margins[i]->setObjectName(QString::fromLatin1(edits[i]));
        m_arrows[i] = new QSpinBox(marginBox);
        m_arrows[i]->setObjectName(QString::fromLatin1(arrows[i]));
        m_arrows[i]->setRange(3, 100);
        m_arrows[i]->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        m_arrows[i]->setMaximumWidth(20);
        connect(m_arrows[i], &QSpinBox::valueChanged, m_margins[i], [this, i](int v) { m_margins[i]->setText(QString::number(v)); });
        const int stored = ini.readInteger("Printer", kMarginKeys[i], 15);
        m_arrows[i]->setValue(std::clamp(stored, 3, 100));
        m_margins[i]->setText(QString::number(stored));
        marginLayout->addWidget(m_margins[i], i, 1);
        marginLayout->addWidget(m_arrows[i], i, 2);
    }
    layout->addWidget(marginBox, 0, 0, 2, 1);
    m_footer = new QCheckBox(u8("ページ番号を付ける"), this);
    m_footer->setObjectName(QStringLiteral("chkFooter"));
    m_footer->setChecked(ini.readBool("Printer", "Footer", true));
    layout->addWidget(m_footer, 2, 0);
    auto* fontBox = new QGroupBox(u8("フォント"), this);
    auto* fontLayout = new QGridLayout(fontBox);
    m_fontName = new QLineEdit(qs(ini.readString("Printer", kFontNameKey, sjis::sj("ＭＳ ゴシック"))), fontBox);
    m_fontName->setObjectName(QStringLiteral("edtFontName"));
    m_fontSize = new QLineEdit(QString::number(ini.readInteger("Printer", "FontSize", 10)), fontBox);
    m_fontSize->setObjectName(QStringLiteral("edtFontSize"));
    auto* fontButton = new QPushButton(u8("フォントの選択(&F)..."), fontBox);
    fontButton->setObjectName(QStringLiteral("btnFont"));
    fontLayout->addWidget(m_fontName, 0, 0);
    fontLayout->addWidget(m_fontSize, 0, 1);
    fontLayout->addWidget(fontButton, 1, 0, 1, 2);
    layout->addWidget(fontBox, 0, 1);
    auto* buttons = new QHBoxLayout;
    auto* print = new QPushButton(u8("印刷(&P)"), this);
    print->setObjectName(QStringLiteral("btnPrint"));
    print->setDefault(true);
    auto* cancel = new QPushButton(u8("キャンセル(&C)"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto* setup = new QPushButton(u8("プリンタの設定(&S)..."), this);
    setup->setObjectName(QStringLiteral("btnPrtSetup"));
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    buttons->addWidget(setup);
    layout->addLayout(buttons, 3, 0, 1, 2);
    connect(print, &QPushButton::clicked, this, &TfrmSetPrinter::btnPrintClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(setup, &QPushButton::clicked, this, &TfrmSetPrinter::btnPrtSetupClick);
    connect(fontButton, &QPushButton::clicked, this, &TfrmSetPrinter::btnFontClick);
    // Printed in black, whatever colour the editor shows.
    m_font.setStyleStrategy(QFont::PreferDefault);
    CFormPosition(m_iniPath).ReadFormPosition(this, "FormPosition", "SetPrintForm", 100, 100, 430, 260);
}

TfrmSetPrinter::~TfrmSetPrinter() = default;

void TfrmSetPrinter::btnFontClick()
{
    if (const auto chosen = interaction().chooseFont(this, m_font)) {
        m_font = *chosen;
        m_fontName->setText(m_font.family());
        m_fontSize->setText(QString::number(m_font.pointSize()));
    }
}

void TfrmSetPrinter::btnPrtSetupClick() { m_printerChosen = interaction().setupPrinter(this, *m_printer) || m_printerChosen; }

void TfrmSetPrinter::btnPrintClick()
{
    if (m_pageFile.empty()) {
        showWarning(this, u8("印刷するファイル名が設定されていません"));
        return;
    }
    PrintLayout layout;
    int* values[] = {&layout.marginLeft, &layout.marginTop, &layout.marginRight, &layout.marginBottom};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        *values[i] = m_margins[i]->text().trimmed().toInt(&ok);
        if (!ok) {
            showError(this, u8("マージンに数字以外の文字が含まれています"));
            return;
        }
    }
    layout.footer = m_footer->isChecked();
    layout.font = m_font;
    try {
        // The page as last saved, not as shown in the editor.
        const std::string bytes = fs::readFile(m_pageFile, sjis::sj("印刷するページファイルを読み込めませんでした"));
        QStringList lines;
        for (const auto& line : splitLines(bytes))
            lines << qs(line);
        // Without a chosen printer and without any printer on the system, the
        // user picks one (or a PDF file) first.
        if (!m_printerChosen && QPrinterInfo::availablePrinterNames().isEmpty() && m_printer->outputFileName().isEmpty() &&
            !interaction().setupPrinter(this, *m_printer))
            return;
        printLines(*m_printer, lines, layout);
    } catch (const std::exception& e) {
        showError(this, qs(e.what()));
    }
    accept();
}

void TfrmSetPrinter::done(int result)
{
    writeSettings();
    QDialog::done(result);
}

void TfrmSetPrinter::writeSettings()
{
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "FormPosition", "SetPrintForm");
        const IniFile ini(m_iniPath);
        const auto integer = [](const QLineEdit* e) {
            bool ok = false;
            const int v = e->text().trimmed().toInt(&ok);
            if (!ok)
                throw std::runtime_error("'" + e->text().toStdString() + "' is not a valid integer value");
            return v;
        };
        // Settings after a failing one are not written.
        for (int i = 0; i < 4; ++i)
            ini.writeInteger("Printer", kMarginKeys[i], integer(m_margins[i]));
        ini.writeBool("Printer", "Footer", m_footer->isChecked());
        ini.writeString("Printer", kFontNameKey, sj(m_fontName->text()));
        ini.writeInteger("Printer", "FontSize", integer(m_fontSize));
    } catch (const std::exception& e) {
        showError(this, QString::fromUtf8(e.what()));
    }
}

} // namespace sheaf::ui
