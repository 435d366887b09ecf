#include "helpmaker/helpproject.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"

#include <algorithm>

namespace sheaf::help {
namespace {

using sjis::sj;

const char* const kCrLf = "\r\n";

void line(std::string& out, std::string_view text)
{
    out += text;
    out += kCrLf;
}

// One entry of the contents or the index; names are written as stored, without escaping.
void entryLine(std::string& out, const std::string& name, const std::string& local)
{
    out += "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"";
    out += name;
    out += "\"><param name=\"Local\" value=\"";
    out += local;
    out += "\"></OBJECT>";
    out += kCrLf;
}

void sitemapHead(std::string& out)
{
    line(out, "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">");
    line(out, "<HTML>");
    line(out, "<HEAD>");
    line(out, "<meta name=\"GENERATOR\" content=\"Microsoft&reg; HTML Help Workshop 4.1\">");
    line(out, "<!-- Sitemap 1.0 -->");
    line(out, "</HEAD>");
    line(out, "<BODY>");
}

std::string localPath(const FILEDATA& item) { return "html/" + htmlPageName(item.sFileName); }

bool noIndexEntry(const std::string& keyword)
{
    return keyword.empty() || keyword == " " || keyword == "\x81\x40";
}

} // namespace

void fillKeywordsFromTitles(ItemList& items)
{
    for (auto& item : items)
        if (item->sKeyword1.empty())
            item->sKeyword1 = item->sTitle;
}

std::string htmlPageName(const std::string& pagePath) { return fileNamePart(changeExtension(fileNamePart(pagePath), ".htm")); }

std::optional<std::size_t> firstMissingPage(const ItemList& items, const std::string& htmlFolder)
{
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!fs::isFile(joinPath(htmlFolder, htmlPageName(items[i]->sFileName))))
            return i;
    return std::nullopt;
}

std::string missingPageMessage(std::size_t position)
{
    return std::to_string(position + 1) + sj(" 番目のファイルに対応する HTML ファイルがありません。");
}

std::string contentsFile(const ItemList& items)
{
    std::string out;
    sitemapHead(out);
    line(out, "<OBJECT type=\"text/site properties\">");
    line(out, "\t<param name=\"ImageType\" value=\"Folder\">");
    line(out, "</OBJECT>");
    line(out, "<UL>");
    std::int32_t previous = 0;
    for (const auto& item : items) {
        if (item->nLevel > previous)
            line(out, "<UL>");
        for (std::int32_t l = item->nLevel; l < previous; ++l)
            line(out, "</UL>");
        entryLine(out, item->sTitle, localPath(*item));
        previous = item->nLevel;
    }
    for (std::int32_t l = 0; l < previous; ++l)
        line(out, "</UL>");
    line(out, "</UL>");
    line(out, "</BODY>");
    line(out, "</HTML>");
    return out;
}

std::vector<HelpEntry> sortedByKeyword(const ItemList& items)
{
    std::vector<HelpEntry> entries;
    entries.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        entries.push_back({items[i].get(), i});
    // Bytes decide, and equal keywords keep their tree order: the index is
    // the same on every run and on every machine.
    std::stable_sort(entries.begin(), entries.end(), [](const HelpEntry& a, const HelpEntry& b) {
        return a.item->sKeyword1 < b.item->sKeyword1;
    });
    return entries;
}

std::string indexFile(const ItemList& items)
{
    std::string out;
    sitemapHead(out);
    line(out, "<UL>");
    std::string previous;
    bool subList = false;
    for (const HelpEntry& e : sortedByKeyword(items)) {
        const FILEDATA& item = *e.item;
        if (noIndexEntry(item.sKeyword1))
            continue;
        if (item.sKeyword1 != previous) {
            if (subList) {
                line(out, "</UL>");
                subList = false;
            }
            entryLine(out, item.sKeyword1, localPath(item));
        } else if (item.sKeyword2.empty()) {
            entryLine(out, item.sKeyword1, localPath(item));
        } else {
            if (!subList) {
                line(out, "<UL>");
                subList = true;
            }
            entryLine(out, item.sKeyword2, localPath(item));
        }
        previous = item.sKeyword1;
    }
    if (subList)
        line(out, "</UL>");
    line(out, "</UL>");
    line(out, "</BODY>");
    line(out, "</HTML>");
    return out;
}

std::string projectFile(const std::string& baseName, const ItemList& items)
{
    const std::string first = items.empty() ? std::string() : localPath(*items.front());
    std::string out;
    line(out, "[OPTIONS]");
    line(out, "Binary Index=NO");
    line(out, "Compatibility=1.1 or later");
    line(out, "Compiled file=" + baseName + ".chm");
    line(out, "Contents file=" + baseName + ".hhc");
    line(out, "Default Window=Main");
    line(out, "Default topic=" + first);
    line(out, "Display compile progress=No");
    line(out, "Index file=" + baseName + ".hhk");
    line(out, "Full-text search=YES");
    line(out, "Language=0x411 " + sj("日本語 (日本)"));
    line(out, "Title=" + baseName);
    line(out, "[WINDOWS]");
    line(out, "Main=,\"" + baseName + ".hhc\",\"" + baseName + ".hhk\",\"" + first +
                  "\",,,,,,0x2520,,0x10200e,,,,,,,,0");
    line(out, "[FILES]");
    for (const auto& item : items)
        line(out, localPath(*item));
    return out;
}

HelpFiles helpFilesFor(const std::string& projectPath)
{
    const std::string base = joinPath(folderPart(projectPath), BaseName(projectPath));
    return {base + ".hhc", base + ".hhk", base + ".hhp", base + ".chm"};
}

HelpFiles writeHelpProject(const std::string& projectPath, const ItemList& items)
{
    const HelpFiles files = helpFilesFor(projectPath);
    const std::string cannotWrite = sj("ヘルプのプロジェクトファイルを書き込めませんでした");
    fs::writeFileAtomic(files.hhc, contentsFile(items), cannotWrite);
    fs::writeFileAtomic(files.hhk, indexFile(items), cannotWrite);
    fs::writeFileAtomic(files.hhp, projectFile(BaseName(projectPath), items), cannotWrite);
    return files;
}

} // namespace sheaf::help
