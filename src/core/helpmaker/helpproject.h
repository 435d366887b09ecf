#pragma once
// The help project of a project: its contents (.hhc), index (.hhk) and
// project (.hhp) files, byte for byte, and the keywords they are built from.
#include "project/filedata.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace sheaf::help {

// Keyword 1 from the title wherever it is empty (what opening a project in
// the help maker does).
void fillKeywordsFromTitles(ItemList& items);

// "P0000131.htm" for the page file ".../P0000131.txt".
std::string htmlPageName(const std::string& pagePath);

// One item of the help project: its record and its tree position.
struct HelpEntry {
    const FILEDATA* item;
    std::size_t position;
};

// Position (0-based) of the first item, in tree order, whose HTML page is
// missing in htmlFolder; nullopt when every page is there.
std::optional<std::size_t> firstMissingPage(const ItemList& items, const std::string& htmlFolder);
// The message for it: "3 番目のファイルに対応する HTML ファイルがありません。"
std::string missingPageMessage(std::size_t position);

// The three files as Shift-JIS bytes with CR LF; items in tree order.
std::string contentsFile(const ItemList& items);
std::string indexFile(const ItemList& items);
std::string projectFile(const std::string& baseName, const ItemList& items);

// Entries sorted by keyword 1 (bytes), equal keywords by tree position.
std::vector<HelpEntry> sortedByKeyword(const ItemList& items);

struct HelpFiles {
    std::string hhc, hhk, hhp, chm; // full paths
};
// Paths of the files beside the project, named after its base name.
HelpFiles helpFilesFor(const std::string& projectPath);

// Writes the three files (each replaced atomically). Throws SheafError
// naming the file and the reason when one cannot be written.
HelpFiles writeHelpProject(const std::string& projectPath, const ItemList& items);

} // namespace sheaf::help
