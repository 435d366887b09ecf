#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sheaf {

// One item of the outline. Strings are Shift-JIS bytes.
struct FILEDATA {
    std::uint8_t bValid = 1;
    std::uint8_t bTag1 = 0;  // the HTML page is maintained by hand
    std::uint8_t bTag2 = 0;  // a user flag
    std::uint8_t bTag3 = 0;  // drawn in the tag-3 colour
    std::uint8_t bHScroll = 0; // shown without word wrap
    std::int32_t nLevel = 0;
    std::int32_t nSerial = 0;
    std::string sKeyword1;
    std::string sKeyword2;
    std::string sReserved;
    std::string sFileName;
    std::string sTitle;
};

// Owns every record of a program. The order is the file order of the last read
// followed by the records made since; it is not kept in tree order, and records
// whose nodes were deleted stay until the list is cleared.
using ItemList = std::vector<std::unique_ptr<FILEDATA>>;

inline void ClearItemList(ItemList& items) { items.clear(); }

} // namespace sheaf
