#pragma once
// A loaded project: its paths, records, outline, serial counter and header.
// The main window, the help maker and the command line share it.
#include "project/filedata.h"
#include "project/outline.h"
#include "project/shffile.h"

#include <optional>
#include <string>
#include <vector>

namespace sheaf {

struct ProjectPaths {
    std::string projectPath;  // D/B.shf3
    std::string pageFolder;   // D/B
    std::string htmlFolder;   // D/html
    std::string imagesFolder; // D/html/images
    std::string htmlIniPath;  // D/B.ini
};

// The paths derived from a project path, without touching the disk.
ProjectPaths projectPathsFor(const std::string& projectPath);

// As projectPathsFor, creating the three folders with their parents.
// Throws SheafError naming the folder that could not be made.
ProjectPaths SetProjectPaths(const std::string& projectPath);

// folder + "/" + (name without folder and extension) + ".shf3"
std::string newProjectPath(const std::string& folder, const std::string& name);

struct OpenResult {
    bool readComplete = true;          // false: readError holds the text to show
    std::string readError;
    std::optional<std::string> treeWarning; // "Execute:Execute error"
    std::vector<std::size_t> relocated;     // records pointed at the local page folder
};

class Project {
public:
    ProjectPaths paths;
    ItemList items;
    Outline outline;
    std::int32_t nextSerial = 1;
    PROJECTHEADER header; // window bounds, tree width and marks as last read or set

    bool isOpen() const { return !paths.projectPath.empty() && !items.empty(); }

    // Creates folder/name.shf3 with its folders and first page (P0000001.txt,
    // serial 2, next serial 2) and writes the project file.
    void create(const std::string& folder, const std::string& name);

    // Reads the project file (layout by extension), applies the header only
    // when it was read completely, relocates moved page files and builds the
    // outline. Throws SheafError "CCreateTree:Execute error" when no item was read.
    OpenResult open(const std::string& path);

    // Writes the project file from the outline (a legacy path as ".shf3" beside it).
    void save() const;
};

} // namespace sheaf
