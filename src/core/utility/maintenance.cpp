#include "utility/maintenance.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"
#include "project/pagefilecommands.h"
#include "project/shffile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace sheaf::utility {
namespace {

using sjis::sj;

std::optional<std::int64_t> parseInteger(const std::string& text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The backup made before a renumbering: the project's bytes under "<base>_shf.bak".
std::string backupPathFor(const std::string& projectPath)
{
    return joinPath(folderPart(projectPath), BaseName(projectPath) + "_shf.bak");
}

struct Rename {
    std::string from;
    std::string temporary;
    std::string to;
    int stage = 0; // 0 untouched, 1 at the temporary name, 2 at the new name
};

bool renameNative(const std::string& from, const std::string& to)
{
    return ::rename(fs::toNative(from).c_str(), fs::toNative(to).c_str()) == 0;
}

// Puts every file back where it was, last renamed first.
void undo(std::vector<Rename>& plan)
{
    for (auto it = plan.rbegin(); it != plan.rend(); ++it) {
        if (it->stage == 2 && renameNative(it->to, it->temporary))
            it->stage = 1;
    }
    for (auto it = plan.rbegin(); it != plan.rend(); ++it) {
        if (it->stage == 1 && renameNative(it->temporary, it->from))
            it->stage = 0;
    }
}

} // namespace

ItemList readProject(const std::string& path, std::int32_t* nextSerial)
{
    ItemList items;
    CReadSHFFile reader(items, path, CReadSHFFile::Flavor::Utility);
    if (!reader.ReadFile(isCurrentLayoutPath(path)))
        throw SheafError(reader.errorMessage());
    if (nextSerial)
        *nextSerial = reader.nNextSerial();
    return items;
}

ProjectState projectState(const std::string& path)
{
    ProjectState state;
    const ItemList items = readProject(path, &state.nextSerial);
    state.itemCount = static_cast<std::int32_t>(items.size());
    if (!items.empty()) {
        const auto [low, high] = std::minmax_element(items.begin(), items.end(),
                                                     [](const auto& a, const auto& b) { return a->nSerial < b->nSerial; });
        state.serialRange = std::to_string((*low)->nSerial) + sj(" ～ ") + std::to_string((*high)->nSerial);
    }
    return state;
}

std::string renumberedName(const std::string& prefix, std::int64_t number)
{
    const int width = std::max<int>(0, 8 - static_cast<int>(prefix.size()));
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*lld", width, static_cast<long long>(number));
    return prefix + digits + ".txt";
}

std::optional<InputError> checkRenumberInput(const std::string& fileCount, const std::string& start,
                                             const std::string& prefix)
{
    const InputError notDigits{sj("数字以外の文字が含まれています"), ""};
    const auto count = parseInteger(fileCount);
    if (!count)
        return InputError{notDigits.message, "edtSerialFileNum"};
    if (*count > 999999)
        return InputError{sj("ファイル数が異常に多いようです\n処理を中止します"), "edtSerialFileNum"};
    const auto first = parseInteger(start);
    if (!first)
        return InputError{notDigits.message, "edtStartSerial"};
    if (*first < 1 || *first > 999999)
        return InputError{sj("シリアルの開始番号として入力可能な数値は 1 ～ 999,999 の範囲です"), "edtStartSerial"};
    if (prefix.empty())
        return InputError{sj("ファイル名のプリフィックスを入力してください"), "edtPrefix"};
    if (prefix == "P" || prefix == "p")
        return InputError{sj("プリフィックスとして、\"P\" または \"p\" は使えません"), "edtPrefix"};
    if (prefix.size() > 3)
        return InputError{sj("プリフィックスは、半角 3 文字以内です"), "edtPrefix"};
    return std::nullopt;
}

RenumberResult renumber(const std::string& projectPath, const std::string& prefix, std::int32_t start)
{
    RenumberResult result;
    result.backupPath = backupPathFor(projectPath);
    const std::string original = fs::readFile(projectPath, sj("指定の SHF3 ファイルをオープンできませんでした"));
    ItemList items = readProject(projectPath);

    // The whole plan first: which file goes where.
    std::vector<Rename> plan;
    std::unordered_set<std::string> sources;
    for (const auto& item : items)
        sources.insert(asciiLower(item->sFileName));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& from = items[i]->sFileName;
        const std::string to = joinPath(folderPart(from), renumberedName(prefix, start + static_cast<std::int64_t>(i)));
        if (asciiLower(to) != asciiLower(from) && fs::exists(to) && sources.count(asciiLower(to)) == 0)
            throw SheafError(sj("新しいファイル名のファイルがすでにあります。ほかのファイルを上書きしないよう、何も変更せずに中止します:\n") + to);
        if (to != from && fs::isFile(from))
            plan.push_back({from, joinPath(folderPart(from), ".sheafrenum-" + std::to_string(i) + "-" + fileNamePart(from)), to});
    }
    fs::writeFileAtomic(result.backupPath, original, sj("バックアップファイルを作成できませんでした"));

    // Two steps through names of this run only, so that a new name may be the
    // old name of another item; any failure takes every step back.
    const auto fail = [&](const std::string& message) {
        undo(plan);
        throw SheafError(message + sj("\nすべてのファイル名を元に戻しました。SHF3 ファイルは変更していません。"));
    };
    for (auto& r : plan) {
        if (!renameNative(r.from, r.temporary))
            fail(fs::failureText(sj("ファイル名を変更できませんでした"), r.from, fs::reasonText(errno)));
        r.stage = 1;
    }
    for (auto& r : plan) {
        if (!renameNative(r.temporary, r.to))
            fail(fs::failureText(sj("ファイル名を変更できませんでした"), r.to, fs::reasonText(errno)));
        r.stage = 2;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i]->nSerial = start + static_cast<std::int32_t>(i);
        items[i]->sFileName = joinPath(folderPart(items[i]->sFileName), renumberedName(prefix, start + static_cast<std::int64_t>(i)));
    }
    try {
        rewriteKeepingHeader(projectPath, items, start + static_cast<std::int32_t>(items.size()), true);
    } catch (const SheafError& e) {
        fail(e.what());
    }
    for (const auto& r : plan)
        result.renamed.emplace_back(r.from, r.to);
    return result;
}

std::optional<InputError> checkSplitInput(const std::string& file, const std::string& keyword, const std::string& prefix)
{
    if (!fs::isFile(file))
        return InputError{sj("指定のファイルがありません"), "edtSplitFileName"};
    if (keyword.empty())
        return InputError{sj("分割のキーワードを指定してください"), "edtSplitKeyword"};
    if (prefix.empty())
        return InputError{sj("ファイル名のプリフィックスを指定してください"), "edtSplitPrefix"};
    if (prefix.size() > 4)
        return InputError{sj("プリフィックスは 4 文字以内の英数字です"), "edtSplitPrefix"};
    if (prefix == "P" || prefix == "p")
        return InputError{sj("プリフィックスとして、P は使えません"), "edtSplitPrefix"};
    return std::nullopt;
}

std::vector<std::string> splitFile(const std::string& file, const std::string& keyword, const std::string& prefix)
{
    const std::string text = fs::readFile(file, sj("分割するファイルを読み込めませんでした"));
    const std::vector<std::string> lines = splitLines(text); // lines end at CR, LF or CR LF
    std::vector<std::string> written;
    const std::string folder = folderPart(file);
    std::int64_t number = 1;
    const auto writePiece = [&](const std::string& piece) {
        // The smallest number whose file does not exist; an existing file is never replaced.
        for (;; ++number) {
            const std::string path = joinPath(folder, renumberedName(prefix, number));
            if (fs::exists(path))
                continue;
            if (fs::createNewFile(path, piece)) {
                written.push_back(path);
                return;
            }
            if (!fs::exists(path))
                throw SheafError(fs::failureText(sj("分割したファイルを書き込めませんでした"), path, fs::reasonText(errno)));
        }
    };
    std::string piece;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, keyword.size(), keyword) == 0 && lines[i].size() >= keyword.size()) {
            writePiece(piece);
            piece.clear();
            if (i + 1 < lines.size())
                ++i;
        }
        piece += lines[i] + "\r\n";
    }
    writePiece(piece);
    return written;
}

std::string backupFolderFor(const std::string& projectPath)
{
    return joinPath(joinPath(folderPart(projectPath), BaseName(projectPath)), "Backup");
}

CleanResult moveUnneededFiles(const std::string& projectPath, const std::string& folderText)
{
    std::string folder = folderText;
    while (folder.size() > 1 && isSeparator(folder.back()))
        folder.pop_back();
    const std::string backup = backupFolderFor(projectPath);
    if (!fs::isDirectory(backup) && !fs::makeDirectories(backup))
        throw SheafError(fs::failureText(sj("バックアップフォルダを作成できませんでした"), backup, fs::reasonText(errno)));
    const ItemList items = readProject(projectPath);
    std::unordered_set<std::string> used;
    for (const auto& item : items)
        used.insert(asciiLower(item->sFileName));

    std::vector<std::string> names;
    DIR* dir = ::opendir(fs::toNative(folder).c_str());
    if (!dir)
        throw SheafError(fs::failureText(sj("フォルダを開けませんでした"), folder, fs::reasonText(errno)));
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.')
            continue; // hidden files are never candidates
        struct stat st {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            names.push_back(fs::fromNative(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());

    CleanResult result;
    for (const auto& name : names) {
        const std::string path = joinPath(folder, name);
        if (used.count(asciiLower(path)) != 0)
            continue;
        const std::string target = joinPath(backup, name);
        if (fs::exists(target)) {
            result.kept.push_back(path);
            continue;
        }
        movePageFile(path, target);
        result.moved.push_back(path);
    }
    return result;
}

std::size_t adjustTag2(const std::string& projectPath, const std::string& referencePath)
{
    ItemList items = readProject(projectPath);
    const ItemList reference = readProject(referencePath);
    if (reference.size() >= items.size())
        throw InputRefused({sj("最初のファイルの項目数が 2 番目のファイルより同じか少ない"), ""});
    std::unordered_set<std::string> used;
    for (const auto& item : reference)
        used.insert(asciiLower(item->sFileName));
    std::size_t tagged = 0;
    for (auto& item : items) {
        item->bTag2 = used.count(asciiLower(item->sFileName)) ? 1 : 0;
        tagged += item->bTag2;
    }
    rewriteKeepingHeader(projectPath, items, std::nullopt, true);
    return tagged;
}

} // namespace sheaf::utility
