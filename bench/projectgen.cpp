#include "projectgen.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "project/createtree.h"
#include "project/outline.h"
#include "project/pagefiles.h"
#include "project/project.h"
#include "project/shffile.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace sheaf::bench {

ItemList generateItems(std::size_t count, const std::string& pageFolder)
{
    static const std::string titles[] = {sjis::sj("はじめに"), sjis::sj("インストールの手順"),
                                         sjis::sj("画面の構成と操作"), sjis::sj("よくある質問"),
                                         sjis::sj("付録：設定ファイルの項目")};
    ItemList items;
    items.reserve(count);
    int level = 0;
    for (std::size_t i = 0; i < count; ++i) {
        auto d = std::make_unique<FILEDATA>();
        // A walk that goes down one level at a time and comes back up in jumps.
        if (i == 0)
            level = 0;
        else if (i % 7 == 3 && level < 4)
            ++level;
        else if (i % 11 == 0)
            level = 0;
        else if (i % 5 == 0 && level > 0)
            --level;
        d->nLevel = level;
        d->nSerial = static_cast<std::int32_t>(i + 2);
        d->sFileName = joinPath(pageFolder, pageFileName(static_cast<std::int32_t>(i + 1)));
        d->sTitle = titles[i % 5] + " " + std::to_string(i + 1);
        items.push_back(std::move(d));
    }
    return items;
}

std::string generatePage(std::size_t index, std::size_t count, std::size_t bytes)
{
    const auto sj = [](const char* s) { return sjis::sj(s); };
    const std::string link = "P" + std::string(7 - std::to_string((index + 1) % count + 1).size(), '0') +
                             std::to_string((index + 1) % count + 1) + ".htm";
    std::string page = sj("ページ ") + std::to_string(index + 1) + sj(" の見出し") + "\r\n";
    const std::string blocks[] = {
        sj("この段落は日本語の本文です。<b>太字</b>や <a href=\"") + link + sj("\">次のページ</a> へのリンクを含みます。") + "\r\n",
        sj("操作の概要＠") + "\r\n",
        sj("・一つ目の項目") + "\r\n" + sj("・二つ目の項目 & 記号 <x>") + "\r\n",
        sj("1. 手順の一つ目") + "\r\n" + sj("2. 手順の二つ目") + "\r\n",
        sj("＠名前\t値\t説明") + "\r\n" + sj("幅\t870\tウィンドウの幅") + "\r\n",
        sj("注：保存してから閉じてください。") + "\r\n",
        "<pre>\r\nif (a < b && c > d) {\r\n    return;\r\n}\r\n</pre>\r\n",
        sj("画像の例 <images/screen.png> です。") + "\r\n",
        "======\r\n",
        "\r\n",
    };
    for (std::size_t k = index; page.size() < bytes; ++k)
        page += blocks[k % 10];
    return page;
}

std::string generateProject(const std::string& dir, const std::string& name, std::size_t count, bool withPages,
                            std::size_t pageBytes)
{
    const std::string projectPath = joinPath(dir, name + ".shf3");
    const ProjectPaths paths = SetProjectPaths(projectPath);
    ItemList items = generateItems(count, paths.pageFolder);
    if (withPages)
        for (std::size_t i = 0; i < count; ++i)
            std::ofstream(fs::toNative(items[i]->sFileName), std::ios::binary) << generatePage(i, count, pageBytes);
    Outline outline;
    CCreateTree(outline).Execute(items);
    PROJECTHEADER h;
    h.nNextSerial = static_cast<std::int32_t>(count + 2);
    for (int k = 0; k < 3; ++k)
        h.marks[static_cast<std::size_t>(k)].text = defaultMarkText(k);
    CWriteSHF3File(projectPath).WriteFile(h, outline);
    return projectPath;
}

ScratchFolder::ScratchFolder()
{
    m_path = (std::filesystem::temp_directory_path() / "sheaf-bench-XXXXXX").string();
    if (!::mkdtemp(m_path.data()))
        std::abort();
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

double peakRssMiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

} // namespace sheaf::bench
