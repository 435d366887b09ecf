#pragma once
// The version box of the programs.
#include <QDialog>

class QLabel;

namespace sheaf::ui {

// The version of the tool set's own files, compiled in from the build.
QString CVerNumberText();

class TfrmAboutBox : public QDialog {
    Q_OBJECT
public:
    // productName "Sheaf3" or "Sheafhelp"; comments below the version.
    TfrmAboutBox(QWidget* parent, const QString& productName, const QString& comments);
};

} // namespace sheaf::ui
