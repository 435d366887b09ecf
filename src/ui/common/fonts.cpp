#include "common/fonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace sheaf::ui {

namespace {
// Stored font names of the settings and the installed font that stands in for each.
QHash<QString, QString>& standIns()
{
    static QHash<QString, QString> map;
    return map;
}
} // namespace

void installJapaneseFontSubstitutes()
{
    const QStringList installed = QFontDatabase::families();
    auto firstInstalled = [&](const QStringList& candidates) {
        for (const QString& c : candidates)
            if (installed.contains(c, Qt::CaseInsensitive))
                return c;
        return QString();
    };
    const QString fixed = firstInstalled({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                                          QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")});
    const QString proportional = firstInstalled({QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                                 QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic")});
    const QString serif = firstInstalled({QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP")});
    const struct {
        const char16_t* name;
        const QString& substitute;
    } table[] = {
        {u"ＭＳ ゴシック", fixed},   {u"MS Gothic", fixed},      {u"ＭＳ Ｐゴシック", proportional},
        {u"MS PGothic", proportional}, {u"MS UI Gothic", proportional}, {u"ＭＳ 明朝", serif},
        {u"MS Mincho", serif},
    };
    for (const auto& entry : table) {
        const QString name = QString::fromUtf16(entry.name);
        if (!entry.substitute.isEmpty() && !installed.contains(name, Qt::CaseInsensitive)) {
            QFont::insertSubstitution(name, entry.substitute);
            standIns().insert(name.toCaseFolded(), entry.substitute);
        }
    }
}

QString installedFamily(const QString& family)
{
    return standIns().value(family.toCaseFolded(), family);
}

QFont makeFont(const QString& family, int pointSize)
{
    // The stand-in is asked for by name: left to the font matcher, a missing
    // "ＭＳ ゴシック" draws Latin letters in a proportional font.
    QFont font(installedFamily(family));
    font.setPointSize(pointSize > 0 ? pointSize : 10);
    return font;
}

} // namespace sheaf::ui
