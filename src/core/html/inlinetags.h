#pragma once
// Which characters of a page line are HTML and which are text. Simple tags
// pass behind masks (0x07 tag 0x08); opening font and anchor tags and image
// references are saved in the embedded-tag store and stand in the line as a
// numbered token (marker byte, index, marker byte) until the escaping is done.
#include <string>
#include <string_view>
#include <vector>

#include "html/pagelines.h"

namespace sheaf::html {

inline constexpr char kMaskOpen = 0x07;
inline constexpr char kMaskClose = 0x08;
inline constexpr char kFontMarker = 0x15;
inline constexpr char kAnchorMarker = 0x16;
inline constexpr char kImageMarker = 0x17;
inline constexpr char kRawLess = 0x01;
inline constexpr char kRawGreater = 0x02;

using EmbeddedTagStore = std::vector<std::string>;

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
