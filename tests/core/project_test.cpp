#include "common/error.h"
#include "common/sjis.h"
#include "project/pagefiles.h"
#include "project/project.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace sheaf;
using namespace sheaf::test;
using sheaf::sjis::sj;
namespace stdfs = std::filesystem;

TEST(ProjectPaths, derivedFromTheProjectPath)
{
    const ProjectPaths p = projectPathsFor("/doc/manual.shf3");
    EXPECT_EQ(p.pageFolder, "/doc/manual");
    EXPECT_EQ(p.htmlFolder, "/doc/html");
    EXPECT_EQ(p.imagesFolder, "/doc/html/images");
    EXPECT_EQ(p.htmlIniPath, "/doc/manual.ini");
    EXPECT_EQ(newProjectPath("/doc/", "sub/Manual.txt"), "/doc/Manual.shf3");
}

TEST(PageFiles, creationFollowsTheSerialRules)
{
    TempDir dir;
    writeBytes(dir.file("P0000001.txt"), "one");
    writeBytes(dir.file("P0000002.txt"), "two");
    std::int32_t next = 1;
    const std::string path = CreatePageFile(dir.path(), next);
    EXPECT_EQ(path, dir.file("P0000003.txt"));
    EXPECT_EQ(next, 2) << "advanced by one however many names were skipped";
    EXPECT_EQ(readBytes(path), "P0000003");
    EXPECT_EQ(readBytes(dir.file("P0000001.txt")), "one");
    EXPECT_EQ(pageFileName(12), "P0000012.txt");

    const std::string replacement = CreatePageFile(dir.path(), next, "/old/P0000009.txt");
    EXPECT_EQ(readBytes(replacement), "P0000004\r\n\r\n" + sj("元のファイル名: ") + "/old/P0000009.txt\r\n");
}

TEST(PageFiles, noFreeNameFailsWithoutOverwriting)
{
    TempDir dir;
    writeBytes(dir.file("P0999998.txt"), "last");
    std::int32_t next = 999998;
    EXPECT_THROW(CreatePageFile(dir.path(), next), SheafError);
    EXPECT_EQ(next, 999998);
    EXPECT_EQ(readBytes(dir.file("P0999998.txt")), "last");
    std::int32_t beyond = 999999;
    EXPECT_FALSE(NextPageFileName(dir.path(), beyond).has_value());
    EXPECT_THROW(CreatePageFile(dir.path(), beyond), SheafError);
}

TEST(Project, newProjectWritesItsFilesAndFolders)
{
    TempDir dir;
    Project p;
    p.create(dir.file("doc"), "Manual");
    EXPECT_EQ(p.paths.projectPath, dir.file("doc/Manual.shf3"));
    for (const char* folder : {"doc/Manual", "doc/html", "doc/html/images"})
        EXPECT_TRUE(stdfs::is_directory(dir.file(folder))) << folder;
    EXPECT_EQ(readBytes(dir.file("doc/Manual/P0000001.txt")), "P0000001");
    EXPECT_EQ(p.nextSerial, 2);

    ItemList items;
    CReadSHFFile reader(items, dir.file("doc/Manual.shf3"));
    ASSERT_TRUE(reader.ReadFile(true));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->nSerial, 2);
    EXPECT_EQ(items[0]->sTitle, "P0000001");
    EXPECT_EQ(items[0]->sFileName, dir.file("doc/Manual/P0000001.txt"));
    EXPECT_EQ(reader.nNextSerial(), 2);
    EXPECT_EQ(reader.markText(0), sj("マーク１にジャンプ"));
}

TEST(Project, pagesOfAMovedProjectAreFoundInThePageFolder)
{
    TempDir dir;
    Project made;
    made.create(dir.path(), "Manual");
    // Pretend the project was written on another machine.
    made.items[0]->sFileName = "C:\\doc\\Manual\\P0000001.txt";
    made.save();

    Project p;
    const OpenResult r = p.open(dir.file("Manual.shf3"));
    EXPECT_TRUE(r.readComplete);
    EXPECT_EQ(r.relocated, std::vector<std::size_t>{0});
    EXPECT_EQ(p.items[0]->sFileName, dir.file("Manual/P0000001.txt"));
    p.save();
    ItemList items;
    CReadSHFFile(items, dir.file("Manual.shf3")).ReadFile(true);
    EXPECT_EQ(items[0]->sFileName, dir.file("Manual/P0000001.txt")) << "the new path is stored at the next save";
}

TEST(Project, openingAppliesTheHeaderOnlyWhenRead)
{
    TempDir dir;
    Project made;
    made.create(dir.path(), "Manual");
    made.header.nWidth = 1234;
    made.nextSerial = 40;
    made.save();

    Project p;
    p.open(dir.file("Manual.shf3"));
    EXPECT_EQ(p.header.nWidth, 1234);
    EXPECT_EQ(p.nextSerial, 40);
    EXPECT_EQ(p.outline.size(), 1u);

    writeBytes(dir.file("Broken.shf3"), "SHF3\x01");
    Project broken;
    broken.header.nWidth = 55;
    EXPECT_THROW(broken.open(dir.file("Broken.shf3")), SheafError);
    EXPECT_EQ(broken.header.nWidth, 55);
}
