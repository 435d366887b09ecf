#include "common/icons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace sheaf::ui {

QIcon badgeIcon(const QString& text)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x2e, 0x34, 0x36), size / 16.0));
        p.setBrush(QColor(0xf6, 0xf5, 0xf4));
        p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 6.0, size / 6.0);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(text.size() > 1 ? size * 7 / 16 : size * 10 / 16);
        p.setFont(font);
        p.setPen(QColor(0x2e, 0x34, 0x36));
        p.drawText(pixmap.rect(), Qt::AlignCenter, text);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon toolIcon(const char* themeName, const QString& badgeText)
{
    const QString name = QString::fromLatin1(themeName);
    for (const QString& candidate : {name + QStringLiteral("-symbolic"), name}) {
        if (QIcon::hasThemeIcon(candidate))
            return QIcon::fromTheme(candidate);
    }
    return badgeIcon(badgeText);
}

} // namespace sheaf::ui
