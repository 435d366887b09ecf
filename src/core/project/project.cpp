#include "project/project.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "project/createtree.h"
#include "project/pagefiles.h"

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
            throw SheafError(sjis::sj("フォルダを作成できませんでした: ") + *folder);
    return p;
}

std::string newProjectPath(const std::string& folder, const std::string& name)
{
    return joinPath(folder, BaseName(name) + ".shf3");
}

void Project::create(const std::string& folder, const std::string& name)
{
    const std::string path = newProjectPath(folder, name);
    paths = SetProjectPaths(path);
    outline.clear();
    ClearItemList(items);
    nextSerial = 1;
    header = PROJECTHEADER{};
    for (int k = 0; k < 3; ++k)
        header.marks[static_cast<size_t>(k)] = {0, defaultMarkText(k)};

    const std::string page = CreatePageFile(paths.pageFolder, nextSerial);
    const std::size_t index = AddItemRecord(items, 0, page, nextSerial);
    outline.insertAfter(nullptr, items[index].get());
    save();
}

OpenResult Project::open(const std::string& path)
{
    OpenResult result;
    outline.clear();
    ClearItemList(items);
    paths = SetProjectPaths(path);

    CReadSHFFile reader(items, path);
    result.readComplete = reader.ReadFile(isCurrentLayoutPath(path));
    result.readError = reader.errorMessage();
    if (reader.headerComplete()) {
        header = reader.header();
        nextSerial = reader.nNextSerial();
    }
    result.relocated = relocatePageFiles(items, paths.pageFolder);
    result.treeWarning = CCreateTree(outline).Execute(items);
    return result;
}

void Project::save() const
{
    PROJECTHEADER h = header;
    h.nNextSerial = nextSerial;
    CWriteSHF3File(paths.projectPath).WriteFile(h, outline);
}

} // namespace sheaf
