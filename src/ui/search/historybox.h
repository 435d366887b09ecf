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

} // namespace sheaf::ui
