#pragma once
// The size report window: the report in a memo, and a command to save it.
#include <QDialog>

#include <string>
#include <vector>

class QPlainTextEdit;

namespace sheaf::ui {

class TfrmFileSizeReport : public QDialog {
    Q_OBJECT
public:
    TfrmFileSizeReport(QWidget* parent, std::string projectPath, std::string iniPath,
                       const std::vector<std::string>& lines);
    ~TfrmFileSizeReport() override;
    QPlainTextEdit* memo() const { return m_memo; }
    // Saves the memo's lines (Shift-JIS, CR LF) to a file the user chooses.
    void save();

private:
    std::string m_projectPath;
    std::string m_iniPath;
    QPlainTextEdit* m_memo;
};

} // namespace sheaf::ui
