// sheaf3: the outline and page editor.
#include "common/startup.h"
#include "main/sheafwindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sheaf3"));
    sheaf::ui::prepareApplication(app);
    sheaf::ui::TfrmSheaf window(QApplication::arguments().mid(1));
    window.show();
    return QApplication::exec();
}
