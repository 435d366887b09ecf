#pragma once
// The lines of one page while it is converted, held compactly: a line is a
// view into the page's own bytes until a step changes it; a changed line is
// written over its old bytes when it fits there and otherwise into chunks
// the list owns. A line costs 16 bytes beyond its text, so a large page of
// short lines is held in little more than its own size.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheaf::html {

class PageLines {
public:
    PageLines();
    // The page split at CR LF, lone CR and lone LF (a last line without a
    // break counts; a break at the very end starts no further line).
    static PageLines fromText(std::string&& text);
    static PageLines fromLines(const std::vector<std::string>& lines);

    PageLines(PageLines&&) noexcept;
    PageLines& operator=(PageLines&&) noexcept;
    ~PageLines();

    std::size_t size() const { return m_lines.size(); }
    bool empty() const { return m_lines.empty(); }
    std::string_view operator[](std::size_t i) const { return m_lines[i]; }

    // Gives line i the text (which may be a part of the line itself).
    void set(std::size_t i, std::string_view text);
    // A copy of text that lives as long as the list (for lines it makes).
    std::string_view keep(std::string_view text);
    // The views themselves, for steps that drop or reorder lines.
    std::vector<std::string_view>& views() { return m_lines; }

private:
    struct Storage;
    std::unique_ptr<Storage> m_storage;
    std::vector<std::string_view> m_lines;
};

} // namespace sheaf::html
