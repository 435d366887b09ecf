#include "project/project.h"

#include "common/error.h"
#include <cerrno>
#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "project/createtree.h"
#include "project/pagefiles.h"

using sheaf::sjis::sj;

namespace sheaf {

ProjectPaths projectPathsFor(const std::string& projectPath)
{
    ProjectPaths p;
    p.projectPath = projectPath;
    const std::string folder = folderPart(projectPath);
    p.pageFolder = joinPath(folder, BaseName(projectPath));
    p.htmlFolder = joinPath(folder, "html");
    p.imagesFolder = joinPath(p.htmlFolder, "images");
    p.htmlIniPath = changeExtension(projectPath, ".ini");
    return p;
}

ProjectPaths SetProjectPaths(const std::string& projectPath)
{
    ProjectPaths p = projectPathsFor(projectPath);
    for (const std::string* folder : {&p.pageFolder, &p.htmlFolder, &p.imagesFolder})
        if (!fs::isDirectory(*folder) && !fs::makeDirectories(*folder))
            throw SheafError(fs::failureText(sj("フォルダを作成できませんでした"), *folder, fs::reasonText(errno)));
    return p;
}

std::string projectNameFromInput(const std::string& input)
{
    std::string name = input;
    for (const char* ext : {".shf3", ".shf"})
        if (extensionLower(name) == ext) {
            name.resize(name.size() - std::char_traits<char>::length(ext));
            break;
        }
    bool separator = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (sjis::isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size())
            ++i; // 0x5C as a trail byte is part of a character, not a separator
        else if (isSeparator(name[i]))
            separator = true;
    }
    if (name.empty() || name == "." || name == ".." || separator)
        throw SheafError(sj("プロジェクト名として使えない名前です: ") + (input.empty() ? sj("（空）") : input) +
                         sj("\n空の名前、「.」「..」、「/」や「\\」を含む名前は使えません。"));
    return name;
}

std::string newProjectPath(const std::string& folder, const std::string& name)
{
    return joinPath(folder, projectNameFromInput(name) + ".shf3");
}

void checkProjectFile(const std::string& path)
{
    const fs::FileKind kind = fs::fileKind(path);
    if (kind != fs::FileKind::Regular)
        throw SheafError(fs::failureText(sj("指定の SHF ファイルをオープンできませんでした"), path, fs::fileKindText(kind)));
    std::string message;
    if (!gCheckSHFFile(path, &message))
        throw SheafError(message.empty() ? fs::failureText(sj("正しい Sheaf3 用ファイルではありません"), path, {}) : message);
}

namespace {

// Remembers what a creation made, so that a failure can take it back.
class CreatedPaths {
public:
    ~CreatedPaths()
    {
        if (m_keep)
            return;
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
            if (!fs::removeFile(*it))
                fs::removeEmptyDirectory(*it);
    }
    // Records the folder and every parent that does not exist yet.
    void folder(const std::string& path)
    {
        std::vector<std::string> missing;
        for (std::string p = path; !p.empty() && !fs::exists(p); p = folderPart(p))
            missing.push_back(p);
        m_made.insert(m_made.end(), missing.rbegin(), missing.rend());
    }
    void file(const std::string& path) { m_made.push_back(path); }
    void keep() { m_keep = true; }

private:
    std::vector<std::string> m_made;
    bool m_keep = false;
};

} // namespace

void Project::create(const std::string& folder, const std::string& name, bool replaceExisting)
{
    const std::string path = newProjectPath(folder, name);
    if (!replaceExisting && fs::exists(path))
        throw SheafError(fs::failureText(sj("その名前の SHF3 ファイルはすでにあります。上書きはしません。"), path, {}));
    CreatedPaths made;
    const ProjectPaths wanted = projectPathsFor(path);
    for (const std::string* f : {&wanted.pageFolder, &wanted.htmlFolder, &wanted.imagesFolder})
        made.folder(*f);
    ProjectPaths newPaths = SetProjectPaths(path);
    std::int32_t serial = 1;
    const std::string page = CreatePageFile(newPaths.pageFolder, serial);
    made.file(page);

    ItemList newItems;
    const std::size_t index = AddItemRecord(newItems, 0, page, serial);
    Outline newOutline;
    newOutline.insertAfter(nullptr, newItems[index].get());
    PROJECTHEADER h;
    h.nLeft = 100;
    h.nTop = 100;
    h.nWidth = 870;
    h.nHeight = 460;
    for (int k = 0; k < 3; ++k)
        h.marks[static_cast<size_t>(k)] = {0, defaultMarkText(k)};
    h.nNextSerial = serial;
    CWriteSHF3File(path).WriteFile(h, newOutline);
    made.keep();

    outline.clear();
    items = std::move(newItems);
    paths = newPaths;
    nextSerial = serial;
    header = h;
    outline.insertAfter(nullptr, items[index].get());
}

OpenResult Project::open(const std::string& path)
{
    checkProjectFile(path);
    ItemList newItems;
    CReadSHFFile reader(newItems, path);
    if (!reader.ReadFile(isCurrentLayoutPath(path)))
        throw SheafError(reader.errorMessage());
    if (newItems.empty())
        throw SheafError("CCreateTree:Execute error");
    ProjectPaths newPaths = SetProjectPaths(path);

    OpenResult result;
    outline.clear();
    items = std::move(newItems);
    paths = std::move(newPaths);
    header = reader.header();
    nextSerial = reader.nNextSerial();
    result.relocated = relocatePageFiles(items, paths.pageFolder);
    result.treeWarning = CCreateTree(outline).Execute(items);
    return result;
}

std::string Project::recordsImage() const
{
    std::string image;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const OutlineNode* node = outline.nodeAt(i);
        image += encodeRecord(*node->data, outline.depth(node));
    }
    return image;
}

std::size_t Project::removeTemporaries() const
{
    std::size_t n = fs::removeTemporaries(folderPart(paths.projectPath));
    for (const std::string* f : {&paths.pageFolder, &paths.htmlFolder})
        n += fs::removeTemporaries(*f);
    return n;
}

void Project::save() const
{
    PROJECTHEADER h = header;
    h.nNextSerial = nextSerial;
    CWriteSHF3File(paths.projectPath).WriteFile(h, outline);
}

} // namespace sheaf
