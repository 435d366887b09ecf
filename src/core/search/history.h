#pragma once
// The search boxes' history lists and their sections in the settings file.
#include <cstddef>
#include <string>
#include <vector>

namespace sheaf {
class IniFile;
}

namespace sheaf::search {

// The dialogs' rule: an empty list takes the text; otherwise a text not yet
// in the list (letter case aside) goes to the top, and one that is there
// keeps its place and its letter case.
void addToHistory(std::vector<std::string>& list, const std::string& text);
// The tree search's and the page search's rule: the entry equal apart from
// letter case is removed and the text put at the top; the list is then cut
// to cap entries when cap is not 0.
void moveToTop(std::vector<std::string>& list, const std::string& text, std::size_t cap = 0);

// The non-empty values of a list section, in file order.
std::vector<std::string> readHistory(const IniFile& ini, const std::string& section);
// Erases the section and writes the first cap entries (all when cap is 0) under keys "0" upward.
void writeHistory(const IniFile& ini, const std::string& section, const std::vector<std::string>& list,
                  std::size_t cap);

} // namespace sheaf::search
