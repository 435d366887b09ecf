#include "commands.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/inifile.h"
#include "common/settingspath.h"
#include "helpmaker/helpcompiler.h"
#include "helpmaker/helpproject.h"
#include "html/batch.h"
#include "reports/outputs.h"
#include "search/searchpages.h"
#include "project/createtree.h"
#include "project/pagefiles.h"
#include "project/project.h"
#include "project/projectlock.h"
#include "project/shffile.h"
#include "utility/itemlisting.h"
#include "utility/maintenance.h"

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <unistd.h>

namespace sheaf::cli {
namespace {

using sjis::sj;

const char* const kUsageText =
    "usage: sheaf COMMAND [OPTIONS] [--] OPERANDS\n"
    "  new NAME [--dir DIR]   create DIR/NAME.shf3 with its first page\n"
    "  list PROJECT           list the items with their page files\n"
    "  tree PROJECT           print the outline, one title per line\n"
    "  check PROJECT          look for duplicate page file names and serial numbers\n"
    "  html PROJECT [--yes] [--keep-going]\n"
    "                         convert every page into the project's html folder\n"
    "                         (--yes: go on when the HTML settings file is missing;\n"
    "                         --keep-going: go on after a failing page, list them all)\n"
    "  help PROJECT [--set-keywords] [--compiler PATH] [--no-compile]\n"
    "                         write the help project (.hhc, .hhk, .hhp) and compile it;\n"
    "                         --set-keywords first fills keyword 1 from the title\n"
    "  search PROJECT TEXT [--case] [--under N]\n"
    "                         the items whose page holds TEXT, one \"(NNNN) title\" line each\n"
    "  replace PROJECT SEARCH REPLACE [--case] [--under N]\n"
    "                         replace in the page files; prints every page rewritten\n"
    "  renumber PROJECT --prefix P [--start S]\n"
    "                         new serials from S and page files named P + number\n"
    "  split FILE --keyword K --prefix P\n"
    "                         cut FILE at lines beginning with K; prints the pieces\n"
    "  clean PROJECT FOLDER   move FOLDER's files that no item uses into the backup folder\n"
    "  tag2 PROJECT REFERENCE set tag 2 of the items whose page REFERENCE uses\n"
    "  size PROJECT [--save FILE]\n"
    "                         the size of the page files per top-level branch\n"
    "  output titles|all|paths PROJECT\n"
    "                         write PROJECT_Node.txt, _All.txt or _PathList.txt beside it\n"
    "  --version              print the version\n"
    "Commands that change a project refuse while another program has it open;\n"
    "--force goes on all the same. \"--\" ends the options.\n";

// Options and operands of one subcommand. Every subcommand reads its command
// line the same way: known options anywhere before "--", everything after it
// an operand, any other word beginning with "-" a usage error.
struct Arguments {
    std::vector<std::string> operands;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
};

std::optional<Arguments> parseArguments(const std::vector<std::string>& args, const std::set<std::string>& flagNames,
                                        const std::set<std::string>& valueNames)
{
    Arguments a;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            if (flagNames.count(arg))
                a.flags.insert(arg);
            else if (valueNames.count(arg) && i + 1 < args.size())
                a.values[arg] = args[++i];
            else
                return std::nullopt;
        } else {
            a.operands.push_back(arg);
        }
    }
    return a;
}

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

// Tells whether a command that writes may go on: another program that has
// the project open would overwrite or lose what this one writes.
bool mayWrite(const std::string& path, bool force)
{
    const auto owner = ProjectLock::liveOwner(path);
    if (!owner)
        return true;
    if (force) {
        err(lockHeldMessage(*owner) + sj("\n--force の指定により、そのまま実行します。"));
        return true;
    }
    err(lockHeldMessage(*owner) + sj("\nそのプログラムを終了してから実行してください（--force で強行できます）。"));
    return false;
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

// The outline of a project for a command that only reads it: nothing is
// created beside it, and a project that was not read whole is refused.
void loadOutline(const std::string& path, ItemList& items, Outline& outline)
{
    checkProjectFile(path);
    CReadSHFFile reader(items, path);
    if (!reader.ReadFile(isCurrentLayoutPath(path)))
        throw SheafError(reader.errorMessage());
    relocatePageFiles(items, projectPathsFor(path).pageFolder);
    if (const auto warning = CCreateTree(outline).Execute(items))
        err(*warning);
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

int cmdSearch(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {"--case"}, {"--under"});
    if (!a || a->operands.size() != 2 || a->operands[1].empty())
        return usage();
    const std::string path = argumentPath(a->operands[0]);
    ItemList items;
    Outline outline;
    loadOutline(path, items, outline);
    search::IndexRange range;
    if (!searchRange(*a, outline, range))
        return usage();
    if (range.empty)
        return kFailure;
    const auto r = search::SearchPages(outline, range.first, range.last, sjis::fromUtf8(a->operands[1]), a->has("--case"));
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
    const std::string path = argumentPath(a->operands[0]);
    ItemList items;
    Outline outline;
    loadOutline(path, items, outline);
    search::IndexRange range;
    if (!searchRange(*a, outline, range))
        return usage();
    if (range.empty || !mayWrite(path, a->has("--force")))
        return kFailure;
    const auto r = search::ReplacePages(outline, range.first, range.last, sjis::fromUtf8(a->operands[1]),
                                        sjis::fromUtf8(a->operands[2]), a->has("--case"));
    std::string text;
    for (const auto& p : r.rewritten)
        text += p + "\n";
    out(text);
    for (const auto& [page, message] : r.failed)
        err(message);
    return r.failed.empty() ? kSuccess : kFailure;
}

int inputRefused(const utility::InputError& e)
{
    err(e.message);
    return kFailure;
}

int cmdRenumber(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {"--force"}, {"--prefix", "--start"});
    if (!a || a->operands.size() != 1 || !a->values.count("--prefix"))
        return usage();
    const std::string path = argumentPath(a->operands[0]);
    const std::string prefix = fs::fromNative(a->values.at("--prefix"));
    const std::string start = a->values.count("--start") ? a->values.at("--start") : "1";
    checkProjectFile(path);
    const auto state = utility::projectState(path);
    if (const auto refused = utility::checkRenumberInput(std::to_string(state.itemCount), start, prefix))
        return inputRefused(*refused);
    if (!mayWrite(path, a->has("--force")))
        return kFailure;
    const auto r = utility::renumber(path, prefix, std::stoi(start));
    std::string text;
    for (const auto& [from, to] : r.renamed)
        text += from + " -> " + to + "\n";
    out(text);
    return kSuccess;
}

int cmdSplit(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {}, {"--keyword", "--prefix"});
    if (!a || a->operands.size() != 1 || !a->values.count("--keyword") || !a->values.count("--prefix"))
        return usage();
    const std::string file = argumentPath(a->operands[0]);
    const std::string keyword = fs::fromNative(a->values.at("--keyword"));
    const std::string prefix = fs::fromNative(a->values.at("--prefix"));
    if (const auto refused = utility::checkSplitInput(file, keyword, prefix))
        return inputRefused(*refused);
    std::string text;
    for (const auto& piece : utility::splitFile(file, keyword, prefix))
        text += piece + "\n";
    out(text);
    return kSuccess;
}

int cmdClean(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {"--force"}, {});
    if (!a || a->operands.size() != 2)
        return usage();
    const std::string path = argumentPath(a->operands[0]);
    checkProjectFile(path);
    if (!mayWrite(path, a->has("--force")))
        return kFailure;
    const auto r = utility::moveUnneededFiles(path, argumentPath(a->operands[1]));
    std::string text;
    for (const auto& moved : r.moved)
        text += moved + "\n";
    out(text);
    for (const auto& kept : r.kept)
        err(kept + sj(" は、バックアップフォルダに同じ名前のファイルがあるため移動しませんでした"));
    return kSuccess;
}

int cmdTag2(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {"--force"}, {});
    if (!a || a->operands.size() != 2)
        return usage();
    const std::string path = argumentPath(a->operands[0]);
    const std::string reference = argumentPath(a->operands[1]);
    checkProjectFile(path);
    checkProjectFile(reference);
    if (!mayWrite(path, a->has("--force")))
        return kFailure;
    const std::size_t tagged = utility::adjustTag2(path, reference);
    out(sj("タグ２をオンにした項目: ") + std::to_string(tagged) + "\n");
    return kSuccess;
}

int cmdSize(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {}, {"--save"});
    if (!a || a->operands.size() != 1)
        return usage();
    ItemList items;
    Outline outline;
    loadOutline(argumentPath(a->operands[0]), items, outline);
    std::string text;
    for (const auto& line : reports::sizeReport(outline))
        text += line + "\r\n";
    if (const auto save = a->values.find("--save"); save != a->values.end()) {
        fs::writeFileAtomic(argumentPath(save->second), text, sj("ファイルに保管できませんでした"));
        return kSuccess;
    }
    std::string plain;
    for (char c : text)
        if (c != '\r')
            plain += c;
    out(plain);
    return kSuccess;
}

int cmdOutput(const std::vector<std::string>& args)
{
    const auto a = parseArguments(args, {}, {});
    if (!a || a->operands.size() != 2)
        return usage();
    const std::map<std::string, reports::Output> kinds{
        {"titles", reports::Output::Titles}, {"all", reports::Output::AllPages}, {"paths", reports::Output::PathList}};
    const auto kind = kinds.find(a->operands[0]);
    if (kind == kinds.end())
        return usage();
    const std::string path = argumentPath(a->operands[1]);
    ItemList items;
    Outline outline;
    loadOutline(path, items, outline);
    out(reports::writeOutput(path, outline, kind->second) + "\n");
    return kSuccess;
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
        if (command == "new")
            return cmdNew(rest);
        if (command == "html")
            return cmdHtml(rest);
        if (command == "help")
            return cmdHelp(rest);
        if (command == "search")
            return cmdSearch(rest);
        if (command == "size")
            return cmdSize(rest);
        if (command == "output")
            return cmdOutput(rest);
        if (command == "renumber")
            return cmdRenumber(rest);
        if (command == "split")
            return cmdSplit(rest);
        if (command == "clean")
            return cmdClean(rest);
        if (command == "tag2")
            return cmdTag2(rest);
        if (command == "replace")
            return cmdReplace(rest);
        const std::map<std::string, std::function<int(const std::string&)>> projectCommands{
            {"list", cmdList}, {"tree", cmdTree}, {"check", cmdCheck}};
        const auto it = projectCommands.find(command);
        if (it == projectCommands.end())
            return usage();
        const auto a = parseArguments(rest, {}, {});
        if (!a || a->operands.size() != 1)
            return usage();
        return it->second(argumentPath(a->operands[0]));
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
