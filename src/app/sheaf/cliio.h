#pragma once
// What the subcommands share: their one way of reading a command line,
// UTF-8 output, the lock check of the commands that write, and the outline
// of a project that is only read.
#include "commands.h"
#include "project/filedata.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sheaf {
class Outline;
}

namespace sheaf::cli {

// Options and operands of one subcommand. Every subcommand reads its command
// line the same way: known options anywhere before "--", everything after it
// an operand, any other word beginning with "-" a usage error.
struct Arguments {
    std::vector<std::string> operands;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
};

std::optional<Arguments> parseArguments(const std::vector<std::string>& args, const std::set<std::string>& flagNames,
                                        const std::set<std::string>& valueNames);

// Shift-JIS text to stdout / stderr as UTF-8 (stderr ends the text with a line).
void out(const std::string& sjisText);
void err(const std::string& sjisText);
// The usage text on stderr; answers kUsage.
int usage();
// Absolute Shift-JIS path of a path given on the command line.
std::string argumentPath(const std::string& native);
std::string currentFolder();
// Tells whether a command that writes may go on while another program has the project open.
bool mayWrite(const std::string& path, bool force);
// The outline of a project for a command that only reads it.
void loadOutline(const std::string& path, ItemList& items, Outline& outline);

// The maintenance and report subcommands (maintenancecommands.cpp).
int cmdRenumber(const std::vector<std::string>& args);
int cmdSplit(const std::vector<std::string>& args);
int cmdClean(const std::vector<std::string>& args);
int cmdTag2(const std::vector<std::string>& args);
int cmdSize(const std::vector<std::string>& args);
int cmdOutput(const std::vector<std::string>& args);

} // namespace sheaf::cli
