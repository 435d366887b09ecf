#pragma once
// The maintenance utility's operations on projects and files on disk:
// renumbering, splitting a text file, moving unused files away, and tag 2.
// Each checks its inputs first (the message of the first failed check) and
// never leaves a project whose items point at the wrong pages.
#include "common/error.h"
#include "project/filedata.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sheaf::utility {

// A refused input: the message to show and the field it sends the focus to.
struct InputError {
    std::string message;
    std::string field; // "edtPrefix", "edtStartSerial", ...
};
// The same, thrown by an operation.
class InputRefused : public SheafError {
public:
    explicit InputRefused(InputError e) : SheafError(e.message), error(std::move(e)) {}
    InputError error;
};

// Reads a project the utility's way (layout by extension); throws SheafError
// with the reader's message when it was not read whole.
ItemList readProject(const std::string& path, std::int32_t* nextSerial = nullptr);

// --- File-name adjustment -------------------------------------------------

struct ProjectState {
    std::int32_t itemCount = 0;
    std::int32_t nextSerial = 0;
    std::string serialRange; // "1 ～ 50", empty for a project without items
};
ProjectState projectState(const std::string& path);

// The new page file name: prefix + number with at least 8 - len(prefix) digits + ".txt".
std::string renumberedName(const std::string& prefix, std::int64_t number);

// Validates the fields (as typed) in the specified order; the input error
// of the first that fails.
std::optional<InputError> checkRenumberInput(const std::string& fileCount, const std::string& start,
                                             const std::string& prefix);

struct RenumberResult {
    std::vector<std::pair<std::string, std::string>> renamed; // old, new
    std::string backupPath;
};

// Renumbers the project: backup "<base>_shf.bak", serials start, start+1, ...,
// page files renamed to prefix + number in their own folders, next serial =
// start + count, the project rewritten (a legacy ".shf" as ".shf3"). Every
// rename is planned first: a target taken by a file that is not itself being
// renamed refuses the run before anything changes. Renames go through
// temporary names; if one fails, those done are undone and the project file
// is left as it was. Throws SheafError with the reason.
RenumberResult renumber(const std::string& projectPath, const std::string& prefix, std::int32_t start);

// --- Splitting -------------------------------------------------------------

std::optional<InputError> checkSplitInput(const std::string& file, const std::string& keyword, const std::string& prefix);
// Splits the file at keyword lines into prefix + number files (the smallest
// free number each, never replacing a file). Answers the pieces written;
// throws SheafError naming the failure (pieces written before stay).
std::vector<std::string> splitFile(const std::string& file, const std::string& keyword, const std::string& prefix);

// --- Unneeded-file removal -------------------------------------------------

// "<project folder>/<base>/Backup".
std::string backupFolderFor(const std::string& projectPath);
struct CleanResult {
    std::vector<std::string> moved;   // the files' old paths
    std::vector<std::string> kept;    // a file of that name already in the backup folder
};
// Moves every plain, visible file of folder that is no item's page file
// (paths compared without regard to case) into the backup folder, never
// replacing a file there and never deleting one. Throws SheafError.
CleanResult moveUnneededFiles(const std::string& projectPath, const std::string& folder);

// --- Tag 2 -----------------------------------------------------------------

// Sets tag 2 of every item of the first project whose page file (without
// regard to case) is used by an item of the reference project, clears it
// elsewhere, and rewrites the first project. Throws SheafError; the refusal
// when the reference is not smaller is an InputError.
std::size_t adjustTag2(const std::string& projectPath, const std::string& referencePath);

} // namespace sheaf::utility
