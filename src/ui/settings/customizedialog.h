#pragma once
// The customize dialog: fonts, colours, keywords, function keys, the HTML
// header, the note image and the HTML replacement pairs.
#include "common/colorset.h"

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;

namespace sheaf::ui {

class CHtmlHelp;
class PageEditor;

class TfrmCustomize : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        std::string iniPath;
        std::string htmlIniPath;
        std::string imagesFolder;
        CHtmlHelp* help = nullptr;
        std::vector<std::string> keywords;
        ColorSet* colors = nullptr; // the main window's, edited in place
    };
    TfrmCustomize(QWidget* parent, Setup setup);
    ~TfrmCustomize() override;

    // The palette offered, in order (name, 00BBGGRR).
    static const std::vector<std::pair<const char*, TColor>>& palette();

    void chooseScheme(int scheme);
    void chooseColor(int paletteIndex);
    void chooseFunction(int command);
    void btnOKClick();

private:
    void repaintLists();
    void applyPreviewColors();

    Setup m_setup;
    std::vector<int> m_functionKeys;
    QLineEdit* m_textFont;
    QLineEdit* m_textSize;
    QLineEdit* m_treeFont;
    QLineEdit* m_treeSize;
    QRadioButton* m_tab[3];
    QSpinBox* m_charSpace;
    QSpinBox* m_lineSpace;
    QRadioButton* m_scheme[3];
    QListWidget* m_elements;
    QListWidget* m_palette;
    PageEditor* m_preview;
    QPlainTextEdit* m_keywords;
    QListWidget* m_funcKeys;
    QListWidget* m_funcTexts;
    QPlainTextEdit* m_header;
    QLineEdit* m_image;
    QPlainTextEdit* m_search;
    QPlainTextEdit* m_replace;
};

} // namespace sheaf::ui
