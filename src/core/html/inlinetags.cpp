#include "html/inlinetags.h"

#include "common/error.h"
#include "common/sjis.h"
#include "html/htmlpatterns.h"

#include <array>
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

// Replaces, left to right, each stretch from an `open` byte to the next
// `close` byte whose inner text is a protected tag name, by the form of the
// same tag in `to`.
void replaceTagForms(std::string& line, char open, char close, const std::vector<std::string>& to)
{
    constexpr std::size_t kLongestName = 5; // "/code", "/font"
    std::size_t hit = line.find(open);
    if (hit == std::string::npos)
        return;
    std::string out;
    std::size_t done = 0;
    const auto& names = tagNames();
    for (; hit != std::string::npos; hit = line.find(open, hit + 1)) {
        const std::size_t end = line.find(close, hit + 1);
        if (end == std::string::npos)
            break;
        if (end - hit - 1 > kLongestName)
            continue;
        const std::string_view inner(line.data() + hit + 1, end - hit - 1);
        for (std::size_t k = 0; k < names.size(); ++k) {
            if (names[k] == inner) {
                if (out.empty())
                    out.reserve(line.size());
                out.append(line, done, hit - done);
                out += to[k];
                done = end + 1;
                hit = end;
                break;
            }
        }
    }
    if (done == 0)
        return;
    out.append(line, done);
    line = std::move(out);
}

std::string token(char marker, std::size_t n) { return marker + std::to_string(n) + marker; }

// Numbers go by first occurrence in the line, and every occurrence of a tag
// text takes the number of its first: the same result as saving the leftmost
// tag and replacing all its occurrences, again and again, but in one pass.
template <typename Find, typename Saved>
bool embedAll(std::string& line, EmbeddedTagStore& store, char marker, Find find, Saved saved)
{
    std::string out;
    std::size_t i = 0;
    std::unordered_map<std::string_view, std::size_t> numbers;
    while (const std::optional<Match> m = find(line, i)) {
        out.append(line, i, m->pos - i);
        const std::string_view text(line.data() + m->pos, m->len);
        auto [it, fresh] = numbers.try_emplace(text, store.size());
        if (fresh)
            store.push_back(saved(text));
        out += token(marker, it->second);
        i = m->pos + m->len;
    }
    if (i == 0)
        return false;
    out.append(line, i);
    line = std::move(out);
    return true;
}

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

void maskProtectedTags(std::string& line)
{
    replaceTagForms(line, '<', '>', protectedTagsMasked());
}

void unmaskProtectedTags(std::string& line)
{
    replaceTagForms(line, kMaskOpen, kMaskClose, protectedTagsPlain());
}

void escapeText(std::string& line)
{
    std::size_t i = line.find_first_of("&<>\"");
    if (i == std::string::npos)
        return;
    std::string out;
    out.reserve(line.size() + line.size() / 4);
    std::size_t run = 0;
    for (; i < line.size(); ++i) {
        const char* entity = nullptr;
        switch (line[i]) {
        case '&': entity = "&amp;"; break;
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        case '"': entity = "&quot;"; break;
        default: continue;
        }
        out.append(line, run, i - run);
        out += entity;
        run = i + 1;
    }
    out.append(line, run);
    line = std::move(out);
}

void embedFontTags(std::string& line, EmbeddedTagStore& store)
{
    if (line.find("<font ") != std::string::npos)
        embedAll(line, store, kFontMarker, [](std::string_view s, std::size_t from) { return findFont(s, from); },
                 [](std::string_view text) { return std::string(text); });
}

void embedAnchorTags(std::string& line, EmbeddedTagStore& store)
{
    if (line.find("<a href") != std::string::npos)
        embedAll(line, store, kAnchorMarker, [](std::string_view s, std::size_t from) { return findAnchor(s, from); },
                 [](std::string_view text) { return std::string(text); });
}

void embedImageTags(std::string& line, EmbeddedTagStore& store)
{
    static const std::string_view extensions[] = {".gif", ".jpg", ".bmp", ".png"};
    if (line.find('.') == std::string::npos)
        return;
    for (;;) {
        std::string_view ext;
        for (std::string_view e : extensions)
            if (line.find(e) != std::string::npos) {
                ext = e;
                break;
            }
        // The first extension that occurs decides; when it finds no tag, the step ends.
        if (ext.empty() ||
            !embedAll(
                line, store, kImageMarker,
                [ext](std::string_view s, std::size_t from) { return findImage(s, ext, from); },
                [](std::string_view text) { return "<img src=" + std::string(text.substr(1)); }))
            return;
    }
}

void restoreEmbedded(std::string& line, char marker, const EmbeddedTagStore& store)
{
    std::size_t first = line.find(marker);
    if (first == std::string::npos)
        return;
    const char* prefix = marker == kFontMarker     ? "RestoreEmbeddedTag_Font error "
                         : marker == kAnchorMarker ? "RestoreEmbeddedTag_A error "
                                                   : "RestoreEmbeddedTag_Img ";
    std::string out;
    std::size_t done = 0;
    for (; first != std::string::npos; first = line.find(marker, done)) {
        const std::size_t second = line.find(marker, first + 1);
        if (second == std::string::npos)
            throw SheafError(prefix + sjis::sj("対になる区切りのない埋め込みタグの印があります"));
        const std::string_view digits(line.data() + first + 1, second - first - 1);
        std::size_t n = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
            throw SheafError(prefix + ("'" + std::string(digits) + "' is not a valid integer value"));
        if (n >= store.size())
            throw SheafError(prefix + ("List index out of bounds (" + std::string(digits) + ")"));
        out.append(line, done, first - done);
        out += store[n];
        done = second + 1;
    }
    out.append(line, done);
    line = std::move(out);
}

namespace {
// Which of the bytes that the inline pass cares about a line holds, found in
// one scan so that most lines of prose skip every step.
enum : unsigned { kHasLess = 1, kHasDot = 2, kHasEscapable = 4, kHasRaw = 8, kHasMarker = 16 };

unsigned scanLine(std::string_view line)
{
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        t['<'] = kHasLess | kHasEscapable;
        t['.'] = kHasDot;
        t['&'] = t['>'] = t['"'] = kHasEscapable;
        t[static_cast<unsigned char>(kRawLess)] = t[static_cast<unsigned char>(kRawGreater)] = kHasRaw;
        t[static_cast<unsigned char>(kFontMarker)] = t[static_cast<unsigned char>(kAnchorMarker)] =
            t[static_cast<unsigned char>(kImageMarker)] = kHasMarker;
        return t;
    }();
    unsigned flags = 0;
    for (const char c : line)
        flags |= table[static_cast<unsigned char>(c)];
    return flags;
}
} // namespace

void ConvertMarkToStringName(PageLines& lines, EmbeddedTagStore& store)
{
    try {
        std::string line; // one working copy, its buffer reused line after line
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].size() < 4)
                continue;
            const unsigned flags = scanLine(lines[i]);
            if (!(flags & (kHasLess | kHasEscapable)))
                continue;
            line.assign(lines[i]);
            if (flags & kHasLess) {
                maskProtectedTags(line);
                embedFontTags(line, store);
                embedAnchorTags(line, store);
                if (flags & kHasDot)
                    embedImageTags(line, store);
            }
            if (flags & kHasEscapable)
                escapeText(line);
            lines.set(i, line);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const unsigned flags = scanLine(lines[i]);
            if (!(flags & (kHasRaw | kHasMarker)))
                continue;
            line.assign(lines[i]);
            if (flags & kHasRaw) {
                for (char& c : line) {
                    if (c == kRawLess)
                        c = '<';
                    else if (c == kRawGreater)
                        c = '>';
                }
            }
            if (flags & kHasMarker)
                for (char marker : {kFontMarker, kAnchorMarker, kImageMarker})
                    restoreEmbedded(line, marker, store);
            lines.set(i, line);
        }
    } catch (const std::exception& e) {
        throw SheafError(std::string("ConvertMarkToStringName error\n") + e.what());
    }
}

} // namespace sheaf::html
