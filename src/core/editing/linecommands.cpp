#include "editing/linecommands.h"

#include "common/text.h"

#include <algorithm>

namespace sheaf::editing {

std::vector<std::string> sortLines(std::vector<std::string> lines, bool descending)
{
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return asciiLower(a) < asciiLower(b); });
    if (descending)
        std::reverse(lines.begin(), lines.end());
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines, const std::string& separator)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = TrimEx(lines[i]);
        const bool last = i + 1 == lines.size();
        if (!line.empty())
            out += last ? line : line + separator;
        else
            out += last ? "\r\n" : "\r\n\r\n";
    }
    return out;
}

} // namespace sheaf::editing
