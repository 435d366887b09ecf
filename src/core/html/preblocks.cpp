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
    for (const std::string_view line : lines.views()) {
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
        // The list shrinks in place: a block gives one placeholder line for
        // its start line and content lines.
        std::vector<std::string_view>& v = lines.views();
        const std::size_t first = blocks.size(); // blocks of earlier pages, when the stores were not cleared
        std::size_t kept = 0;
        bool inBlock = false;
        for (std::size_t i = 0; i < v.size(); ++i) {
            const std::string_view line = v[i];
            if (isStart(line)) {
                inBlock = true;
                const std::string placeholder = std::string(kPlaceholderMarker) + std::to_string(blocks.size());
                blocks.emplace_back().reserve(sizes[blocks.size() - 1 - first]);
                blocks.back().push_back(line);
                v[kept++] = lines.keep(placeholder);
            } else if (isEnd(line)) {
                inBlock = false;
                v[kept++] = line;
            } else if (inBlock) {
                blocks.back().push_back(line);
            } else {
                v[kept++] = line;
            }
        }
        v.resize(kept);
    } catch (const std::exception& e) {
        throw SheafError(std::string("DoPre error ") + e.what());
    }
}

} // namespace sheaf::html
