#include "main/linelexer.h"

#include "common/qtext.h"
#include "common/sjis.h"
#include "common/text.h"
#include "html/linerules.h"

#include <Qsci/qsciscintilla.h>

namespace sheaf::ui {

LineLexer::LineLexer(QObject* parent, bool headingRules) : QsciLexerCustom(parent), m_headingRules(headingRules) {}

QString LineLexer::description(int style) const
{
    switch (style) {
    case Default: return QStringLiteral("Default");
    case AtMark: return QStringLiteral("At mark");
    case Keyword: return QStringLiteral("Keyword");
    case Search: return QStringLiteral("Search");
    case LineEnd: return QStringLiteral("Line end");
    default: return {};
    }
}

void LineLexer::setKeywords(std::vector<std::string> keywords) { m_keywords = std::move(keywords); }

void LineLexer::setSearch(bool on, std::string text)
{
    m_searchOn = on;
    m_search = std::move(text);
}

void LineLexer::setLineColors(const QColor& atMark, const QColor& keyword, const QColor& search)
{
    setColor(atMark, AtMark);
    setColor(keyword, Keyword);
    setColor(search, Search);
}

void LineLexer::setBaseColors(const QColor& fore, const QColor& back)
{
    setDefaultColor(fore);
    setDefaultPaper(back);
    setColor(fore, Default);
    for (int s : {Default, AtMark, Keyword, Search, LineEnd, TagName})
        setPaper(back, s);
}

void LineLexer::setTagNames(std::vector<std::string> names, const QColor& color)
{
    m_tagNames = std::move(names);
    setColor(color, TagName);
}

LineLexer::Style LineLexer::styleFor(const std::string& line) const
{
    if (m_searchOn && m_search.size() >= 2 && findNoCase(line, m_search) != std::string::npos)
        return Search;
    if (!m_headingRules)
        return Default;
    if (html::endsWithAtMark(line))
        return AtMark;
    if (line.size() <= 16)
        for (const auto& word : m_keywords)
            if (equalsNoCase(line, word))
                return Keyword;
    return Default;
}

void LineLexer::styleText(int start, int end)
{
    QsciScintilla* ed = editor();
    if (!ed)
        return;
    const int firstLine = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    const int lastLine = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    for (int line = firstLine; line <= lastLine; ++line) {
        const long lineStart = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        const long lineEnd = ed->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line);
        const long next = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1);
        const long stop = next > lineEnd ? next : lineEnd;
        QByteArray utf8(static_cast<int>(lineEnd - lineStart), '\0');
        if (lineEnd > lineStart)
            ed->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, lineStart, lineEnd, utf8.data());
        const Style style = styleFor(sjis::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))));
        // The line-break marks are drawn in the colour of their own style.
        startStyling(static_cast<int>(lineStart));
        setStyling(static_cast<int>(lineEnd - lineStart), style);
        if (stop > lineEnd)
            setStyling(static_cast<int>(stop - lineEnd), LineEnd);
        if (style == Default && !m_tagNames.empty()) {
            // At "<" the first tag name of the list that the text starts with
            // (or "<" alone), and every ">", take the tag colour.
            for (int i = 0; i < utf8.size(); ++i) {
                int length = 0;
                if (utf8[i] == '>') {
                    length = 1;
                } else if (utf8[i] == '<') {
                    length = 1;
                    for (const auto& name : m_tagNames)
                        if (utf8.size() - i >= static_cast<int>(name.size()) &&
                            std::string_view(utf8.constData() + i, name.size()) == name) {
                            length = static_cast<int>(name.size());
                            break;
                        }
                }
                if (length > 0) {
                    startStyling(static_cast<int>(lineStart) + i);
                    setStyling(length, TagName);
                    i += length - 1;
                }
            }
        }
    }
}

} // namespace sheaf::ui
