#include "main/pageeditor.h"

#include "common/sjis.h"
#include "common/text.h"
#include "main/linelexer.h"

#include <QKeyEvent>

namespace sheaf::ui {

PageEditor::PageEditor(QWidget* parent, bool headingRules)
    : QsciScintilla(parent), m_lexer(new LineLexer(this, headingRules))
{
    setUtf8(true);
    setLexer(m_lexer);
    // New lines typed in a page end with CR LF like the rest of the file.
    setEolMode(EolWindows);
    setMarginWidth(0, 0);
    setMarginWidth(1, 0);
    SendScintilla(SCI_SETMARGINLEFT, 0, 4L);
    setAutoIndent(true);
    setTabWidth(8);
    connect(this, &QsciScintilla::cursorPositionChanged, this, [this](int, int) { emit caretMoved(); });
}

QByteArray PageEditor::utf8Text() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto* data = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return QByteArray(data, static_cast<int>(length));
}

void PageEditor::setPageBytes(const std::string& sjisBytes)
{
    const std::string utf8 = sjis::toUtf8(sjisBytes);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    // Appended with its length, so NUL bytes are kept as well.
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.data());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setModified(false);
    setCursorPosition(0, 0);
    recolour();
}

std::string PageEditor::pageBytes(std::size_t* unmappable) const
{
    const QByteArray utf8 = utf8Text();
    return sjis::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), unmappable);
}

std::vector<std::string> PageEditor::pageLines() const { return splitLines(pageBytes()); }

void PageEditor::setPageLines(const std::vector<std::string>& lines) { setPageBytes(joinLines(lines)); }

std::string PageEditor::firstLine() const
{
    // Only the first line is read: the title is taken on every item change.
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, 0UL);
    if (end <= 0)
        return {};
    QByteArray utf8(static_cast<int>(end), '\0');
    SendScintilla(SCI_GETTEXTRANGE, 0L, end, utf8.data());
    return sjis::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

int PageEditor::caretRow() const
{
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    return line;
}

int PageEditor::caretColumn() const
{
    const long pos = SendScintilla(SCI_GETCURRENTPOS);
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, SendScintilla(SCI_LINEFROMPOSITION, pos));
    if (pos <= lineStart)
        return 0;
    QByteArray utf8(static_cast<int>(pos - lineStart), '\0');
    SendScintilla(SCI_GETTEXTRANGE, lineStart, pos, utf8.data());
    return static_cast<int>(sjis::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))).size());
}

void PageEditor::setBoxSelection(bool on)
{
    // The mode lives here, not in the control: a click would reset the
    // control's own selection mode while the menu still showed box mode.
    m_boxMode = on;
    if (!on && SendScintilla(SCI_SELECTIONISRECTANGLE))
        SendScintilla(SCI_SETEMPTYSELECTION, SendScintilla(SCI_GETCURRENTPOS));
}

bool PageEditor::boxSelection() const { return m_boxMode; }

long PageEditor::positionAt(const QPoint& point) const
{
    return SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(std::max(0, point.x())),
                         static_cast<long>(std::max(0, point.y())));
}

void PageEditor::mouseMoveEvent(QMouseEvent* e)
{
    // In box mode a drag spans a rectangle from where the button went down.
    if (m_boxMode && m_boxAnchor >= 0 && (e->buttons() & Qt::LeftButton)) {
        SendScintilla(SCI_SETRECTANGULARSELECTIONANCHOR, static_cast<unsigned long>(m_boxAnchor));
        SendScintilla(SCI_SETRECTANGULARSELECTIONCARET, static_cast<unsigned long>(positionAt(e->position().toPoint())));
        emit caretMoved();
        return;
    }
    QsciScintilla::mouseMoveEvent(e);
}

void PageEditor::mouseReleaseEvent(QMouseEvent* e)
{
    if (m_boxMode && m_boxAnchor >= 0 && e->button() == Qt::LeftButton) {
        m_boxAnchor = -1;
        return;
    }
    QsciScintilla::mouseReleaseEvent(e);
}

void PageEditor::keyPressEvent(QKeyEvent* e)
{
    if (m_boxMode && e->modifiers() == Qt::ShiftModifier) {
        static const struct {
            int key;
            int command;
        } extend[] = {{Qt::Key_Left, SCI_CHARLEFTRECTEXTEND},  {Qt::Key_Right, SCI_CHARRIGHTRECTEXTEND},
                      {Qt::Key_Up, SCI_LINEUPRECTEXTEND},      {Qt::Key_Down, SCI_LINEDOWNRECTEXTEND},
                      {Qt::Key_Home, SCI_VCHOMERECTEXTEND},    {Qt::Key_End, SCI_LINEENDRECTEXTEND},
                      {Qt::Key_PageUp, SCI_PAGEUPRECTEXTEND}, {Qt::Key_PageDown, SCI_PAGEDOWNRECTEXTEND}};
        for (const auto& k : extend) {
            if (e->key() == k.key) {
                SendScintilla(static_cast<unsigned int>(k.command));
                e->accept();
                emit caretMoved();
                return;
            }
        }
    }
    QsciScintilla::keyPressEvent(e);
}

std::string PageEditor::selectedBytes() const
{
    const long length = SendScintilla(SCI_GETSELTEXT, 0UL, static_cast<void*>(nullptr));
    if (length <= 0)
        return {};
    QByteArray utf8(static_cast<int>(length) + 1, '\0');
    SendScintilla(SCI_GETSELTEXT, 0UL, utf8.data());
    utf8.resize(static_cast<int>(qstrnlen(utf8.constData(), static_cast<uint>(utf8.size()))));
    return sjis::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void PageEditor::replaceSelectedBytes(const std::string& sjisBytes)
{
    const std::string utf8 = sjis::toUtf8(sjisBytes);
    SendScintilla(SCI_REPLACESEL, utf8.c_str());
}

void PageEditor::recolour()
{
    if (lexer())
        SendScintilla(SCI_COLOURISE, 0L, -1L);
}

bool PageEditor::event(QEvent* e)
{
    // QScintilla claims keys such as Ctrl+Up for itself; the window's
    // commands bound to them come first.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const QKeySequence pressed(key->keyCombination());
        for (const QKeySequence& k : m_windowKeys) {
            if (k == pressed) {
                e->ignore();
                return false;
            }
        }
    }
    return QsciScintilla::event(e);
}

void PageEditor::keyReleaseEvent(QKeyEvent* e)
{
    QsciScintilla::keyReleaseEvent(e);
    emit caretMoved();
}

void PageEditor::mousePressEvent(QMouseEvent* e)
{
    if (m_boxMode && e->button() == Qt::LeftButton && e->modifiers() == Qt::NoModifier) {
        setFocus();
        m_boxAnchor = positionAt(e->position().toPoint());
        SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(m_boxAnchor));
    } else {
        QsciScintilla::mousePressEvent(e);
    }
    emit caretMoved();
}

void PageEditor::focusInEvent(QFocusEvent* e)
{
    QsciScintilla::focusInEvent(e);
    emit focusEntered();
}

} // namespace sheaf::ui
