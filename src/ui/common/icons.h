#pragma once
// Tool bar icons: the freedesktop icon theme's, else a small drawn badge.
#include <QIcon>
#include <QString>

namespace sheaf::ui {

// The theme's icon "name-symbolic" or "name"; when the theme has neither, a
// badge showing badgeText, so that a tool button never grows to a caption.
QIcon toolIcon(const char* themeName, const QString& badgeText);
// A drawn badge with a short text ("T1", "M2").
QIcon badgeIcon(const QString& text);

} // namespace sheaf::ui
