#pragma once
#include <string>

namespace sheaf {

// Folder of the running program (native path, no trailing separator).
std::string programFolder();

// Folder that holds Sheaf3.ini and Response.txt (native path): $SHEAF3_HOME
// when set; else the program's folder when a Sheaf3.ini lies there (a
// portable install); else $XDG_CONFIG_HOME/sheaf3 (~/.config/sheaf3).
// The folder is not created here; the first write creates it.
std::string settingsFolder();

// Shift-JIS path of Sheaf3.ini in the settings folder.
std::string settingsIniPath();

// Shift-JIS path of the tool set's manual Sheaf3.chm: $SHEAF3_HELP when set;
// else beside the programs (a build tree, a portable install); else in the
// installed data folder share/sheaf3.
std::string helpFilePath();

} // namespace sheaf
