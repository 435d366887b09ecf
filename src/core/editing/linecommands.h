#pragma once
// The text editor's line commands on Shift-JIS lines: sorting and joining.
#include <string>
#include <vector>

namespace sheaf::editing {

// Sorted without regard to ASCII case (ties keep their order); descending
// is the ascending order reversed.
std::vector<std::string> sortLines(std::vector<std::string> lines, bool descending);

// The lines joined into paragraphs: each trimmed (TrimEx); a non-empty line
// but the last contributes itself and the separator, an empty one two line
// breaks (CR LF CR LF), so that a blank line between paragraphs survives;
// the last contributes itself, or one line break when it is empty.
std::string joinLines(const std::vector<std::string>& lines, const std::string& separator);

} // namespace sheaf::editing
