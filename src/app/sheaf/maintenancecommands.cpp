// The maintenance and report subcommands: renumber, split, clean, tag2, size, output.
#include "cliio.h"

#include "common/fsutil.h"
#include "common/sjis.h"
#include "project/outline.h"
#include "project/project.h"
#include "reports/outputs.h"
#include "utility/maintenance.h"

namespace sheaf::cli {
namespace {

using sjis::sj;

int inputRefused(const utility::InputError& e)
{
    err(e.message);
    return kFailure;
}

} // namespace

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

} // namespace sheaf::cli
