#include "commands.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "html/batch.h"
#include "project/createtree.h"
#include "project/pagefiles.h"
#include "project/project.h"
#include "project/shffile.h"
#include "utility/itemlisting.h"

#include <cstdio>
#include <functional>
#include <map>
#include <unistd.h>

namespace sheaf::cli {
namespace {

using sjis::sj;

const char* const kUsageText =
    "usage: sheaf COMMAND ...\n"
    "  new NAME [--dir DIR]   create DIR/NAME.shf3 with its first page\n"
    "  list PROJECT           list the items with their page files\n"
    "  tree PROJECT           print the outline, one title per line\n"
    "  check PROJECT          look for duplicate page file names and serial numbers\n"
    "  html PROJECT [--yes]   convert every page into the project's html folder\n"
    "                         (--yes: go on when the HTML settings file is missing)\n";

// Shift-JIS text to stdout / stderr as UTF-8.
void out(const std::string& sjisText) { std::fputs(sjis::toUtf8(sjisText).c_str(), stdout); }
void err(const std::string& sjisText)
{
    std::fflush(stdout);
    std::fputs((sjis::toUtf8(sjisText) + "\n").c_str(), stderr);
}

int usage()
{
    std::fputs(kUsageText, stderr);
    return kUsage;
}

std::string currentFolder()
{
    std::string buf(4096, '\0');
    if (!::getcwd(buf.data(), buf.size()))
        return ".";
    buf.resize(std::char_traits<char>::length(buf.c_str()));
    return buf;
}

// Absolute Shift-JIS path of a path given on the command line.
std::string argumentPath(const std::string& native)
{
    const std::string absolute = !native.empty() && native[0] == '/' ? native : currentFolder() + "/" + native;
    return fs::fromNative(absolute);
}

int cmdNew(const std::vector<std::string>& args)
{
    std::string name;
    std::string dir = currentFolder();
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dir" && i + 1 < args.size())
            dir = args[++i];
        else if (name.empty() && !args[i].empty() && args[i][0] != '-')
            name = args[i];
        else
            return usage();
    }
    if (name.empty())
        return usage();
    Project project;
    project.create(argumentPath(dir), fs::fromNative(name));
    out(project.paths.projectPath + "\n");
    return kSuccess;
}

// Reads the project's records the way the maintenance utility does; false
// (with the message shown) when the file is not a project file at all.
bool readForUtility(const std::string& path, ItemList& items, bool& complete)
{
    std::string message;
    if (!gCheckSHFFile(path, &message)) {
        if (!message.empty())
            err(message);
        err(sj("指定の SHF3 ファイルは正しいファイルではありません。"));
        return false;
    }
    CReadSHFFile reader(items, path, CReadSHFFile::Flavor::Utility);
    complete = reader.ReadFile(isCurrentLayoutPath(path));
    if (!complete)
        err(reader.errorMessage());
    return true;
}

int cmdList(const std::string& path)
{
    ItemList items;
    bool complete = false;
    if (!readForUtility(path, items, complete))
        return kFailure;
    const auto relocated = relocatePageFiles(items, projectPathsFor(path).pageFolder);
    const auto rows = listItems(items);
    std::size_t lastMissing = 0;
    bool missing = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string line = rows[i].columns[0];
        for (std::size_t c = 1; c < rows[i].columns.size(); ++c)
            line += "\t" + rows[i].columns[c];
        out(line + "\n");
        if (rows[i].fileMissing) {
            missing = true;
            lastMissing = i;
        }
    }
    for (std::size_t i : relocated)
        err(sj("番号 ") + std::to_string(i) + sj(" のファイルはページフォルダの ") + fileNamePart(items[i]->sFileName) +
            sj(" を使います（保存すると新しいパスが記録されます）"));
    if (missing)
        err(sj("番号 ") + std::to_string(lastMissing) + sj(" のファイルがありません"));
    return complete ? kSuccess : kFailure;
}

int cmdTree(const std::string& path)
{
    ItemList items;
    CReadSHFFile reader(items, path);
    const bool complete = reader.ReadFile(isCurrentLayoutPath(path));
    Outline outline;
    std::optional<std::string> warning;
    try {
        warning = CCreateTree(outline).Execute(items);
    } catch (const SheafError& e) {
        if (!complete)
            err(reader.errorMessage());
        err(e.what());
        return kFailure;
    }
    std::string text;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const OutlineNode* node = outline.nodeAt(i);
        text.append(static_cast<std::size_t>(outline.depth(node)), '\t');
        text += node->data->sTitle + "\n";
    }
    out(text);
    if (!complete)
        err(reader.errorMessage());
    if (warning)
        err(*warning);
    return complete && !warning ? kSuccess : kFailure;
}

void reportGroups(const std::vector<std::vector<std::size_t>>& groups, const ItemList& items, bool byName)
{
    for (const auto& group : groups) {
        std::string line = "\t";
        line += byName ? fileNamePart(items[group.front()]->sFileName) : std::to_string(items[group.front()]->nSerial);
        line += ": " + sj("番号");
        for (std::size_t k = 0; k < group.size(); ++k)
            line += (k ? ", " : " ") + std::to_string(group[k]);
        out(line + "\n");
    }
}

int cmdCheck(const std::string& path)
{
    ItemList items;
    bool complete = false;
    if (!readForUtility(path, items, complete))
        return kFailure;
    if (items.empty()) {
        err(sj("SHF3 ファイルを読み込んでください。"));
        return kFailure;
    }
    const auto names = duplicateFileNames(items);
    out(names.empty() ? sj("ファイル名の重複はありませんでした。\n") : sj("ファイル名の重複があります。\n"));
    reportGroups(names, items, true);
    const auto serials = duplicateSerials(items);
    out(serials.empty() ? sj("シリアル番号の重複はありませんでした。\n") : sj("シリアル番号の重複があります。\n"));
    reportGroups(serials, items, false);
    return names.empty() && serials.empty() && complete ? kSuccess : kFailure;
}

int cmdHtml(const std::vector<std::string>& args)
{
    std::string native;
    bool yes = false;
    for (const auto& a : args) {
        if (a == "--yes")
            yes = true;
        else if (native.empty() && !a.empty() && a[0] != '-')
            native = a;
        else
            return usage();
    }
    if (native.empty())
        return usage();
    const std::string path = argumentPath(native);

    Project project;
    const OpenResult opened = project.open(path);
    if (!opened.readComplete)
        err(opened.readError);
    if (opened.treeWarning)
        err(*opened.treeWarning);

    html::BatchHandler handler;
    handler.continueWithoutSettings = [&] {
        if (!yes)
            err(sj("HTML 化用初期化ファイルが存在しません。\n処理を続行しますか？"));
        return yes;
    };
    handler.ignoreMissingPage = [&](const std::string& name) {
        err(name + sj(" が存在しません。"));
        return true;
    };
    const html::BatchResult r = html::convertAll(project.outline, project.paths, handler);
    if (r.cancelled)
        return kFailure;
    if (!r.settingsWarning.empty())
        err(r.settingsWarning);
    if (r.failure)
        err(*r.failure + "\n" + r.failureDetail);
    out(sj("HTML 化: 変換 ") + std::to_string(r.converted) + sj("、タグ１で省略 ") + std::to_string(r.skippedTag1) +
        sj("、ファイルなし ") + std::to_string(r.missing) + "\n");
    const bool ok = opened.readComplete && !opened.treeWarning && !r.failure && r.missing == 0;
    return ok ? kSuccess : kFailure;
}

} // namespace

int run(const std::vector<std::string>& args)
{
    if (args.empty())
        return usage();
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    try {
        if (command == "new")
            return cmdNew(rest);
        if (command == "html")
            return cmdHtml(rest);
        const std::map<std::string, std::function<int(const std::string&)>> projectCommands{
            {"list", cmdList}, {"tree", cmdTree}, {"check", cmdCheck}};
        const auto it = projectCommands.find(command);
        if (it == projectCommands.end() || rest.size() != 1)
            return usage();
        return it->second(argumentPath(rest[0]));
    } catch (const SheafError& e) {
        err(e.what());
        return kFailure;
    }
}

} // namespace sheaf::cli
