#pragma once
// Byte-string helpers for Shift-JIS text: every length and position counts bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sheaf {

// Leading and trailing bytes <= 0x20 and full-width spaces (0x81 0x40) removed.
// keepMarkBytes: the converter's mark bytes (0x01, 0x02, 0x07, 0x08,
// 0x15-0x17) are text, for trims that run while tags are masked.
std::string TrimEx(std::string_view s, bool keepMarkBytes = false);
// The same as the part of s it is.
std::string_view TrimExView(std::string_view s, bool keepMarkBytes = false);

// The first n bytes of s, one less when byte n would split a double-byte character.
std::string_view cutBytes(std::string_view s, std::size_t n);

// The title rule of the outline: TrimEx of the first line, cut to 80 bytes
// (79 before a double-byte character) plus "...", "(untitled)" when empty.
std::string titleFromFirstLine(std::string_view firstLine);

// ASCII letters lowered; trail bytes of double-byte characters left alone.
std::string asciiLower(std::string_view s);
bool equalsNoCase(std::string_view a, std::string_view b);

// Position of the first occurrence of needle in hay without regard to ASCII
// case, never starting inside a double-byte character; npos when none.
// from must lie on a character boundary (0, or the end of an earlier match).
std::size_t findNoCase(std::string_view hay, std::string_view needle, std::size_t from = 0);

// Every occurrence of from replaced by to, left to right, in one pass.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);

// Number in the grouped form "1,234,567" (with decimals: "1,234.50"), prefix in front.
std::string formatNumber(double value, int decimals = 0, std::string_view prefix = {});
std::string formatNumber(std::int64_t value);

// Splits text into lines at CR LF, LF or a lone CR. A final line end does not
// start another line; an empty text has no line.
std::vector<std::string> splitLines(std::string_view text);
// Lines joined, each followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

} // namespace sheaf
