// sheafhelp3: index keywords, the help project and its compile.
#include "common/startup.h"
#include "helpmaker/sheafhelpwindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sheafhelp3"));
    sheaf::ui::prepareApplication(app);
    sheaf::ui::TfrmSheafhelp window;
    window.show();
    return QApplication::exec();
}
