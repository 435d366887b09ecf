#pragma once
// Which characters of a page line are HTML and which are text. Simple tags
// pass behind masks (0x07 tag 0x08); opening font and anchor tags and image
// references are saved in the embedded-tag store and stand in the line as a
// numbered token (marker byte, index, marker byte) until the escaping is done.
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "html/pagelines.h"
#include "html/textarena.h"

namespace sheaf::html {

inline constexpr char kMaskOpen = 0x07;
inline constexpr char kMaskClose = 0x08;
inline constexpr char kFontMarker = 0x15;
inline constexpr char kAnchorMarker = 0x16;
inline constexpr char kImageMarker = 0x17;
inline constexpr char kRawLess = 0x01;
inline constexpr char kRawGreater = 0x02;

// The saved tags of a page, by number; their text is kept in an arena, so a
// page with many links costs their bytes and a view each, not a string each.
class EmbeddedTagStore {
public:
    EmbeddedTagStore() = default;
    EmbeddedTagStore(EmbeddedTagStore&&) = default;
    EmbeddedTagStore& operator=(EmbeddedTagStore&&) = default;
    // A copy holds copies of the texts.
    EmbeddedTagStore(const EmbeddedTagStore& other) { *this = other; }
    EmbeddedTagStore& operator=(const EmbeddedTagStore& other)
    {
        if (this != &other) {
            clear();
            for (const std::string_view text : other.m_entries)
                push_back(text);
        }
        return *this;
    }

    void push_back(std::string_view text) { m_entries.push_back(m_text.keep(text)); }
    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    std::string_view operator[](std::size_t i) const { return m_entries[i]; }
    void clear()
    {
        m_entries.clear();
        m_text.clear();
    }
    friend bool operator==(const EmbeddedTagStore& a, const EmbeddedTagStore& b) { return a.m_entries == b.m_entries; }

private:
    std::deque<std::string_view> m_entries; // grows without copying itself
    TextArena m_text;
};

// The 22 pass-through tags, plain form, in table order.
const std::vector<std::string>& protectedTagsPlain();
// The same in masked form.
const std::vector<std::string>& protectedTagsMasked();

// The line functions change the line in place and leave it alone (no copy)
// when there is nothing to do.

// Plain protected tags replaced by their masks, and back.
void maskProtectedTags(std::string& line);
void unmaskProtectedTags(std::string& line);

// & < > " as character references, in one pass.
void escapeText(std::string& line);

// Every font tag, anchor tag and image reference of the line saved in the
// store and replaced by its token; a text seen twice takes the same number.
void embedFontTags(std::string& line, EmbeddedTagStore& store);
void embedAnchorTags(std::string& line, EmbeddedTagStore& store);
// Images go extension by extension (.gif, .jpg, .bmp, .png): the first one
// that occurs in the line is taken; the step stops when it finds no tag.
void embedImageTags(std::string& line, EmbeddedTagStore& store);

// Tokens of one marker put back from the store. Throws SheafError with the
// step's prefix when a marker has no partner or its number names no entry.
void restoreEmbedded(std::string& line, char marker, const EmbeddedTagStore& store);

// Both passes over the page lines (lines of three bytes or less are not
// escaped). Throws SheafError "ConvertMarkToStringName error\n" + the failure.
void ConvertMarkToStringName(PageLines& lines, EmbeddedTagStore& store);

} // namespace sheaf::html
