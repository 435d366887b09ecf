#include "cliio.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/sjis.h"
#include "project/createtree.h"
#include "project/outline.h"
#include "project/pagefiles.h"
#include "project/project.h"
#include "project/projectlock.h"
#include "project/shffile.h"

#include <cstdio>
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

} // namespace

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

} // namespace sheaf::cli
