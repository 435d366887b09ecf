#include "common/colors.h"

#include <QApplication>
#include <QPalette>

namespace sheaf::ui {

QColor toQColor(TColor color)
{
    if (!isSystemColor(color)) {
        const auto v = static_cast<std::uint32_t>(color);
        return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
    }
    const QPalette palette = QApplication::palette();
    switch (static_cast<std::uint32_t>(color) & 0xFF) {
    case 4: return palette.color(QPalette::Window);            // menu
    case 5: return palette.color(QPalette::Base);              // window
    case 7: return palette.color(QPalette::WindowText);        // menu text
    case 8: return palette.color(QPalette::Text);              // window text
    case 12: return palette.color(QPalette::Dark);             // application workspace
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);           // button face
    case 16: return palette.color(QPalette::Mid);              // button shadow
    case 17: return palette.color(QPalette::Disabled, QPalette::Text); // grey text
    case 18: return palette.color(QPalette::ButtonText);
    case 20: return palette.color(QPalette::Light);            // button highlight
    case 21: return palette.color(QPalette::Shadow);           // dark shadow
    case 22: return palette.color(QPalette::Midlight);         // 3D light
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    case 26: return palette.color(QPalette::Link);             // hot light
    default: return palette.color(QPalette::Window);
    }
}

} // namespace sheaf::ui
