#include "main/customizeeditor.h"

#include "common/colors.h"
#include "common/colorset.h"
#include "common/fonts.h"
#include "common/inifile.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "main/linelexer.h"
#include "main/pageeditor.h"

namespace sheaf::ui {

void clsCustomizeEditor::ApplySettings(bool wordWrap)
{
    const IniFile ini(m_iniPath);
    m_customizer = ini.readInteger("Customize", "Customizer", 1);

    const QFont font = makeFont(qs(ini.readString("Customize", "TextFontName", sjis::sj("ＭＳ ゴシック"))),
                                ini.readInteger("Customize", "TextFontSize", 10));
    m_editor->setFont(font);
    if (LineLexer* lexer = m_editor->lineLexer()) {
        lexer->setDefaultFont(font);
        lexer->setFont(font, -1);
    }

    const int tabChoice = ini.readInteger("Customize", "TextTabWidth", 0);
    m_editor->setTabWidth(tabChoice == 1 ? 4 : tabChoice == 2 ? 8 : 2);
    m_editor->setAutoIndent(false);

    // Extra space between lines goes half above and half below each line.
    const int lineSpace = ini.readInteger("Customize", "TextLineSpace", 2);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETEXTRAASCENT, static_cast<long>(lineSpace / 2));
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETEXTRADESCENT, static_cast<long>(lineSpace - lineSpace / 2));
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETMARGINLEFT, 0UL, 4L);

    ApplyColors(m_customizer);
    m_editor->setEolVisibility(true);

    if (wordWrap) {
        m_editor->setWrapMode(QsciScintilla::WrapCharacter);
        m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else {
        m_editor->setWrapMode(QsciScintilla::WrapNone);
        m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

void clsCustomizeEditor::ApplyColors(int scheme)
{
    const EditorColors c = editorColors(scheme, IniFile(m_iniPath));
    const QColor fore = toQColor(c.textFore);
    const QColor back = toQColor(c.textBack);
    m_editor->setPaper(back);
    m_editor->setColor(fore);
    m_editor->setCaretForegroundColor(fore);
    m_editor->setSelectionBackgroundColor(toQColor(c.selectBack));
    m_editor->setSelectionForegroundColor(toQColor(c.selectFore));
    if (LineLexer* lexer = m_editor->lineLexer()) {
        lexer->setBaseColors(fore, back);
        lexer->setMarkColor(toQColor(c.marks));
    }
}

} // namespace sheaf::ui
