#pragma once
// The maintenance utility's item listing and its duplicate checks.
#include "project/filedata.h"

#include <array>
#include <string>
#include <vector>

namespace sheaf {

struct ListingRow {
    // title, number "%5d", serial "%8d", level, tag 1, tag 2, tag 3,
    // size "%12s" grouped, file name, folder, last-write time or "0"
    std::array<std::string, 11> columns;
    bool fileMissing = false;
};

std::vector<ListingRow> listItems(const ItemList& items);

// Groups of record positions (ascending, at least two each, ordered by their
// first member) whose page file names are equal without regard to ASCII case.
std::vector<std::vector<std::size_t>> duplicateFileNames(const ItemList& items);
// Groups of record positions with equal serial numbers.
std::vector<std::vector<std::size_t>> duplicateSerials(const ItemList& items);

} // namespace sheaf
