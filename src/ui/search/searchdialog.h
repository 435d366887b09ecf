#pragma once
// The text search and replace dialog over the page files of a range of items.
#include "project/outline.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QListWidget;
class QRadioButton;
class QStatusBar;

namespace sheaf::ui {

class CHtmlHelp;

// Modal results beside QDialog's own: a search ends with mrYes.
enum ModalResult { mrOk = 1, mrCancel = 2, mrYes = 6 };

class TfrmSearch : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        CHtmlHelp* help = nullptr;
        std::string iniPath;
        const Outline* outline = nullptr;
        std::size_t selected = 0; // absolute index of the selected item
        QStatusBar* statusBar = nullptr;
        QListWidget* results = nullptr;
    };
    TfrmSearch(QWidget* parent, Setup setup);
    ~TfrmSearch() override;

    const std::string& searchText() const { return m_searchText; }
    // Pages that could not be rewritten by the last replace, with the reasons.
    const std::vector<std::pair<std::string, std::string>>& failedPages() const { return m_failed; }
    void btnDoClick();

private:
    void setMode(bool search);

    Setup m_setup;
    std::string m_searchText;
    std::vector<std::pair<std::string, std::string>> m_failed;
    QRadioButton* m_modeSearch;
    QRadioButton* m_modeReplace;
    QRadioButton* m_range[3];
    QCheckBox* m_case;
    QComboBox* m_search;
    QComboBox* m_replace;
};

} // namespace sheaf::ui
