#pragma once
// What a project holds, as plain text for use outside: the size report per
// top-level branch, the tree of titles, all page texts and the page paths.
#include "project/outline.h"

#include <string>
#include <vector>

namespace sheaf::reports {

// The size report's lines (Shift-JIS, without line ends).
std::vector<std::string> sizeReport(const Outline& outline);

enum class Output { Titles, AllPages, PathList };
// "<folder>/<base>_Node.txt", "_All.txt" or "_PathList.txt" beside the project.
std::string outputPath(const std::string& projectPath, Output kind);
// The file's bytes (Shift-JIS, CR LF). The all-pages output throws SheafError
// when a page cannot be read.
std::string outputText(const Outline& outline, Output kind);
// Writes the output beside the project (replacing it atomically) and answers its path.
std::string writeOutput(const std::string& projectPath, const Outline& outline, Output kind);

// "<base>_Size.txt" beside the project: the name proposed for the report.
std::string sizeReportPath(const std::string& projectPath);

} // namespace sheaf::reports
