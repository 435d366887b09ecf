#pragma once
// A combo box that holds a search history: the list read from and written to the settings file.

#include <string>
#include <vector>

class QComboBox;

namespace sheaf::ui {

// The items of the box, top first, in the settings file's encoding.
std::vector<std::string> historyOf(const QComboBox* box);

// Replaces the items with the list and shows its first entry (or nothing) in the edit field.
void fillHistory(QComboBox* box, const std::vector<std::string>& list);

// The search and replace dialogs' texts added to their histories (an empty
// replacement adds nothing) and both lists written to the settings file
// under their sections, the first cap entries (all when cap is 0). Throws
// when the file cannot be written.
void saveSearchAndReplace(const std::string& iniPath, const QComboBox* search, const std::string& searchSection,
                          const QComboBox* replace, const std::string& replaceSection, std::size_t cap);

} // namespace sheaf::ui
