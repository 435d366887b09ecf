#pragma once
// The print settings dialog and the printing of one page file.
#include <QDialog>
#include <QFont>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPrinter;
class QSpinBox;

namespace sheaf::ui {

struct PrintLayout {
    int marginLeft = 15, marginTop = 15, marginRight = 15, marginBottom = 15; // millimetres
    bool footer = true;
    QFont font;
};

// Prints the lines (page text as decoded) on the printer: pages laid out
// with the margins and the font, long lines wrapped, and the page number
// centred in the footer when wanted. Answers the number of pages.
int printLines(QPrinter& printer, const QStringList& lines, const PrintLayout& layout);

class TfrmSetPrinter : public QDialog {
    Q_OBJECT
public:
    // pageFile: the page as last saved; font: the text editor's font.
    TfrmSetPrinter(QWidget* parent, std::string iniPath, std::string pageFile, const QFont& font);
    ~TfrmSetPrinter() override;

    QPrinter& printer() { return *m_printer; }
    void btnPrintClick();
    void btnPrtSetupClick();
    void btnFontClick();

protected:
    void done(int result) override;

private:
    void writeSettings();

    std::string m_iniPath;
    std::string m_pageFile;
    QFont m_font;
    std::unique_ptr<QPrinter> m_printer;
    bool m_printerChosen = false;
    QLineEdit* m_margins[4];
    QSpinBox* m_arrows[4];
    QCheckBox* m_footer;
    QLineEdit* m_fontName;
    QLineEdit* m_fontSize;
};

} // namespace sheaf::ui
