#include "common/error.h"
#include "common/sjis.h"
#include "project/pagefiles.h"
#include "project/history.h"
#include "project/project.h"
#include "project/projectlock.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
}

TEST(ProjectPaths, newProjectNames)
{
    struct Case {
        const char* name;
        std::string input;
        std::string path; // empty: refused
    };
    const Case cases[] = {
        {"nominal", "Manual", "/doc/Manual.shf3"},
        {"nominal: the project extension is dropped", "Manual.SHF3", "/doc/Manual.shf3"},
        {"nominal: a legacy extension too", "Manual.shf", "/doc/Manual.shf3"},
        {"nominal: every other dot is kept", "dots.in.name", "/doc/dots.in.name.shf3"},
        {"nominal: a 0x5C trail byte is no separator", sj("表示"), "/doc/" + sj("表示") + ".shf3"},
        {"robustness: empty", "", ""},
        {"robustness: dot", ".", ""},
        {"robustness: dot dot", "..", ""},
        {"robustness: only the extension", ".shf3", ""},
        {"robustness: a folder", "sub/Manual", ""},
        {"robustness: a backslash", "a\\b", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.path.empty())
            EXPECT_THROW(newProjectPath("/doc/", c.input), SheafError);
        else
            EXPECT_EQ(newProjectPath("/doc/", c.input), c.path);
    }
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

TEST(Project, aTruncatedProjectIsNeverOpenedNorWrittenBack)
{
    TempDir dir;
    Project made;
    made.create(dir.path(), "Manual");
    for (int i = 0; i < 4; ++i) {
        const std::string page = CreatePageFile(made.paths.pageFolder, made.nextSerial);
        made.outline.insertAfter(made.outline.nodeAt(0), made.items[AddItemRecord(made.items, 0, page, made.nextSerial)].get());
    }
    made.save();
    const std::string full = readBytes(dir.file("Manual.shf3"));
    writeBytes(dir.file("Manual.shf3"), full.substr(0, full.size() - 20));

    Project p;
    p.create(dir.file("other"), "Current");
    try {
        p.open(dir.file("Manual.shf3"));
        FAIL() << "a truncated project must not open";
    } catch (const SheafError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.substr(0, text.find('\n')), sj("指定の SHF ファイルをオープンできませんでした"));
        EXPECT_NE(text.find("4 / 5"), std::string::npos) << text;
    }
    EXPECT_EQ(p.paths.projectPath, dir.file("other/Current.shf3")) << "the project that was open stays open";
    p.save();
    EXPECT_EQ(readBytes(dir.file("Manual.shf3")), full.substr(0, full.size() - 20)) << "the damaged file is untouched";
}

TEST(Project, aFileThatIsNoProjectCreatesNothing)
{
    TempDir dir;
    writeBytes(dir.file("notes.shf3"), "plain text, no project");
    stdfs::create_directory(dir.file("folder.shf3"));
    ::mkfifo(dir.file("pipe.shf3").c_str(), 0600);
    for (const char* name : {"notes.shf3", "folder.shf3", "pipe.shf3", "missing.shf3"}) {
        SCOPED_TRACE(name);
        Project p;
        EXPECT_THROW(p.open(dir.file(name)), SheafError);
        EXPECT_FALSE(stdfs::exists(dir.file("html")));
        EXPECT_FALSE(stdfs::exists(dir.file("notes")));
        EXPECT_FALSE(stdfs::exists(dir.file("pipe")));
    }
}

TEST(Project, creationNeverReplacesAProjectAndTakesBackWhatItMade)
{
    TempDir dir;
    Project old;
    old.create(dir.path(), "Old");
    const std::string before = readBytes(dir.file("Old.shf3"));
    Project again;
    EXPECT_THROW(again.create(dir.path(), "Old"), SheafError);
    EXPECT_EQ(readBytes(dir.file("Old.shf3")), before);
    EXPECT_FALSE(stdfs::exists(dir.file("Old/P0000002.txt")));

    // The project file cannot be written (a folder is in its place): the
    // folders and the page made on the way go again.
    stdfs::create_directories(dir.file("new/Blocked.shf3"));
    Project blocked;
    EXPECT_THROW(blocked.create(dir.file("new"), "Blocked", true), SheafError);
    EXPECT_FALSE(stdfs::exists(dir.file("new/Blocked")));
    EXPECT_FALSE(stdfs::exists(dir.file("new/html")));
    EXPECT_TRUE(stdfs::is_directory(dir.file("new/Blocked.shf3")));
}

TEST(Project, temporariesOfInterruptedWritesAreRemoved)
{
    TempDir dir;
    Project p;
    p.create(dir.path(), "Manual");
    const std::string leftovers[] = {dir.file(".sheaf~a1B2c3~Manual.shf3"), dir.file("Manual/.sheaf~zzzzzz~P0000001.txt"),
                                     dir.file("html/.sheaf~000000~P0000001.htm")};
    for (const auto& f : leftovers)
        writeBytes(f, "partial");
    writeBytes(dir.file("Manual/.sheaf~notes.txt"), "a file of the writer's own");
    EXPECT_EQ(p.removeTemporaries(), 3u);
    for (const auto& f : leftovers)
        EXPECT_FALSE(stdfs::exists(f)) << f;
    EXPECT_TRUE(stdfs::exists(dir.file("Manual/.sheaf~notes.txt")));
    EXPECT_TRUE(stdfs::exists(dir.file("Manual/P0000001.txt")));
}

TEST(ProjectLock, heldWhileOpenAndStaleLocksAreAbsent)
{
    TempDir dir;
    const std::string project = dir.file("m.shf3");
    writeBytes(project, "SHF3");
    {
        ProjectLock lock;
        ASSERT_TRUE(lock.acquire(project));
        const std::string content = readBytes(ProjectLock::lockPath(project));
        EXPECT_NE(content.find(std::to_string(::getpid())), std::string::npos);
        EXPECT_FALSE(ProjectLock::heldByOther(project)) << "our own lock";
    }
    EXPECT_FALSE(stdfs::exists(ProjectLock::lockPath(project))) << "released with the lock object";

    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    // A process that is certainly gone: a child that has exited and been reaped.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    writeBytes(ProjectLock::lockPath(project), "someone\n" + std::string(host) + "\n" + std::to_string(child) + "\n");
    EXPECT_FALSE(ProjectLock::heldByOther(project)) << "a stale lock counts as absent";
    writeBytes(ProjectLock::lockPath(project), "someone\n" + std::string(host) + "\n1\n");
    EXPECT_TRUE(ProjectLock::heldByOther(project)) << "a live process of this host";
    writeBytes(ProjectLock::lockPath(project), "someone\nother-host.example\n1\n");
    EXPECT_TRUE(ProjectLock::heldByOther(project)) << "another host cannot be checked";
}

TEST(History, workedExample)
{
    clsHistory h;
    h.Record(0); // start-up
    h.Record(0); // the first item of the opened project
    EXPECT_FALSE(h.backEnabled());
    h.Record(4);
    EXPECT_TRUE(h.backEnabled());
    h.Record(7);
    EXPECT_EQ(h.entries(), (std::vector<std::int32_t>{0, 0, 4, 7}));
    struct Step {
        bool back;
        std::int32_t shows;
        std::size_t position;
        bool backEnabled;
        bool forwardEnabled;
    };
    const Step steps[] = {{true, 4, 2, true, true},   {true, 0, 1, true, true}, {true, 0, 0, false, true},
                          {false, 0, 1, true, true},  {false, 4, 2, true, true}};
    for (const auto& s : steps) {
        const std::int32_t index = s.back ? h.Back() : h.Forward();
        h.Record(index); // the selection that follows is not recorded
        EXPECT_EQ(index, s.shows);
        EXPECT_EQ(h.position(), s.position);
        EXPECT_EQ(h.backEnabled(), s.backEnabled);
        EXPECT_EQ(h.forwardEnabled(), s.forwardEnabled);
    }
    h.Record(9);
    EXPECT_EQ(h.entries(), (std::vector<std::int32_t>{0, 0, 4, 7, 9}));
    EXPECT_FALSE(h.forwardEnabled());
}
