#pragma once
// Applies the editor settings of Sheaf3.ini to one page editor.
#include <string>

namespace sheaf::ui {

class PageEditor;

class clsCustomizeEditor {
public:
    clsCustomizeEditor(PageEditor* editor, std::string iniPath) : m_editor(editor), m_iniPath(std::move(iniPath)) {}

    // Font, tab width, margins, spacing, colours and wrapping, read from the file.
    void ApplySettings(bool wordWrap);
    // One colour scheme: 0 dark, 1 standard, 2 the colour keys of the file.
    void ApplyColors(int scheme);
    void SetCustomizer(int scheme) { m_customizer = scheme; }
    int customizer() const { return m_customizer; }

private:
    PageEditor* m_editor;
    std::string m_iniPath;
    int m_customizer = 1;
};

} // namespace sheaf::ui
