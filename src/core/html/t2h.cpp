#include "html/t2h.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"
#include "html/linerules.h"

#include <charconv>

namespace sheaf::html {
namespace {

std::string heading(int level, std::string_view text)
{
    const std::string n = std::to_string(level);
    std::string out;
    out.reserve(text.size() + 10);
    out += "<h" + n + ">";
    out += text;
    out += "</h" + n + ">";
    return out;
}

std::string wrapped(std::string_view before, std::string_view text, std::string_view after)
{
    std::string out;
    out.reserve(before.size() + text.size() + after.size());
    out += before;
    out += text;
    out += after;
    return out;
}

const std::string& noteMark()
{
    static const std::string s = sjis::sj("注：");
    return s;
}

const std::string& atMark()
{
    static const std::string s = sjis::sj("＠");
    return s;
}

} // namespace

clsT2H::clsT2H(std::string settingsPath) : m_settingsPath(std::move(settingsPath))
{
    try {
        m_settings = ReadSettings(m_settingsPath);
    } catch (const std::exception& e) {
        m_settingsWarning = e.what();
        if (m_settings.headerLines.empty())
            m_settings.headerLines = defaultHeaderLines();
    }
    if (!m_settings.quoteImageFile.empty())
        m_noteImage = "images/" + fileNamePart(m_settings.quoteImageFile);
}

void clsT2H::ClearPageStores()
{
    m_tags.clear();
    m_blocks.clear();
    m_pages.pages.clear();
}

void clsT2H::ConvertLines(const std::vector<std::string>& source, std::vector<std::string>& result)
{
    collect(PageLines::fromLines(source), result);
}

void clsT2H::ConvertLines(std::vector<std::string>&& source, std::vector<std::string>& result)
{
    PageLines page = PageLines::fromLines(source);
    std::vector<std::string>().swap(source); // held once, as the page
    collect(std::move(page), result);
}

void clsT2H::collect(PageLines&& page, std::vector<std::string>& result)
{
    std::vector<std::string> out;
    out.reserve(page.size() + m_settings.headerLines.size() + 16);
    convert(std::move(page), [&out](std::string&& line) { out.push_back(std::move(line)); });
    result = std::move(out);
}

void clsT2H::convert(PageLines&& lines, const Sink& sink)
{
    m_pages.pages.push_back(std::move(lines));
    PageLines& w = m_pages.pages.back();
    DoPre(w, m_blocks);
    try {
        TrimAllList(w);
    } catch (const std::exception& e) {
        throw SheafError(std::string("TrimAllList error\n") + e.what());
    }
    try {
        DeleteDottedLine(w);
    } catch (const std::exception& e) {
        throw SheafError(std::string("DeleteDottedLine ") + e.what());
    }
    ConvertMarkToStringName(w, m_tags);
    if (w.empty())
        throw SheafError("List index out of bounds (0)");
    // Every failure of the later steps is found before the first line goes
    // out: the lines are finished and handed on one by one from here.
    checkPlaceholders(w);
    if (!m_settings.searchStrings.empty() && m_settings.replaceStrings.size() < m_settings.searchStrings.size())
        throw SheafError(sjis::sj("置換後の文字列がない検索文字列があります（HTML 化用初期化ファイルの [Search] と "
                                  "[Replace] の数が合いません）: ") +
                         m_settings.searchStrings[m_settings.replaceStrings.size()]);

    const Emit emit = [&](std::string&& line) { finishLine(std::move(line), sink); };
    emit("<html>");
    emit("<head>");
    for (const auto& header : m_settings.headerLines)
        emit(std::string(header));
    emit(wrapped("<title>", w[0], "</title>"));
    emit("</head>");
    emit("<body>");
    emit(heading(m_settings.firstLineSize, w[0]));
    appendBody(w, emit);
    emit("</body>");
    emit("</html>");
}

void clsT2H::appendBody(const PageLines& w, const Emit& emit) const
{
    bool inBullets = false;
    bool inNumbers = false;
    bool inTable = false;
    for (std::size_t j = 1; j < w.size(); ++j) {
        const std::string_view line = w[j];
        if (IsKeywordLine(line, m_settings.keywords)) {
            emit(heading(m_settings.keywordLineSize, line));
            continue;
        }
        if (startsWith(line, noteMark())) {
            const std::string_view rest = line.substr(noteMark().size());
            emit("<blockquote>");
            emit(m_noteImage.empty() ? std::string(rest)
                                              : "<img src=\"" + m_noteImage + "\">  " + std::string(rest));
            emit("</blockquote>");
            continue;
        }
        if (endsWithAtMark(line)) {
            emit(heading(m_settings.headerLineSize, line.substr(0, line.size() - 2)));
            continue;
        }

        LineStyle style;
        try {
            style = CheckPatternStyle(line);
        } catch (const std::exception& e) {
            throw SheafError(std::string("CheckPatternStyle error ") + e.what());
        }
        // At most one open list closes on one line.
        if (inBullets && style != LineStyle::Bullet) {
            emit("</ul>");
            inBullets = false;
        } else if (inNumbers && style != LineStyle::Numbered) {
            emit("</ol>");
            inNumbers = false;
        } else if (inTable && style != LineStyle::TableRow) {
            emit("</table>");
            inTable = false;
        }

        switch (style) {
        case LineStyle::RawHeading: // written as it stands, like a placeholder
        case LineStyle::Placeholder:
            emit(std::string(line));
            break;
        case LineStyle::Rule:
            emit("<hr>");
            break;
        case LineStyle::Bullet:
            if (!inBullets) {
                emit("<ul>");
                inBullets = true;
            }
            emit(wrapped("<li>", line.substr(2), "</li>"));
            break;
        case LineStyle::Numbered:
            if (!inNumbers) {
                emit("<ol>");
                inNumbers = true;
            }
            // The tags are masked here: their mark bytes are not blanks.
            emit(wrapped("<li>", TrimExView(line.substr(line.find('.') + 1), true), "</li>"));
            break;
        case LineStyle::TableRow: {
            if (!inTable) {
                emit("<table border=\"1\">");
                inTable = true;
            }
            std::vector<std::string> cells;
            try {
                cells = SplitWithTab(line);
            } catch (const std::exception& e) {
                throw SheafError(std::string("SplitWithTab error ") + e.what());
            }
            const bool header = startsWith(cells[0], atMark());
            if (header)
                cells[0].erase(0, atMark().size());
            emit("<tr valign=\"top\">");
            for (const auto& cell : cells)
                emit(header ? wrapped("<th>", cell, "</th>") : wrapped("<td>", cell, "</td>"));
            emit("</tr>");
            break;
        }
        case LineStyle::Empty:
            emit("<p>");
            break;
        case LineStyle::Plain:
            // A new string of the exact size: growing the line in place
            // would double its buffer.
            emit(wrapped({}, line, "<br>"));
            break;
        }
    }
    if (inBullets)
        emit("</ul>");
    if (inNumbers)
        emit("</ol>");
    if (inTable)
        emit("</table>");
}

std::optional<std::size_t> clsT2H::placeholderBlock(std::string_view line) const
{
    // Placeholder lines give way to their blocks; a placeholder typed in the
    // page that names no block fails the conversion.
    if (line.size() <= 3 || !startsWith(line, kPlaceholderMarker))
        return std::nullopt;
    const std::string_view digits = line.substr(3);
    std::size_t n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size())
        throw SheafError("'" + std::string(digits) + "' is not a valid integer value");
    if (n >= m_blocks.size())
        throw SheafError("List index out of bounds (" + std::string(digits) + ")");
    return n;
}

void clsT2H::checkPlaceholders(const PageLines& lines) const
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        placeholderBlock(lines[i]);
}

void clsT2H::finishLine(std::string&& line, const Sink& sink) const
{
    if (const auto block = placeholderBlock(line)) {
        const PreBlock& lines = m_blocks[*block];
        for (std::size_t k = 0; k < lines.size(); ++k)
            restoreLine(k == 0 ? std::string(lines[k]) : escapePreLine(lines[k]), sink);
        return;
    }
    restoreLine(std::move(line), sink);
}

void clsT2H::restoreLine(std::string&& line, const Sink& sink) const
{
    unmaskProtectedTags(line);
    if (line.size() >= 9 && line.find("pre><br>") != std::string::npos) {
        line = replaceAll(line, "<pre><br>", "<pre>");
        line = replaceAll(line, "</pre><br>", "</pre>");
    }
    if (!m_settings.searchStrings.empty())
        ApplySearchReplace(line);
    sink(std::move(line));
}

void clsT2H::ApplySearchReplace(std::string& line) const
{
    const auto& search = m_settings.searchStrings;
    const auto& replace = m_settings.replaceStrings;
    for (std::size_t i = 0; i < search.size(); ++i) {
        if (search[i].empty())
            continue;
        std::size_t hit = findNoCase(line, search[i]);
        if (hit == std::string::npos)
            continue;
        std::string out;
        std::size_t pos = 0;
        while (hit != std::string::npos) {
            out.append(line, pos, hit - pos);
            out += replace[i];
            pos = hit + search[i].size();
            hit = findNoCase(line, search[i], pos);
        }
        out.append(line, pos);
        line = std::move(out);
    }
}

std::string clsT2H::ConvertPage(const std::string& pagePath)
{
    std::string html;
    ConvertPageTo(pagePath, -1, [&html](std::string_view piece) { html += piece; });
    return html;
}

void clsT2H::ConvertPageTo(const std::string& pagePath, std::int64_t knownSize,
                           const std::function<void(std::string_view)>& out)
{
    static const std::string cannotRead = sjis::sj("ページファイルを読み込めませんでした");
    std::string text = knownSize < 0 ? fs::readFile(pagePath, cannotRead) : fs::readKnownFile(pagePath, knownSize, cannotRead);
    // The lines are views into the page's bytes, and each line goes out as it
    // is finished: a large page is held once, never as a list of strings nor
    // as one HTML string.
    convert(PageLines::fromText(std::move(text)), [&out](std::string&& line) {
        out(line);
        out("\r\n");
    });
}

void clsT2H::ConvertFile(const std::string& pagePath, const std::string& htmlPath)
{
    static const std::string cannotWrite = sjis::sj("HTML ファイルを書き込めませんでした");
    fs::writeFileAtomic(htmlPath, ConvertPage(pagePath), cannotWrite, false);
}

} // namespace sheaf::html
