#pragma once
// Whole-line colouring of the page editors: lines ending with the full-width
// at sign, keyword lines, and the lines that hold the tool-bar page search.
#include <Qsci/qscilexercustom.h>

#include <QColor>

#include <string>
#include <vector>

namespace sheaf::ui {

class LineLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    enum Style { Default = 0, AtMark = 1, Keyword = 2, Search = 3, LineEnd = 4, TagName = 5 };

    // The HTML editor uses only the search rule.
    LineLexer(QObject* parent, bool headingRules);

    const char* language() const override { return "SheafPage"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;

    // Keywords as Shift-JIS bytes; compared without regard to ASCII case.
    void setKeywords(std::vector<std::string> keywords);
    // The search text (Shift-JIS) and whether the page search is on; fewer
    // than two bytes highlight nothing.
    void setSearch(bool on, std::string text);
    void setLineColors(const QColor& atMark, const QColor& keyword, const QColor& search);
    // Colour of the line-break marks.
    void setMarkColor(const QColor& color) { setColor(color, LineEnd); }
    // HTML tag names ("<br", "</body", ...) drawn in their own colour on lines
    // that have no line colour (the customize dialog's preview).
    void setTagNames(std::vector<std::string> names, const QColor& color);
    // Text colour and background of every style, and the font.
    void setBaseColors(const QColor& fore, const QColor& back);

    // The style a line gets (the line as Shift-JIS bytes, without its line end).
    Style styleFor(const std::string& line) const;

private:
    bool m_headingRules;
    std::vector<std::string> m_keywords;
    bool m_searchOn = false;
    std::string m_search;
    std::vector<std::string> m_tagNames;
};

} // namespace sheaf::ui
