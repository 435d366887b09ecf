#include "main/statuspanels.h"

#include <QFontMetrics>
#include <QPainter>

namespace sheaf::ui {

StatusPanel::StatusPanel(QWidget* parent, bool centred) : QWidget(parent), m_centred(centred) {}

void StatusPanel::setText(const QString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    update();
}

QSize StatusPanel::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(m_text) + 12, fm.height() + 6};
}

void StatusPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid)); // the button-shadow line along the top edge
    p.drawLine(0, 0, width(), 0);
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font());
    const int y = (height() - fm.height()) / 2 + 2;
    const int x = m_centred ? (width() - fm.horizontalAdvance(m_text)) / 2 : 4;
    p.drawText(x, y + fm.ascent(), m_text);
}

QString shortenPathToWidth(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const QChar sep = path.contains(QLatin1Char('\\')) && !path.contains(QLatin1Char('/')) ? QLatin1Char('\\')
                                                                                          : QLatin1Char('/');
    QStringList parts = path.split(sep);
    if (parts.size() < 3)
        return metrics.elidedText(path, Qt::ElideMiddle, width);
    // Keep as many leading folders as fit, "..." for the rest, and the file name.
    const QString name = parts.takeLast();
    for (qsizetype keep = parts.size() - 1; keep >= 1; --keep) {
        const QString candidate = QStringList(parts.mid(0, keep)).join(sep) + sep + QStringLiteral("...") + sep + name;
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    const QString shortest = parts.first() + sep + QStringLiteral("...") + sep + name;
    return metrics.horizontalAdvance(shortest) <= width ? shortest : metrics.elidedText(shortest, Qt::ElideLeft, width);
}

} // namespace sheaf::ui
