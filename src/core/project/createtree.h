#pragma once
#include "project/filedata.h"

#include <optional>
#include <string>

namespace sheaf {

class Outline;

// Builds the outline from the records' levels, in list order.
class CCreateTree {
public:
    explicit CCreateTree(Outline& outline) : m_outline(outline) {}

    // Appends one node per record to the (emptied) outline. Throws SheafError
    // "CCreateTree:Execute error" when the list is empty. A record whose level
    // jumps by more than one stops the build: the nodes added so far stay and
    // the answer is the warning to show ("Execute:" + "Execute error").
    // Negative levels count as 0.
    std::optional<std::string> Execute(const ItemList& items);

private:
    Outline& m_outline;
};

} // namespace sheaf
