#include "cliio.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/inifile.h"
#include "common/paths.h"
#include "common/settingspath.h"
#include "common/sjis.h"
#include "helpmaker/helpcompiler.h"
#include "helpmaker/helpproject.h"
#include "html/batch.h"
#include "project/createtree.h"
#include "project/pagefiles.h"
#include "project/project.h"
#include "project/projectlock.h"
#include "project/shffile.h"
#include "search/searchpages.h"
#include "utility/itemlisting.h"

#include <functional>
#include <map>

namespace sheaf::cli {
namespace {

using sjis::sj;

int cmdNew(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {}, {"--dir"});
    if (!a || a->operands.size() != 1)
        return usage();
    const auto dir = a->values.find("--dir");
    Project project;
    project.create(argumentPath(dir == a->values.end() ? currentFolder() : dir->second), fs::fromNative(a->operands[0]));
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
    const auto a = parseArguments(args, {"--yes", "--keep-going"}, {});
    if (!a || a->operands.size() != 1)
        return usage();
    const bool yes = a->has("--yes");
    const std::string path = argumentPath(a->operands[0]);

    Project project;
    const OpenResult opened = project.open(path);
    // The HTML pages can be made again at any time, so another program
    // holding the project is only worth a warning here.
    if (const auto owner = ProjectLock::liveOwner(path))
        err(lockHeldMessage(*owner) + sj("\nHTML 化はそのまま続けます。"));
    else
        project.removeTemporaries();
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
    handler.keepGoing = a->has("--keep-going");
    const html::BatchResult r = html::convertAll(project.outline, project.paths, handler);
    if (r.cancelled)
        return kFailure;
    if (!r.settingsWarning.empty())
        err(r.settingsWarning);
    if (r.failure)
        err(*r.failure + "\n" + r.failureDetail);
    for (const auto& [page, message] : r.failures)
        err(page + ": " + message);
    out(sj("HTML 化: 変換 ") + std::to_string(r.converted) + sj("、タグ１で省略 ") + std::to_string(r.skippedTag1) +
        sj("、ファイルなし ") + std::to_string(r.missing) + "\n");
    const bool ok = !opened.treeWarning && !r.failure && r.failures.empty() && r.missing == 0;
    return ok ? kSuccess : kFailure;
}

int cmdHelp(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {"--set-keywords", "--no-compile", "--force"}, {"--compiler"});
    if (!a || a->operands.size() != 1)
        return usage();
    const std::string path = argumentPath(a->operands[0]);
    if (extensionLower(path) != ".shf3") {
        err(sj("SHF3 ファイルではありません。"));
        return kFailure;
    }
    checkProjectFile(path);
    ItemList items;
    CReadSHFFile reader(items, path);
    if (!reader.ReadFile(true)) {
        err(reader.errorMessage());
        return kFailure;
    }
    if (items.empty()) {
        err("CCreateTree:Execute error");
        return kFailure;
    }
    if (a->has("--set-keywords")) {
        if (!mayWrite(path, a->has("--force")))
            return kFailure;
        help::fillKeywordsFromTitles(items);
        rewriteKeepingHeader(path, items);
    }
    const ProjectPaths paths = projectPathsFor(path);
    if (const auto missing = help::firstMissingPage(items, paths.htmlFolder)) {
        err(help::missingPageMessage(*missing));
        return kFailure;
    }
    const help::HelpFiles files = help::writeHelpProject(path, items);
    if (a->has("--no-compile")) {
        out(files.hhp + "\n");
        return kSuccess;
    }

    std::string compiler;
    if (const auto given = a->values.find("--compiler"); given != a->values.end())
        compiler = argumentPath(given->second);
    else
        compiler = IniFile(settingsIniPath()).readString("Tool", "HHC Path", "");
    if (compiler.empty())
        compiler = help::findCompilerOnPath().value_or("");
    if (compiler.empty()) {
        err(sj("hhc.exe の指定がありません。"));
        return kFailure;
    }
    if (!help::isCompilerName(compiler)) {
        err(sj("指定のコンパイラは hhc.exe ではありません。") + "\n" + compiler);
        return kFailure;
    }
    if (!fs::isFile(compiler)) {
        err(sj("hhc.exe が存在しません。") + "\n" + compiler);
        return kFailure;
    }
    const help::CompileResult r = help::compileHelp(compiler, path, items);
    if (!r.ok) {
        err(r.problem + (r.output.empty() ? std::string() : "\n" + sjis::fromUtf8(r.output)));
        return kFailure;
    }
    out(r.chmPath + "\n");
    return kSuccess;
}

// The item range of --under N, else every item; false after a usage error.
bool searchRange(const Arguments& a, const Outline& outline, search::IndexRange& range)
{
    const auto under = a.values.find("--under");
    if (under == a.values.end()) {
        range = search::rangeFor(outline, search::Range::AllPages, 0);
        return true;
    }
    const std::string& n = under->second;
    if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos || n.size() > 9)
        return false;
    const std::size_t index = std::stoul(n);
    if (index >= outline.size()) {
        err(sj("番号 ") + n + sj(" の項目はありません（項目数 ") + std::to_string(outline.size()) + sj("）"));
        range = {};
        return true;
    }
    range = search::rangeFor(outline, search::Range::SelectedAndBelow, index);
    return true;
}

// The project of a search or a replacement, and the items it goes through.
struct SearchTarget {
    std::string path;
    ItemList items;
    Outline outline;
    search::IndexRange range;
};

// Reads the project of the first operand and the range of --under into t;
// nullopt to go on, else the command's exit code.
std::optional<int> openSearchTarget(const Arguments& a, SearchTarget& t)
{
    t.path = argumentPath(a.operands[0]);
    loadOutline(t.path, t.items, t.outline);
    if (!searchRange(a, t.outline, t.range))
        return usage();
    if (t.range.empty)
        return kFailure;
    return std::nullopt;
}

int cmdSearch(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {"--case"}, {"--under"});
    if (!a || a->operands.size() != 2 || a->operands[1].empty())
        return usage();
    SearchTarget t;
    if (const auto exit = openSearchTarget(*a, t))
        return *exit;
    const Outline& outline = t.outline;
    const auto r = search::SearchPages(outline, t.range.first, t.range.last, sjis::fromUtf8(a->operands[1]), a->has("--case"));
    std::string text;
    for (std::size_t i : r.found)
        text += search::resultLine(i, outline.nodeAt(i)->data->sTitle) + "\n";
    out(text);
    if (!r.skipped.empty())
        err(std::to_string(r.skipped.size()) + sj(" 個のページファイルを開けなかったため、検索していません（番号 ") +
            std::to_string(r.skipped.front()) + sj(" ほか）"));
    return r.found.empty() ? kFailure : kSuccess;
}

int cmdReplace(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {"--case", "--force"}, {"--under"});
    if (!a || a->operands.size() != 3 || a->operands[1].empty())
        return usage();
    SearchTarget t;
    if (const auto exit = openSearchTarget(*a, t))
        return *exit;
    if (!mayWrite(t.path, a->has("--force")))
        return kFailure;
    const auto r = search::ReplacePages(t.outline, t.range.first, t.range.last, sjis::fromUtf8(a->operands[1]),
                                        sjis::fromUtf8(a->operands[2]), a->has("--case"));
    std::string text;
    for (const auto& p : r.rewritten)
        text += p + "\n";
    out(text);
    for (const auto& [page, message] : r.failed)
        err(message);
    return r.failed.empty() ? kSuccess : kFailure;
}

} // namespace

int run(const std::vector<std::string>& args)
{
    if (args.empty())
        return usage();
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    // No failure may end the program without its message: every exception
    // that reaches here is reported and the command fails.
    try {
        if (command == "--version" && rest.empty()) {
            out(std::string("sheaf ") + SHEAF_VERSION + "\n");
            return kSuccess;
        }
        // list, tree and check take one project and nothing else.
        const auto project = [](int (*fn)(const std::string&)) {
            return [fn](const std::vector<std::string>& operands) {
                const auto a = parseArguments(operands, {}, {});
                return a && a->operands.size() == 1 ? fn(argumentPath(a->operands[0])) : usage();
            };
        };
        const std::map<std::string, std::function<int(const std::vector<std::string>&)>> commands{
            {"new", cmdNew},       {"list", project(cmdList)}, {"tree", project(cmdTree)},
            {"check", project(cmdCheck)}, {"html", cmdHtml},   {"help", cmdHelp},
            {"search", cmdSearch}, {"replace", cmdReplace},    {"size", cmdSize},
            {"output", cmdOutput}, {"renumber", cmdRenumber},  {"split", cmdSplit},
            {"clean", cmdClean},   {"tag2", cmdTag2},
        };
        const auto it = commands.find(command);
        return it == commands.end() ? usage() : it->second(rest);
    } catch (const SheafError& e) {
        err(e.what());
    } catch (const std::bad_alloc&) {
        err(sj("メモリが足りないため、処理を中止しました。"));
    } catch (const std::exception& e) {
        err(sj("処理を中止しました: ") + sjis::fromUtf8(e.what()));
    } catch (...) {
        err(sj("予期しないエラーのため、処理を中止しました。"));
    }
    return kFailure;
}

} // namespace sheaf::cli
