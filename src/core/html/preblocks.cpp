#include "html/preblocks.h"

#include "common/error.h"
#include "common/sjis.h"
#include "common/text.h"
#include "html/htmlpatterns.h"
#include "html/inlinetags.h"

namespace sheaf::html {
namespace {

// True when line begins with lowerPrefix without regard to ASCII case.
bool beginsNoCase(std::string_view line, std::string_view lowerPrefix)
{
    if (line.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = line[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != lowerPrefix[i])
            return false;
    }
    return true;
}

bool isStart(std::string_view line) { return beginsNoCase(line, "<pre"); }
bool isEnd(std::string_view line) { return beginsNoCase(line, "</pre>"); }

} // namespace

std::string escapePreLine(std::string_view line)
{
    std::string anchor;
    std::string s(line);
    if (const auto m = findAnchor(s)) {
        anchor = s.substr(m->pos, m->len);
        s = replaceAll(s, anchor, "@+1+@");
    }
    s = replaceAll(s, "</a>", "@+2+@");
    escapeText(s);
    if (!anchor.empty())
        s = replaceAll(s, "@+1+@", anchor);
    return replaceAll(s, "@+2+@", "</a>");
}

void DoPre(PageLines& lines, std::vector<PreBlock>& blocks)
{
    static const std::string unpaired = sjis::sj("<pre> と </pre> との対応関係が一致しません。");
    static const std::string tooMany = sjis::sj("<pre> ブロックの数が 99 を超えました。");

    // The markers must alternate start, end, start, end: an end before its
    // start or a second start inside an open block would mix up the blocks.
    // The length of each block is noted on the way, so that a block of a
    // large page is held in a list of its exact size.
    std::size_t count = 0;
    bool open = false;
    bool ordered = true;
    std::vector<std::size_t> sizes;
    for (const std::string_view line : lines.lines()) {
        if (isStart(line)) {
            ordered = ordered && !open;
            open = true;
            ++count;
            if (sizes.size() <= kMaxPreBlocks)
                sizes.push_back(0);
        } else if (isEnd(line)) {
            ordered = ordered && open;
            open = false;
        }
        if (open && sizes.size() <= kMaxPreBlocks)
            ++sizes.back();
    }
    if (!ordered || open)
        throw SheafError(unpaired);
    if (count > kMaxPreBlocks)
        throw SheafError(tooMany);
    if (count == 0)
        return;

    try {
        // A block is its start line and content lines, one stretch of the
        // list. The smaller part is copied: when the blocks hold most of the
        // page they stay where they are and the other lines go to a new list,
        // else the blocks go to a list of their own and the page shrinks in place.
        using Line = PageLines::Line;
        std::vector<Line>& v = lines.lines();
        const std::size_t first = blocks.size(); // blocks of earlier pages, when the stores were not cleared
        std::size_t inBlocks = 0;
        for (const std::size_t n : sizes)
            inBlocks += n;
        const std::size_t keptCount = v.size() - inBlocks + count;
        const bool blocksStay = inBlocks >= keptCount;
        std::vector<Line> other;
        other.reserve(blocksStay ? keptCount : inBlocks);
        std::size_t kept = 0;
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (!isStart(v[i])) {
                (blocksStay ? other.emplace_back() : v[kept++]) = v[i];
                continue;
            }
            const std::size_t n = sizes[blocks.size() - first];
            const Line placeholder = lines.make(std::string(kPlaceholderMarker) + std::to_string(blocks.size()));
            if (blocksStay) {
                blocks.emplace_back(v.data() + i, n);
                other.push_back(placeholder);
            } else {
                other.insert(other.end(), v.begin() + static_cast<std::ptrdiff_t>(i),
                             v.begin() + static_cast<std::ptrdiff_t>(i + n));
                blocks.emplace_back(other.data() + other.size() - n, n);
                v[kept++] = placeholder;
            }
            i += n - 1;
        }
        if (blocksStay) {
            lines.keepLifted(std::move(v));
            v = std::move(other);
        } else {
            v.resize(kept);
            lines.keepLifted(std::move(other));
        }
    } catch (const std::exception& e) {
        throw SheafError(std::string("DoPre error ") + e.what());
    }
}

} // namespace sheaf::html
