// sheaf-genproject DIR NAME COUNT [--pages [BYTES]]: writes a large project
// (and its page files) for trying the programs and the benchmarks on.
#include "projectgen.h"

#include "common/error.h"
#include "common/fsutil.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: sheaf-genproject DIR NAME COUNT [--pages [BYTES]]\n", stderr);
        return 2;
    }
    const bool pages = argc > 4 && std::string(argv[4]) == "--pages";
    const std::size_t bytes = argc > 5 ? std::strtoul(argv[5], nullptr, 10) : 2048;
    try {
        const std::string path = sheaf::bench::generateProject(sheaf::fs::fromNative(argv[1]), argv[2],
                                                               std::strtoul(argv[3], nullptr, 10), pages, bytes);
        std::printf("%s\n", sheaf::fs::toNative(path).c_str());
    } catch (const sheaf::SheafError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
