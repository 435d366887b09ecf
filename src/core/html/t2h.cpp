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
}

void clsT2H::ConvertLines(const std::vector<std::string>& source, std::vector<std::string>& result)
{
    ConvertLines(std::vector<std::string>(source), result);
}

void clsT2H::ConvertLines(std::vector<std::string>&& w, std::vector<std::string>& result)
{
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

    std::vector<std::string> out;
    out.reserve(w.size() + m_settings.headerLines.size() + 16);
    out.emplace_back("<html>");
    out.emplace_back("<head>");
    out.insert(out.end(), m_settings.headerLines.begin(), m_settings.headerLines.end());
    out.push_back("<title>" + w[0] + "</title>");
    out.emplace_back("</head>");
    out.emplace_back("<body>");
    out.push_back(heading(m_settings.firstLineSize, w[0]));
    appendBody(w, out);
    out.emplace_back("</body>");
    out.emplace_back("</html>");

    expandAndRestore(out);
    if (!m_settings.searchStrings.empty())
        ApplySearchReplace(out);
    result = std::move(out);
}

void clsT2H::appendBody(std::vector<std::string>& w, std::vector<std::string>& out) const
{
    bool inBullets = false;
    bool inNumbers = false;
    bool inTable = false;
    for (std::size_t j = 1; j < w.size(); ++j) {
        // Each source line is released once it has been turned into output,
        // so a large page is not held twice.
        std::string line = std::move(w[j]);
        if (IsKeywordLine(line, m_settings.keywords)) {
            out.push_back(heading(m_settings.keywordLineSize, line));
            continue;
        }
        if (startsWith(line, noteMark())) {
            const std::string_view rest = std::string_view(line).substr(noteMark().size());
            out.emplace_back("<blockquote>");
            out.push_back(m_noteImage.empty() ? std::string(rest)
                                              : "<img src=\"" + m_noteImage + "\">  " + std::string(rest));
            out.emplace_back("</blockquote>");
            continue;
        }
        if (endsWithAtMark(line)) {
            out.push_back(heading(m_settings.headerLineSize, std::string_view(line).substr(0, line.size() - 2)));
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
            out.emplace_back("</ul>");
            inBullets = false;
        } else if (inNumbers && style != LineStyle::Numbered) {
            out.emplace_back("</ol>");
            inNumbers = false;
        } else if (inTable && style != LineStyle::TableRow) {
            out.emplace_back("</table>");
            inTable = false;
        }

        switch (style) {
        case LineStyle::RawHeading: // written as it stands, like a placeholder
        case LineStyle::Placeholder:
            out.push_back(std::move(line));
            break;
        case LineStyle::Rule:
            out.emplace_back("<hr>");
            break;
        case LineStyle::Bullet:
            if (!inBullets) {
                out.emplace_back("<ul>");
                inBullets = true;
            }
            out.push_back(wrapped("<li>", std::string_view(line).substr(2), "</li>"));
            break;
        case LineStyle::Numbered:
            if (!inNumbers) {
                out.emplace_back("<ol>");
                inNumbers = true;
            }
            // The tags are masked here: their mark bytes are not blanks.
            out.push_back(wrapped("<li>", TrimEx(std::string_view(line).substr(line.find('.') + 1), true), "</li>"));
            break;
        case LineStyle::TableRow: {
            if (!inTable) {
                out.emplace_back("<table border=\"1\">");
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
            out.emplace_back("<tr valign=\"top\">");
            for (const auto& cell : cells)
                out.push_back(header ? wrapped("<th>", cell, "</th>") : wrapped("<td>", cell, "</td>"));
            out.emplace_back("</tr>");
            break;
        }
        case LineStyle::Empty:
            out.emplace_back("<p>");
            break;
        case LineStyle::Plain:
            // A new string of the exact size: growing the line in place
            // would double its buffer.
            out.push_back(wrapped({}, line, "<br>"));
            break;
        }
    }
    if (inBullets)
        out.emplace_back("</ul>");
    if (inNumbers)
        out.emplace_back("</ol>");
    if (inTable)
        out.emplace_back("</table>");
}

void clsT2H::expandAndRestore(std::vector<std::string>& lines) const
{
    // Placeholder lines give way to their blocks; a placeholder typed in the
    // page that names no block fails the conversion.
    std::size_t extra = 0;
    bool any = false;
    for (const auto& line : lines) {
        if (line.size() > 3 && startsWith(line, kPlaceholderMarker)) {
            const std::string_view digits = std::string_view(line).substr(3);
            std::size_t n = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
            if (ec != std::errc() || end != digits.data() + digits.size())
                throw SheafError("'" + std::string(digits) + "' is not a valid integer value");
            if (n >= m_blocks.size())
                throw SheafError("List index out of bounds (" + std::string(digits) + ")");
            extra += m_blocks[n].size();
            any = true;
        }
    }
    if (any) {
        std::vector<std::string> expanded;
        expanded.reserve(lines.size() + extra);
        for (auto& line : lines) {
            if (line.size() > 3 && startsWith(line, kPlaceholderMarker)) {
                const auto& block = m_blocks[std::stoul(line.substr(3))];
                expanded.insert(expanded.end(), block.begin(), block.end());
            } else {
                expanded.push_back(std::move(line));
            }
        }
        lines = std::move(expanded);
    }
    for (auto& line : lines) {
        unmaskProtectedTags(line);
        if (line.size() >= 9 && line.find("pre><br>") != std::string::npos) {
            line = replaceAll(line, "<pre><br>", "<pre>");
            line = replaceAll(line, "</pre><br>", "</pre>");
        }
    }
}

void clsT2H::ApplySearchReplace(std::vector<std::string>& lines) const
{
    const auto& search = m_settings.searchStrings;
    const auto& replace = m_settings.replaceStrings;
    if (replace.size() < search.size())
        throw SheafError(sjis::sj("置換後の文字列がない検索文字列があります（HTML 化用初期化ファイルの [Search] と "
                                  "[Replace] の数が合いません）: ") +
                         search[replace.size()]);
    for (auto& line : lines) {
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
}

void clsT2H::ConvertFile(const std::string& pagePath, const std::string& htmlPath)
{
    static const std::string cannotRead = sjis::sj("ページファイルを読み込めませんでした");
    static const std::string cannotWrite = sjis::sj("HTML ファイルを書き込めませんでした");
    std::vector<std::string> lines;
    {
        const std::string text = fs::readFile(pagePath, cannotRead);
        lines = splitLines(text);
    }
    std::vector<std::string> result;
    ConvertLines(std::move(lines), result);
    fs::writeLinesAtomic(htmlPath, result, cannotWrite, false);
}

} // namespace sheaf::html
