#pragma once
// Preformatted blocks: lifted out of the page before the line rules run, so
// that their lines keep their blanks and their markup shows as text.
#include <string>
#include <string_view>
#include <span>
#include <vector>

#include "html/pagelines.h"

namespace sheaf::html {

inline constexpr std::string_view kPlaceholderMarker = "@~#";
inline constexpr std::size_t kMaxPreBlocks = 99;

// The lines of a block, valid as long as the page they were lifted from.
using PreBlock = std::span<const PageLines::Line>;

// Replaces each block (a "<pre" line through the line before its "</pre>"
// line) by one placeholder line "@~#n"; block n holds the start line and its
// content lines as they stand (escapePreLine makes them text when the block
// is written). Throws SheafError, before changing anything, when
// the markers do not pair up or there are more than 99 blocks.
void DoPre(PageLines& lines, std::vector<PreBlock>& blocks);

// A content line of a block: the first anchor that matches and its closing
// tags stay live; everything else is escaped.
std::string escapePreLine(std::string_view line);

} // namespace sheaf::html
