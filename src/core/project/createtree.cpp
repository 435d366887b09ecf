#include "project/createtree.h"

#include "common/error.h"
#include "project/outline.h"

#include <vector>

namespace sheaf {

std::optional<std::string> CCreateTree::Execute(const ItemList& items)
{
    if (items.empty())
        throw SheafError("CCreateTree:Execute error");

    std::optional<std::string> warning;
    m_outline.beginBuild();
    // path[d] is the ancestor of the previous node at depth d (the node itself last).
    std::vector<OutlineNode*> path;
    for (const auto& item : items) {
        const std::int32_t level = item->nLevel < 0 ? 0 : item->nLevel;
        OutlineNode* parent = nullptr;
        if (!path.empty()) {
            const auto prevDepth = static_cast<std::int64_t>(path.size()) - 1;
            if (level > prevDepth + 1) {
                warning = "Execute:Execute error";
                break;
            }
            // Same depth: a sibling of the previous node; one deeper: its child;
            // shallower: the next sibling of its ancestor at that depth.
            path.resize(static_cast<size_t>(level));
            parent = level > 0 ? path.back() : nullptr;
        }
        path.push_back(m_outline.buildAppend(parent, item.get()));
    }
    m_outline.endBuild();
    return warning;
}

} // namespace sheaf
