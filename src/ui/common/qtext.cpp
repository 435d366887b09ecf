#include "common/qtext.h"

#include "common/fsutil.h"
#include "common/sjis.h"

#include <QStringList>

namespace sheaf::ui {

QString qs(const std::string& sjis) { return QString::fromStdU16String(sjis::toUtf16(sjis)); }

std::string sj(const QString& text, std::size_t* unmappable)
{
    return sjis::fromUtf16(text.toStdU16String(), unmappable);
}

std::string corePath(const QString& nativePath) { return fs::fromNative(nativePath.toStdString()); }

QString nativePath(const std::string& sjisPath) { return QString::fromStdString(fs::toNative(sjisPath)); }

QString dialogFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (parts[i].contains(QLatin1Char('(')) ? parts[i] : parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace sheaf::ui
