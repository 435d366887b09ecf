#pragma once
// Classification of the lines of a page.
#include <string>
#include <string_view>
#include <vector>

#include "html/pagelines.h"

namespace sheaf::html {

enum class LineStyle { RawHeading, Placeholder, Rule, Bullet, Numbered, TableRow, Empty, Plain };

LineStyle CheckPatternStyle(std::string_view line);

// Cells separated by runs of tabs.
std::vector<std::string> SplitWithTab(std::string_view line);

bool IsKeywordLine(std::string_view line, const std::vector<std::string>& keywords);

// Deletes every line whose first five bytes are "-----".
void DeleteDottedLine(PageLines& lines);

// TrimEx on every line.
void TrimAllList(PageLines& lines);

// True when the last character (not just the last byte) is the full-width "＠".
bool endsWithAtMark(std::string_view line);
bool startsWith(std::string_view line, std::string_view prefix);

} // namespace sheaf::html
