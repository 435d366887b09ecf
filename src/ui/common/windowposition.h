#pragma once
// Window positions in Sheaf3.ini ("left,top,width,height" under a section and key).
#include <string>

class QWidget;

namespace sheaf::ui {

class CFormPosition {
public:
    explicit CFormPosition(std::string iniPath) : m_iniPath(std::move(iniPath)) {}
    // Applies the stored bounds (or the defaults) to the window. A damaged
    // value applies the items before the damage and answers its error text.
    std::string ReadFormPosition(QWidget* form, const std::string& section, const std::string& key, int left, int top,
                                 int width, int height) const;
    // Stores the window's restored bounds, left and top raised to 0.
    void WriteFormPosition(QWidget* form, const std::string& section, const std::string& key) const;

private:
    std::string m_iniPath;
};

} // namespace sheaf::ui
