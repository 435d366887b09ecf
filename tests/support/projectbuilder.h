#pragma once
// Small helpers that make item lists and outlines from a list of levels.
#include "project/createtree.h"
#include "project/filedata.h"
#include "project/outline.h"

#include <string>
#include <vector>

namespace sheaf::test {

struct ItemShape {
    int level;
    std::string title;
};

inline ItemList makeItems(const std::vector<ItemShape>& shapes, const std::string& folder = "/pages")
{
    ItemList items;
    int serial = 2;
    for (const auto& s : shapes) {
        auto d = std::make_unique<FILEDATA>();
        d->nLevel = s.level;
        d->nSerial = serial++;
        d->sTitle = s.title;
        d->sFileName = folder + "/" + s.title + ".txt";
        items.push_back(std::move(d));
    }
    return items;
}

// "title:depth" per node in pre-order, separated by blanks.
inline std::string dump(const Outline& outline)
{
    std::string out;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const OutlineNode* n = outline.nodeAt(i);
        if (!out.empty())
            out += ' ';
        out += n->data->sTitle + ":" + std::to_string(outline.depth(n));
    }
    return out;
}

inline OutlineNode* findNode(const Outline& outline, const std::string& title)
{
    for (std::size_t i = 0; i < outline.size(); ++i)
        if (outline.nodeAt(i)->data->sTitle == title)
            return outline.nodeAt(i);
    return nullptr;
}

} // namespace sheaf::test
