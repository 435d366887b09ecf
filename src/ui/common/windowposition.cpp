#include "common/windowposition.h"

#include "common/error.h"
#include "common/formposition.h"
#include "common/inifile.h"

#include <QWidget>

namespace sheaf::ui {

std::string CFormPosition::ReadFormPosition(QWidget* form, const std::string& section, const std::string& key,
                                            int left, int top, int width, int height) const
{
    const std::string def = std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(width) + "," +
                            std::to_string(height);
    const std::string value = IniFile(m_iniPath).readString(section, key, def);
    FormRect r{form->x(), form->y(), form->width(), form->height()};
    std::string error;
    try {
        parseFormPosition(value, r);
    } catch (const SheafError& e) {
        error = e.what();
    }
    form->move(r.left, r.top);
    form->resize(r.width, r.height);
    return error;
}

void CFormPosition::WriteFormPosition(QWidget* form, const std::string& section, const std::string& key) const
{
    // normalGeometry() is the restored rectangle of a maximised or minimised window.
    const QRect g = (form->isMaximized() || form->isMinimized() || form->isFullScreen()) && form->normalGeometry().isValid()
                        ? form->normalGeometry()
                        : QRect(form->pos(), form->size());
    IniFile(m_iniPath).writeString(section, key, formatFormPosition({g.x(), g.y(), g.width(), g.height()}));
}

} // namespace sheaf::ui
