#include "html/pagelines.h"

#include "common/error.h"

#include <cstring>
#include <limits>

namespace sheaf::html {
namespace {

PageLines::Line lineOf(const char* data, std::size_t size)
{
    if (size > std::numeric_limits<std::uint32_t>::max())
        throw SheafError("Line too long (" + std::to_string(size) + " bytes)");
    const auto n = static_cast<std::uint32_t>(size);
    return {data, n, n};
}

} // namespace

PageLines::PageLines() : m_storage(std::make_unique<Storage>()) {}
PageLines::PageLines(PageLines&&) noexcept = default;
PageLines& PageLines::operator=(PageLines&&) noexcept = default;
PageLines::~PageLines() = default;

PageLines PageLines::fromText(std::string&& text)
{
    PageLines page;
    page.m_storage->text = std::move(text);
    const std::string_view t = page.m_storage->text;
    // One allocation for the list: growing it by doubling would hold the old
    // and the new list at once.
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i] == '\n' || (t[i] == '\r' && (i + 1 >= t.size() || t[i + 1] != '\n')))
            ++breaks;
    page.m_lines.reserve(breaks + 1);
    std::size_t start = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' || t[i] == '\n') {
            page.m_lines.push_back(lineOf(t.data() + start, i - start));
            if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < t.size())
        page.m_lines.push_back(lineOf(t.data() + start, t.size() - start));
    return page;
}

PageLines PageLines::fromLines(const std::vector<std::string>& lines)
{
    PageLines page;
    std::size_t total = 0;
    for (const auto& l : lines)
        total += l.size();
    std::string& text = page.m_storage->text;
    text.reserve(total);
    for (const auto& l : lines)
        text += l;
    page.m_lines.reserve(lines.size());
    std::size_t at = 0;
    for (const auto& l : lines) {
        page.m_lines.push_back(lineOf(text.data() + at, l.size()));
        at += l.size();
    }
    return page;
}

void PageLines::set(std::size_t i, std::string_view text)
{
    Line& line = m_lines[i];
    if (text.size() <= line.room) {
        // The room belongs to this line alone, so the new text may go over it.
        char* at = const_cast<char*>(line.data);
        if (!text.empty())
            std::memmove(at, text.data(), text.size());
        line.size = static_cast<std::uint32_t>(text.size());
        return;
    }
    line = make(text);
}

void PageLines::keepLifted(std::vector<Line>&& lifted) { m_storage->lifted.push_back(std::move(lifted)); }

PageLines::Line PageLines::make(std::string_view text)
{
    Line line = lineOf(nullptr, text.size());
    line.data = m_storage->arena.keep(text).data();
    return line;
}

} // namespace sheaf::html
