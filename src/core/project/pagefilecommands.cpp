#include "project/pagefilecommands.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unordered_set>

namespace sheaf {

void movePageFile(const std::string& from, const std::string& to)
{
    const std::string nativeFrom = fs::toNative(from);
    const std::string nativeTo = fs::toNative(to);
    if (::rename(nativeFrom.c_str(), nativeTo.c_str()) == 0)
        return;
    if (errno != EXDEV)
        throw SheafError(fs::failureText(sjis::sj("ファイルを移動できませんでした"), from + " -> " + to,
                                         fs::reasonText(errno)));
    // Another file system: the copy is complete and on disk before the original goes.
    const std::string data = fs::readFile(from, sjis::sj("ファイルを移動できませんでした"));
    fs::writeFileAtomic(to, data, sjis::sj("ファイルを移動できませんでした"));
    if (!fs::removeFile(from))
        throw SheafError(fs::failureText(sjis::sj("移動元のファイルを削除できませんでした（移動先にコピーはあります）"), from,
                                         fs::reasonText(errno)));
}

BranchMove movePageFilesOfBranch(const Outline& outline, const OutlineNode* node, const std::string& folder)
{
    BranchMove result;
    // Page files of the whole project, by folded path: a move never replaces one of them.
    std::unordered_set<std::string> pages;
    for (std::size_t i = 0; i < outline.size(); ++i)
        pages.insert(asciiLower(outline.nodeAt(i)->data->sFileName));
    const std::size_t first = outline.indexOf(node);
    const std::size_t last = outline.lastIndexOfSubtree(node);
    for (std::size_t i = first; i <= last; ++i) {
        FILEDATA& item = *outline.nodeAt(i)->data;
        const std::string target = joinPath(folder, fileNamePart(item.sFileName));
        if (asciiLower(target) == asciiLower(item.sFileName))
            continue; // already there
        if (pages.count(asciiLower(target)) != 0 && fs::exists(target)) {
            result.kept.push_back(&item);
            continue;
        }
        try {
            movePageFile(item.sFileName, target);
            pages.erase(asciiLower(item.sFileName));
            pages.insert(asciiLower(target));
            item.sFileName = target;
            ++result.moved;
        } catch (const SheafError& e) {
            result.failed.emplace_back(&item, e.what());
        }
    }
    return result;
}

std::vector<std::string> sortedNoCase(std::vector<std::string> paths)
{
    std::stable_sort(paths.begin(), paths.end(),
                     [](const std::string& a, const std::string& b) { return asciiLower(a) < asciiLower(b); });
    return paths;
}

} // namespace sheaf
