#pragma once
// The tree search: items found by their titles.
#include <QDialog>

#include <string>

class QComboBox;

namespace sheaf::ui {

class TfrmSearchTree : public QDialog {
    Q_OBJECT
public:
    // word: the word at the caret, put at the top of the list when not empty.
    TfrmSearchTree(QWidget* parent, std::string iniPath, const QString& word);
    ~TfrmSearchTree() override;
    const std::string& searchText() const { return m_searchText; }
    void btnSearchClick();

private:
    std::string m_iniPath;
    std::string m_searchText;
    QComboBox* m_search;
};

} // namespace sheaf::ui
