#pragma once
#include <string>
#include <vector>

namespace sheaf::cli {

enum ExitCode { kSuccess = 0, kFailure = 1, kUsage = 2 };

// Runs one command line (without the program name); output is UTF-8.
int run(const std::vector<std::string>& args);

} // namespace sheaf::cli
