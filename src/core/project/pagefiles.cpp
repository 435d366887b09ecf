#include "project/pagefiles.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"

#include <cstdio>

namespace sheaf {

std::string pageFileName(std::int32_t number)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "P%07d.txt", number);
    return buf;
}

std::optional<std::string> NextPageFileName(const std::string& folder, std::int32_t start)
{
    for (std::int32_t n = start < 0 ? 0 : start; n < 999999; ++n) {
        std::string candidate = joinPath(folder, pageFileName(n));
        if (!fs::exists(candidate))
            return candidate;
    }
    return std::nullopt;
}

std::string CreatePageFile(const std::string& pageFolder, std::int32_t& nextSerial, const std::string& formerPath)
{
    static const std::string noName = sjis::sj("新しいページファイルを作成できません。ページフォルダに使える "
                                               "P0000001.txt〜P0999998.txt の名前が残っていません: ");
    static const std::string cannotCreate = sjis::sj("新しいページファイルを作成できませんでした: ");
    static const std::string formerLabel = sjis::sj("元のファイル名: ");
    std::int32_t start = nextSerial;
    // Another program may take a name between the look-up and the creation;
    // the creation itself refuses to replace a file, so look again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto path = NextPageFileName(pageFolder, start);
        if (!path)
            throw SheafError(noName + pageFolder);
        std::string content = BaseName(*path);
        if (!formerPath.empty())
            content += "\r\n\r\n" + formerLabel + formerPath + "\r\n";
        if (fs::createNewFile(*path, content)) {
            ++nextSerial;
            return *path;
        }
        if (!fs::exists(*path))
            throw SheafError(cannotCreate + *path);
        start = std::stoi(BaseName(*path).substr(1)) + 1;
    }
    throw SheafError(cannotCreate + pageFolder);
}

std::size_t AddItemRecord(ItemList& items, std::int32_t level, const std::string& path, std::int32_t nextSerial)
{
    auto item = std::make_unique<FILEDATA>();
    item->nLevel = level;
    item->nSerial = nextSerial;
    item->sFileName = path;
    item->sTitle = BaseName(path);
    items.push_back(std::move(item));
    return items.size() - 1;
}

std::vector<std::size_t> relocatePageFiles(ItemList& items, const std::string& pageFolder)
{
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < items.size(); ++i) {
        FILEDATA& item = *items[i];
        // A page already in the page folder has nowhere else to be: no look at the disk.
        if (item.sFileName.empty())
            continue;
        std::string local = joinPath(pageFolder, fileNamePart(item.sFileName));
        if (local == item.sFileName || fs::exists(item.sFileName))
            continue;
        if (fs::isFile(local)) {
            item.sFileName = std::move(local);
            changed.push_back(i);
        }
    }
    return changed;
}

} // namespace sheaf
