#pragma once
// The script tool runner's registrations in the settings file, and the
// response file that hands a script the page files of a range.
#include "project/outline.h"

#include <string>
#include <vector>

namespace sheaf {
class IniFile;
}

namespace sheaf::tools {

struct APPSDATA {
    std::string Name;    // the script's file name: the sort key and what the lists show
    std::string Path;
    std::string Comment; // never holds a double quote
};

// A quoted list: every item in double quotes (inner quotes doubled), joined by ",".
std::string quotedList(const std::vector<std::string>& items);
// The items of a value as the profile reader gives it (its enclosing pair of
// quotes already removed): quoted again and split as comma text.
std::vector<std::string> splitQuotedList(const std::string& value);

struct ToolSettings {
    std::string exePath;
    std::vector<APPSDATA> scripts;
};
ToolSettings readToolSettings(const IniFile& ini);
// Replaces the runner's keys of section Tool; "HHC Path" of the same section stays.
void writeToolSettings(const IniFile& ini, const ToolSettings& settings);
// Sorted by name without regard to ASCII case.
void sortByName(std::vector<APPSDATA>& scripts);

// The page file paths of the items first..last, one per line with CR LF.
std::string responseFileText(const Outline& outline, std::size_t first, std::size_t last);

} // namespace sheaf::tools
