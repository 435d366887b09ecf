// sheafutil3: maintenance of projects and their page files.
#include "common/startup.h"
#include "utility/utilitywindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sheafutil3"));
    sheaf::ui::prepareApplication(app);
    sheaf::ui::TfrmMain window;
    window.show();
    return QApplication::exec();
}
