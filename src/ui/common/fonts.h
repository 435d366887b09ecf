#pragma once
#include <QFont>
#include <QString>

namespace sheaf::ui {

// Fonts named in the settings ("ＭＳ ゴシック", "MS UI Gothic", …) that are not
// installed are drawn with an installed Japanese font of the same kind, so
// that widths follow a Japanese font rather than the default Latin one.
void installJapaneseFontSubstitutes();

// The installed family that draws a stored font name.
QString installedFamily(const QString& family);
QFont makeFont(const QString& family, int pointSize);

} // namespace sheaf::ui
