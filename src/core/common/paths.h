#pragma once
// Path helpers on Shift-JIS byte strings. Paths written on this system use
// '/'; paths read from projects made elsewhere may hold '\', so the name-part
// helpers split at both.
#include <string>
#include <string_view>

namespace sheaf {

inline constexpr char kPathSeparator = '/';

inline bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Position of the last separator, npos when none. Trail bytes of double-byte
// characters (0x5C is one) never count as separators.
std::size_t lastSeparator(std::string_view path);

// "C:\doc\P1.txt" -> "P1.txt"
std::string fileNamePart(std::string_view path);
// "/doc/P1.txt" -> "/doc" (no trailing separator); "" when the path has no folder.
std::string folderPart(std::string_view path);
// File name without folder and without its last extension.
std::string BaseName(std::string_view path);
// Extension with its dot (".shf3"), "" when none; extensionLower lower-cases ASCII.
std::string extensionOf(std::string_view path);
std::string extensionLower(std::string_view path);
// The path with its extension replaced (or added): changeExtension("a.shf", ".shf3").
std::string changeExtension(std::string_view path, std::string_view ext);

// Folder without trailing separators, a separator, the name.
std::string joinPath(std::string_view folder, std::string_view name);

// folder + "/" + the page file's name with ".htm".
std::string HtmlFileName(std::string_view folder, std::string_view pagePath);

// The first one or two components of a path ("D:\work\pages" -> "D:\work",
// "/work/pages" -> "/work"); blanks separate components as commas do.
std::string shortenFolder(std::string_view path);

} // namespace sheaf
