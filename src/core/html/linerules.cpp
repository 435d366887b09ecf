#include "html/linerules.h"

#include "common/sjis.h"
#include "common/text.h"

#include <algorithm>

namespace sheaf::html {

bool startsWith(std::string_view line, std::string_view prefix)
{
    return line.size() >= prefix.size() && line.compare(0, prefix.size(), prefix) == 0;
}

bool endsWithAtMark(std::string_view line)
{
    if (line.size() < 2 || static_cast<unsigned char>(line[line.size() - 2]) != 0x81 ||
        static_cast<unsigned char>(line.back()) != 0x97)
        return false;
    // 0x81 must start a character: walk the line to find where the last one begins.
    std::size_t i = 0;
    std::size_t last = 0;
    while (i < line.size()) {
        last = i;
        i += (sjis::isLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size()) ? 2 : 1;
    }
    return last == line.size() - 2;
}

LineStyle CheckPatternStyle(std::string_view line)
{
    const std::size_t n = line.size();
    if (n == 0)
        return LineStyle::Empty;
    if (line.find('\t') != std::string_view::npos)
        return LineStyle::TableRow;
    if (n > 8 && startsWith(line, "<h") && line.back() == '>')
        return LineStyle::RawHeading;
    if (n > 5 && startsWith(line, "====="))
        return LineStyle::Rule;
    if (n > 3 && startsWith(line, "@~#"))
        return LineStyle::Placeholder;
    if (n > 1 && startsWith(line, "\x81\x45"))
        return LineStyle::Bullet;
    if (line[0] != '.') {
        std::size_t run = 0;
        while (run < n && line[run] >= '.' && line[run] <= '9')
            ++run;
        if (run > 0 && line[run - 1] == '.')
            return LineStyle::Numbered;
    }
    return LineStyle::Plain;
}

std::vector<std::string> SplitWithTab(std::string_view line)
{
    std::vector<std::string> cells;
    std::size_t i = 0;
    while (i <= line.size()) {
        const std::size_t tab = line.find('\t', i);
        if (tab == std::string_view::npos) {
            cells.emplace_back(line.substr(i));
            break;
        }
        cells.emplace_back(line.substr(i, tab - i));
        i = line.find_first_not_of('\t', tab);
        if (i == std::string_view::npos) {
            cells.emplace_back();
            break;
        }
    }
    return cells;
}

bool IsKeywordLine(std::string_view line, const std::vector<std::string>& keywords)
{
    return std::find(keywords.begin(), keywords.end(), line) != keywords.end();
}

void DeleteDottedLine(PageLines& lines)
{
    std::erase_if(lines.lines(), [](const PageLines::Line& l) { return startsWith(l, "-----"); });
}

void TrimAllList(PageLines& lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view l = lines[i];
        // Most lines have nothing to trim; leave those untouched.
        if (l.empty())
            continue;
        const auto first = static_cast<unsigned char>(l.front());
        const auto last = static_cast<unsigned char>(l.back());
        if (first > 0x20 && first != 0x81 && last > 0x20 && last != 0x40)
            continue;
        lines.set(i, TrimExView(l));
    }
}

} // namespace sheaf::html
