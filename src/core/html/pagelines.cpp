#include "html/pagelines.h"

#include <cstring>

namespace sheaf::html {

// The page's bytes and the chunks of changed lines; nothing in it moves while
// the list lives, so the views stay valid.
struct PageLines::Storage {
    static constexpr std::size_t kChunk = 64 * 1024;
    std::string text;
    std::vector<std::unique_ptr<char[]>> chunks;
    char* free = nullptr;
    std::size_t left = 0;

    char* take(std::size_t n)
    {
        if (n > left) {
            const std::size_t size = std::max(n, kChunk);
            chunks.push_back(std::make_unique_for_overwrite<char[]>(size));
            free = chunks.back().get();
            left = size;
        }
        char* p = free;
        free += n;
        left -= n;
        return p;
    }
};

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
            page.m_lines.push_back(t.substr(start, i - start));
            if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < t.size())
        page.m_lines.push_back(t.substr(start));
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
        page.m_lines.push_back(std::string_view(text).substr(at, l.size()));
        at += l.size();
    }
    return page;
}

void PageLines::set(std::size_t i, std::string_view text)
{
    std::string_view& line = m_lines[i];
    if (text.empty()) {
        line = {};
        return;
    }
    if (text.size() <= line.size()) {
        // A line's bytes belong to it alone, so the new text may go over them.
        char* at = const_cast<char*>(line.data());
        std::memmove(at, text.data(), text.size());
        line = std::string_view(at, text.size());
        return;
    }
    line = keep(text);
}

std::string_view PageLines::keep(std::string_view text)
{
    if (text.empty())
        return {};
    char* at = m_storage->take(text.size());
    std::memcpy(at, text.data(), text.size());
    return {at, text.size()};
}

} // namespace sheaf::html
