#pragma once
// The page editors: a QScintilla editor that holds the page's Shift-JIS bytes
// through the lossless codec, so a page that was not typed in is written back
// byte for byte, whatever line ends or undecodable bytes it holds.
#include <Qsci/qsciscintilla.h>

#include <QKeySequence>
#include <QList>

#include <string>
#include <vector>

namespace sheaf::ui {

class LineLexer;

class PageEditor : public QsciScintilla {
    Q_OBJECT
public:
    PageEditor(QWidget* parent, bool headingRules);

    LineLexer* lineLexer() const { return m_lexer; }

    // Replaces the text with the page bytes: caret at the start, nothing to
    // undo, not modified.
    void setPageBytes(const std::string& sjisBytes);
    // The text as Shift-JIS bytes; *unmappable counts characters that became '?'.
    std::string pageBytes(std::size_t* unmappable = nullptr) const;
    // The lines as Shift-JIS bytes (without line ends).
    std::vector<std::string> pageLines() const;
    // Replaces the text with lines joined by CR LF (a converted HTML page).
    void setPageLines(const std::vector<std::string>& lines);
    std::string firstLine() const;

    int caretRow() const;
    // Caret column in Shift-JIS bytes, as the page file counts them.
    int caretColumn() const;

    void setBoxSelection(bool on);
    bool boxSelection() const;
    // The selected text as Shift-JIS bytes (also for a selection made from code).
    std::string selectedBytes() const;
    void replaceSelectedBytes(const std::string& sjisBytes);

    // Keys that the window's commands take even while the editor has the focus.
    void setWindowShortcuts(const QList<QKeySequence>& keys) { m_windowKeys = keys; }

    // Re-colour every line (after the keywords or the search changed).
    void recolour();

signals:
    void caretMoved();
    void focusEntered();

protected:
    bool event(QEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    QByteArray utf8Text() const;
    long positionAt(const QPoint& point) const;

    LineLexer* m_lexer;
    QList<QKeySequence> m_windowKeys;
    bool m_boxMode = false;
    long m_boxAnchor = -1; // where the button went down in box mode
};

} // namespace sheaf::ui
