#include "utility/itemlisting.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/text.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace sheaf {

namespace {
std::string printfInt(const char* format, long long value)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

template <typename Key, typename KeyOf>
std::vector<std::vector<std::size_t>> groupDuplicates(const ItemList& items, KeyOf keyOf)
{
    std::unordered_map<Key, std::vector<std::size_t>> byKey;
    std::vector<Key> firstSeen;
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto [it, fresh] = byKey.try_emplace(keyOf(*items[i]));
        if (fresh)
            firstSeen.push_back(it->first);
        it->second.push_back(i);
    }
    std::vector<std::vector<std::size_t>> groups;
    for (const auto& key : firstSeen)
        if (auto& g = byKey[key]; g.size() > 1)
            groups.push_back(std::move(g));
    return groups;
}
} // namespace

std::vector<ListingRow> listItems(const ItemList& items)
{
    std::vector<ListingRow> rows;
    rows.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const FILEDATA& d = *items[i];
        ListingRow row;
        const auto written = fs::lastWriteText(d.sFileName);
        row.fileMissing = !written.has_value();
        row.columns = {d.sTitle,
                       printfInt("%5lld", static_cast<long long>(i)),
                       printfInt("%8lld", d.nSerial),
                       std::to_string(d.nLevel),
                       std::to_string(d.bTag1),
                       std::to_string(d.bTag2),
                       std::to_string(d.bTag3),
                       "",
                       fileNamePart(d.sFileName),
                       folderPart(d.sFileName),
                       written.value_or("0")};
        char size[64];
        std::snprintf(size, sizeof size, "%12s", formatNumber(fs::fileSize(d.sFileName)).c_str());
        row.columns[7] = size;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::vector<std::size_t>> duplicateFileNames(const ItemList& items)
{
    return groupDuplicates<std::string>(items, [](const FILEDATA& d) { return asciiLower(fileNamePart(d.sFileName)); });
}

std::vector<std::vector<std::size_t>> duplicateSerials(const ItemList& items)
{
    return groupDuplicates<std::int32_t>(items, [](const FILEDATA& d) { return d.nSerial; });
}

} // namespace sheaf
