#pragma once
#include "common/colorset.h"

#include <QColor>

namespace sheaf::ui {

// A stored colour as the widgets show it; system colours follow the palette.
QColor toQColor(TColor color);

} // namespace sheaf::ui
