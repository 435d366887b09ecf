#pragma once
// Moving and renaming page files: nothing is ever lost on the way, and no
// page of another item is replaced.
#include "project/outline.h"

#include <string>
#include <vector>

namespace sheaf {

// Moves a file: a rename where the file system allows, else a complete copy
// that is flushed to disk before the original is removed. A file at the
// target is replaced. Throws SheafError naming the files and the reason.
void movePageFile(const std::string& from, const std::string& to);

struct BranchMove {
    std::size_t moved = 0;
    // Items left where they were: their file name in the target folder is
    // the page file of another item of the project.
    std::vector<const FILEDATA*> kept;
    // Items whose move failed, with the message.
    std::vector<std::pair<const FILEDATA*, std::string>> failed;
};

// Moves the page files of node and every node below it into folder, under
// their own names, and points the items at their new paths.
BranchMove movePageFilesOfBranch(const Outline& outline, const OutlineNode* node, const std::string& folder);

// Paths sorted without regard to ASCII case (the read-in order).
std::vector<std::string> sortedNoCase(std::vector<std::string> paths);

} // namespace sheaf
