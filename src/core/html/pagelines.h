#pragma once
// The lines of one page while it is converted, held compactly: a line is a
// view into the page's own bytes until a step changes it; a changed line is
// written over its old bytes when it fits there (its room: the bytes it had
// before it shrank) and otherwise into an arena the list owns. A line costs
// 16 bytes beyond its text, so a large page of short lines is held in little
// more than its own size.
#include "html/textarena.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheaf::html {

class PageLines {
public:
    struct Line {
        const char* data = nullptr;
        std::uint32_t size = 0;
        std::uint32_t room = 0; // bytes at data that belong to this line alone
        operator std::string_view() const { return {data, size}; }
    };

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

    // Gives line i the text (which may be a part of the line itself). Throws
    // SheafError for a line of 4 GiB or more.
    void set(std::size_t i, std::string_view text);
    // A line of the given text that lives as long as the list.
    Line make(std::string_view text);
    // The lines themselves, for steps that drop or reorder them.
    std::vector<Line>& lines() { return m_lines; }
    // Keeps a list of lines taken out of the page: views into its buffer stay
    // valid as long as the page.
    void keepLifted(std::vector<Line>&& lifted);

private:
    struct Storage {
        std::string text;
        TextArena arena;
        std::vector<std::vector<Line>> lifted;
    };
    // On the heap, so that the views stay valid when the list moves.
    std::unique_ptr<Storage> m_storage;
    std::vector<Line> m_lines;
};

} // namespace sheaf::html
