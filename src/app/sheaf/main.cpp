// sheaf: the tool set's core jobs for scripts and CI.
#include "commands.h"

#include "common/fsutil.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    sheaf::fs::ignoreFileSizeLimitSignal();
    std::vector<std::string> args(argv + 1, argv + argc);
    return sheaf::cli::run(args);
}
