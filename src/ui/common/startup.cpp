#include "common/startup.h"

#include "common/fonts.h"
#include "common/fsutil.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sheaf::ui {

void prepareApplication(QApplication& app)
{
    fs::ignoreFileSizeLimitSignal();
    installJapaneseFontSubstitutes();

    // The whole user interface is Japanese; the standard buttons (OK, Cancel,
    // Yes, No) and dialogs come from Qt's own translations.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_ja", "qt_ja"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), folder))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }

    // Without a desktop session no icon theme is named; the tool bars then
    // take the freedesktop theme that the set-up installs.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

} // namespace sheaf::ui
