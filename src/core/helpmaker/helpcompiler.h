#pragma once
// Running the help compiler on a written help project, and proving its
// result: a compile is a success only when the compiled file is new and
// holds the contents, the index and every page.
#include "project/filedata.h"

#include <optional>
#include <string>
#include <vector>

namespace sheaf::help {

// True for a compiler file name this system can run: "hhc.exe", "hhc",
// "chmcmd" or "chmcmd-<version>", in any letter case.
bool isCompilerName(const std::string& path);
// The full path of "chmcmd" on PATH, if there is one.
std::optional<std::string> findCompilerOnPath();

struct CompileResult {
    bool ok = false;
    int exitStatus = -1;   // the compiler's; -1 when it did not start or end normally
    std::string output;    // what it wrote (stdout and stderr together)
    std::string problem;   // why the compile failed, for the user
    std::string chmPath;
};

// Starts compiler with "<base>.hhp" as its one argument in the project's
// folder (no shell; this program's own folder is not changed), waits for it,
// then checks the compiled file. items: the project's items in tree order.
CompileResult compileHelp(const std::string& compiler, const std::string& projectPath, const ItemList& items);

// The names that a compiled help file must hold, and those that it lacks.
std::vector<std::string> requiredHelpObjects(const std::string& projectPath, const ItemList& items);
std::vector<std::string> missingHelpObjects(const std::string& chmPath, const std::vector<std::string>& required,
                                            std::string* openProblem);

} // namespace sheaf::help
