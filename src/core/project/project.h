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

// The project name in what the user typed: a ".shf3" or ".shf" ending is
// dropped, every other dot kept ("dots.in.name"). Throws SheafError for what
// is no name: empty, ".", "..", or holding "/" or "\".
std::string projectNameFromInput(const std::string& input);

// folder + "/" + projectNameFromInput(name) + ".shf3"
std::string newProjectPath(const std::string& folder, const std::string& name);

// Throws SheafError with the message to show when path names no project file
// that can be read: missing, not a regular file, or not starting with "shf".
// Nothing is created on the way.
void checkProjectFile(const std::string& path);

struct OpenResult {
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
    // serial 2, next serial 2) and writes the project file. An existing
    // project file is refused unless replaceExisting; on failure the folders
    // and the page made on the way are removed again.
    void create(const std::string& folder, const std::string& name, bool replaceExisting = false);

    // Checks and reads the project file (layout by extension). A file that was
    // not read completely is refused with the reader's message and leaves this
    // project as it was, so that it can never be written back shortened. Then
    // the folders are made, moved page files relocated and the outline built.
    // Throws SheafError "CCreateTree:Execute error" when the file holds no item.
    OpenResult open(const std::string& path);

    // Removes the temporary files that an interrupted write left beside the
    // project, in its page folder and in its html folder. Only safe when no
    // other program has the project open.
    std::size_t removeTemporaries() const;

    // Writes the project file from the outline (a legacy path as ".shf3" beside it).
    void save() const;

    // The records as the project file holds them, in tree order with their
    // depths: equal images mean that nothing stored about the items changed.
    std::string recordsImage() const;
};

} // namespace sheaf
