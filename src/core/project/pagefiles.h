#pragma once
// Page text files: "P" + at least seven digits + ".txt" in the page folder.
#include "project/filedata.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sheaf {

// "P0000012.txt" for 12.
std::string pageFileName(std::int32_t number);

// The first page file name in folder, from start on and below 999999, that
// does not exist yet; nullopt when there is none.
std::optional<std::string> NextPageFileName(const std::string& folder, std::int32_t start);

// Creates a new page file in pageFolder and advances nextSerial by one. The
// file holds its base name (P0000007) without a line end; with a former path it
// goes on with a line end, an empty line and "元のファイル名: " + the former path.
// Never overwrites a file; throws SheafError when no page file can be made.
std::string CreatePageFile(const std::string& pageFolder, std::int32_t& nextSerial,
                           const std::string& formerPath = {});

// Appends a new record (serial = nextSerial, title = BaseName of the path) and
// answers its index in the list.
std::size_t AddItemRecord(ItemList& items, std::int32_t level, const std::string& path, std::int32_t nextSerial);

// For every record whose page file is missing while the page folder holds a
// file of the same name (a project moved from another machine, where paths
// such as C:\doc\Manual\P0000001.txt were stored), points the record at that
// file. Answers the indexes of the records changed.
std::vector<std::size_t> relocatePageFiles(ItemList& items, const std::string& pageFolder);

} // namespace sheaf
