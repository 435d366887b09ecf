#include "html/inlinetags.h"

#include "common/error.h"
#include "common/sjis.h"
#include "html/htmlpatterns.h"

#include <charconv>
#include <optional>
#include <unordered_map>

namespace sheaf::html {
namespace {

const std::vector<std::string>& tagNames()
{
    static const std::vector<std::string> names{"h1", "h2", "h3", "h4", "h5", "h6", "/h1", "/h2",
                                                "/h3", "/h4", "/h5", "/h6", "/pre", "code", "/code", "b",
                                                "/b", "i", "/i", "br", "hr", "/font", "/a"};
    return names;
}

// Replaces, left to right, each stretch that starts at an `open` byte and
// matches one of the candidate forms by the replacement given for it.
std::string replaceForms(std::string_view line, char open, const std::vector<std::string>& from,
                         const std::vector<std::string>& to)
{
    std::string out;
    out.reserve(line.size());
    std::size_t i = 0;
    while (i < line.size()) {
        const std::size_t hit = line.find(open, i);
        if (hit == std::string_view::npos)
            break;
        out.append(line, i, hit - i);
        std::size_t k = 0;
        while (k < from.size() && line.compare(hit, from[k].size(), from[k]) != 0)
            ++k;
        if (k < from.size()) {
            out += to[k];
            i = hit + from[k].size();
        } else {
            out.push_back(open);
            i = hit + 1;
        }
    }
    out.append(line.substr(i));
    return out;
}

std::string token(char marker, std::size_t n) { return marker + std::to_string(n) + marker; }

template <typename Find, typename Saved>
std::string embedAll(std::string_view line, EmbeddedTagStore& store, char marker, Find find, Saved saved)
{
    // Numbers go by first occurrence in the line, and every occurrence of a
    // tag text takes the number of its first: the same result as saving the
    // leftmost tag and replacing all its occurrences, again and again, but in
    // one pass.
    std::string out;
    std::size_t i = 0;
    std::unordered_map<std::string_view, std::size_t> numbers;
    while (const std::optional<Match> m = find(line, i)) {
        out.append(line, i, m->pos - i);
        const std::string_view text = line.substr(m->pos, m->len);
        auto [it, fresh] = numbers.try_emplace(text, store.size());
        if (fresh)
            store.push_back(saved(text));
        out += token(marker, it->second);
        i = m->pos + m->len;
    }
    if (i == 0)
        return std::string(line);
    out.append(line.substr(i));
    return out;
}

std::string failureText(const char* prefix, const std::string& text) { return std::string(prefix) + text; }

} // namespace

const std::vector<std::string>& protectedTagsPlain()
{
    static const std::vector<std::string> plain = [] {
        std::vector<std::string> v;
        for (const auto& name : tagNames())
            v.push_back("<" + name + ">");
        return v;
    }();
    return plain;
}

const std::vector<std::string>& protectedTagsMasked()
{
    static const std::vector<std::string> masked = [] {
        std::vector<std::string> v;
        for (const auto& name : tagNames())
            v.push_back(kMaskOpen + name + kMaskClose);
        return v;
    }();
    return masked;
}

std::string maskProtectedTags(std::string_view line)
{
    if (line.find('<') == std::string_view::npos)
        return std::string(line);
    return replaceForms(line, '<', protectedTagsPlain(), protectedTagsMasked());
}

std::string unmaskProtectedTags(std::string_view line)
{
    if (line.find(kMaskOpen) == std::string_view::npos)
        return std::string(line);
    return replaceForms(line, kMaskOpen, protectedTagsMasked(), protectedTagsPlain());
}

std::string escapeText(std::string_view line)
{
    std::string out;
    out.reserve(line.size() + line.size() / 8);
    for (char c : line) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::string embedFontTags(std::string_view line, EmbeddedTagStore& store)
{
    if (line.find("<font ") == std::string_view::npos)
        return std::string(line);
    return embedAll(line, store, kFontMarker, [](std::string_view s, std::size_t from) { return findFont(s, from); },
                    [](std::string_view text) { return std::string(text); });
}

std::string embedAnchorTags(std::string_view line, EmbeddedTagStore& store)
{
    if (line.find("<a href") == std::string_view::npos)
        return std::string(line);
    return embedAll(line, store, kAnchorMarker,
                    [](std::string_view s, std::size_t from) { return findAnchor(s, from); },
                    [](std::string_view text) { return std::string(text); });
}

std::string embedImageTags(std::string_view line, EmbeddedTagStore& store)
{
    static const std::string_view extensions[] = {".gif", ".jpg", ".bmp", ".png"};
    std::string current(line);
    for (;;) {
        std::string_view ext;
        for (std::string_view e : extensions)
            if (current.find(e) != std::string::npos) {
                ext = e;
                break;
            }
        if (ext.empty())
            return current;
        const std::size_t before = store.size();
        std::string next = embedAll(
            current, store, kImageMarker, [ext](std::string_view s, std::size_t from) { return findImage(s, ext, from); },
            [](std::string_view text) { return "<img src=" + std::string(text.substr(1)); });
        if (store.size() == before && next == current)
            return current; // the first extension found no tag: the step ends here
        current = std::move(next);
    }
}

std::string restoreEmbedded(std::string_view line, char marker, const EmbeddedTagStore& store)
{
    const char* prefix = marker == kFontMarker     ? "RestoreEmbeddedTag_Font error "
                         : marker == kAnchorMarker ? "RestoreEmbeddedTag_A error "
                                                   : "RestoreEmbeddedTag_Img ";
    std::string out;
    std::size_t i = 0;
    for (;;) {
        const std::size_t first = line.find(marker, i);
        if (first == std::string_view::npos)
            break;
        const std::size_t second = line.find(marker, first + 1);
        if (second == std::string_view::npos)
            throw SheafError(failureText(prefix, sjis::sj("対になる区切りのない埋め込みタグの印があります")));
        const std::string_view digits = line.substr(first + 1, second - first - 1);
        std::size_t n = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
            throw SheafError(failureText(prefix, "'" + std::string(digits) + "' is not a valid integer value"));
        if (n >= store.size())
            throw SheafError(failureText(prefix, "List index out of bounds (" + std::string(digits) + ")"));
        out.append(line, i, first - i);
        out += store[n];
        i = second + 1;
    }
    if (i == 0)
        return std::string(line);
    out.append(line.substr(i));
    return out;
}

void ConvertMarkToStringName(std::vector<std::string>& lines, EmbeddedTagStore& store)
{
    try {
        for (auto& line : lines) {
            if (line.size() < 4)
                continue;
            std::string s = maskProtectedTags(line);
            s = embedFontTags(s, store);
            s = embedAnchorTags(s, store);
            if (s.find('.') != std::string::npos)
                s = embedImageTags(s, store);
            line = escapeText(s);
        }
        for (auto& line : lines) {
            for (char& c : line) {
                if (c == kRawLess)
                    c = '<';
                else if (c == kRawGreater)
                    c = '>';
            }
            for (char marker : {kFontMarker, kAnchorMarker, kImageMarker})
                if (line.find(marker) != std::string::npos)
                    line = restoreEmbedded(line, marker, store);
        }
    } catch (const std::exception& e) {
        throw SheafError(std::string("ConvertMarkToStringName error\n") + e.what());
    }
}

} // namespace sheaf::html
