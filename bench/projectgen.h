#pragma once
// Makes large projects for the benchmarks: an outline of mixed depths, and
// optionally the page files on disk.
#include "project/filedata.h"

#include <cstdint>
#include <string>

namespace sheaf::bench {

// count records in tree order (levels 0..4), titles in Japanese, page paths
// in pageFolder; serials 2, 3, ...
ItemList generateItems(std::size_t count, const std::string& pageFolder);

// Writes dir/name.shf3 with count items and, when withPages, their page files
// of about pageBytes each in mixed markup. Answers the project path.
std::string generateProject(const std::string& dir, const std::string& name, std::size_t count, bool withPages,
                            std::size_t pageBytes = 2048);

// One page of about the given size in Shift-JIS, CR LF, using every markup rule.
std::string generatePage(std::size_t index, std::size_t count, std::size_t bytes);

// Peak resident set size of this process so far, in MiB.
double peakRssMiB();

// A temporary folder for one benchmark run, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace sheaf::bench
