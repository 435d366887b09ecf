#pragma once
// Replacement in the HTML file of the current item.
#include <QDialog>

#include <string>

class QComboBox;

namespace sheaf::ui {

class CHtmlHelp;

class TfrmSearchHtml : public QDialog {
    Q_OBJECT
public:
    TfrmSearchHtml(QWidget* parent, CHtmlHelp* help, std::string iniPath, std::string htmlPath);
    ~TfrmSearchHtml() override;
    void btnDoClick();
    // Why the file could not be rewritten, empty when it was (or had nothing to replace).
    const std::string& failure() const { return m_failure; }

private:
    CHtmlHelp* m_help;
    std::string m_iniPath;
    std::string m_htmlPath;
    std::string m_failure;
    QComboBox* m_search;
    QComboBox* m_replace;
};

} // namespace sheaf::ui
