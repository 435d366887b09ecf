#pragma once
// The new-project dialog: project name, folder and the desktop shortcut box.
#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;

namespace sheaf::ui {

class TfrmNewProject : public QDialog {
    Q_OBJECT
public:
    TfrmNewProject(QWidget* parent, std::string iniPath, const QString& programFolder);
    // The folder offered first: the user's documents folder, else home.
    static QString defaultFolder();
    ~TfrmNewProject() override;

    // folder (without trailing separator) / name + ".shf3"; throws SheafError
    // when the name is no project name.
    QString projectPath() const;
    bool shortcutWanted() const;

private:
    void browseFolder();

    std::string m_iniPath;
    QLineEdit* m_name;
    QLineEdit* m_folder;
    QCheckBox* m_shortcut;
};

} // namespace sheaf::ui
