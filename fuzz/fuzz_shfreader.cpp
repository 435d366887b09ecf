// Any bytes as a project file, in both layouts: no crash, no huge allocation,
// no read past the data; a complete read must build an outline or fail cleanly.
#include "common/error.h"
#include "project/createtree.h"
#include "project/outline.h"
#include "project/shffile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool current : {true, false}) {
        sheaf::ItemList items;
        sheaf::CReadSHFFile reader(items, "fuzz.shf3");
        reader.ReadData(bytes, current);
        sheaf::Outline outline;
        try {
            sheaf::CCreateTree(outline).Execute(items);
        } catch (const sheaf::SheafError&) {
        }
        for (std::size_t i = 0; i < outline.size(); ++i)
            (void)outline.lastIndexOfSubtree(outline.nodeAt(i));
    }
    return 0;
}
