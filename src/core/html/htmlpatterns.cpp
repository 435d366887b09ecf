#include "html/htmlpatterns.h"

#include <array>

namespace sheaf::html {
namespace {

using CharSet = std::array<bool, 256>;

CharSet makeSet(std::string_view chars, bool alnum)
{
    CharSet set{};
    for (unsigned char c : chars)
        set[c] = true;
    if (alnum)
        for (int c = 0; c < 256; ++c)
            set[c] = set[c] || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return set;
}

const CharSet kAnchorLead = makeSet(" =\"", false);
const CharSet kAnchorBody = makeSet("-/:.~@#_ \"", true);
const CharSet kFontBody = makeSet("= \"#+", true);
const CharSet kImageLead = makeSet(" \"", false);
const CharSet kImageBody = makeSet("./_- ~", true);

inline bool in(const CharSet& set, std::string_view s, std::size_t i)
{
    return i < s.size() && set[static_cast<unsigned char>(s[i])];
}

// Tries every occurrence of `prefix` from `from` on; tail(line, end) answers
// the length of the rest of the match after the prefix ending at end, or npos.
template <typename Tail>
std::optional<Match> findFrom(std::string_view line, std::string_view prefix, std::size_t from, Tail tail)
{
    for (std::size_t pos = line.find(prefix, from); pos != std::string_view::npos; pos = line.find(prefix, pos + 1)) {
        const std::size_t rest = tail(line, pos + prefix.size());
        if (rest != std::string_view::npos)
            return Match{pos, prefix.size() + rest};
    }
    return std::nullopt;
}

} // namespace

std::optional<Match> findAnchor(std::string_view line, std::size_t from)
{
    return findFrom(line, "<a href", from, [](std::string_view s, std::size_t i) {
        const std::size_t start = i;
        while (in(kAnchorLead, s, i))
            ++i;
        // Giving lead characters to the body changes nothing: the body run ends at the same place.
        while (in(kAnchorBody, s, i))
            ++i;
        return i < s.size() && s[i] == '>' ? i + 1 - start : std::string_view::npos;
    });
}

std::optional<Match> findFont(std::string_view line, std::size_t from)
{
    return findFrom(line, "<font ", from, [](std::string_view s, std::size_t i) {
        const std::size_t start = i;
        while (in(kFontBody, s, i))
            ++i;
        return i > start && i < s.size() && s[i] == '>' ? i + 1 - start : std::string_view::npos;
    });
}

std::optional<Match> findImage(std::string_view line, std::string_view ext, std::size_t from)
{
    return findFrom(line, "<", from, [ext](std::string_view s, std::size_t i) {
        const std::size_t start = i;
        // Leading blanks and quotes; the body starts after the last quote
        // (blanks belong to both runs, quotes only to the lead).
        std::size_t bodyStart = i;
        while (in(kImageLead, s, i)) {
            if (s[i] == '"')
                bodyStart = i + 1;
            ++i;
        }
        while (in(kImageBody, s, i))
            ++i;
        // The body must end in EXT followed only by blanks (the blanks after
        // EXT, like EXT itself, are body characters), then blanks and quotes, then '>'.
        std::size_t extEnd = i;
        while (extEnd > bodyStart && s[extEnd - 1] == ' ')
            --extEnd;
        if (extEnd < bodyStart + ext.size() + 1 || s.substr(extEnd - ext.size(), ext.size()) != ext)
            return std::string_view::npos;
        while (in(kImageLead, s, i))
            ++i;
        return i < s.size() && s[i] == '>' ? i + 1 - start : std::string_view::npos;
    });
}

} // namespace sheaf::html
