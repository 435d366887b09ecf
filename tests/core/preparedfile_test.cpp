#include "common/error.h"
#include "common/preparedfile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <stdexcept>

using namespace sheaf;
using namespace sheaf::test;
namespace stdfs = std::filesystem;

namespace {

struct stat statOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

fs::PreparedFile prepare(const std::string& path, const std::vector<std::string>& pieces)
{
    return fs::prepareReplacementStreamed(path, "write", [&](const fs::ChunkWriter& write) {
        for (const auto& p : pieces)
            write(p);
    });
}

bool onlyTarget(const TempDir& dir)
{
    return std::distance(stdfs::directory_iterator(dir.path()), stdfs::directory_iterator()) == 1;
}

std::string bigText(std::size_t n)
{
    std::string s;
    for (std::size_t i = 0; s.size() < n; ++i)
        s += "line " + std::to_string(i) + "\r\n";
    s.resize(n);
    return s;
}

bool unnamedFilesWork(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

TEST(PreparedReplacement, writesOnlyWhatDiffersAndLeavesAnEqualTargetAlone)
{
    const std::string big = bigText(3 << 20);
    std::string bigChanged = big;
    bigChanged[(5 << 20) / 2] ^= 1; // in the third block of the comparison
    const auto split = [](const std::string& s, std::size_t n) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < s.size(); i += n)
            out.push_back(s.substr(i, n));
        return out;
    };
    struct Case {
        const char* name;
        std::optional<std::string> before;
        std::vector<std::string> pieces;
        bool unchanged;
    };
    const Case cases[] = {
        {"no target yet", std::nullopt, {"ab", "c"}, false},
        {"equal, other piece bounds", "abcdef", {"ab", "", "cdef"}, true},
        {"output a prefix of the target", "abcdef", {"abc"}, false},
        {"target a prefix of the output", "abc", {"abc", "def"}, false},
        {"differs inside a piece", "abcdef", {"abX", "def"}, false},
        {"empty output over a page", "abc", {}, false},
        {"large and equal", big, split(big, 1000), true},
        {"large, one byte differs far in", big, split(bigChanged, 1000), false},
        {"large, one piece over the buffer", big, split(bigChanged, 2 << 20), false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.file("p.htm");
        if (c.before)
            writeBytes(path, *c.before);
        const struct stat before = statOf(path);
        std::string expected;
        for (const auto& p : c.pieces)
            expected += p;

        fs::PreparedFile prepared = prepare(path, c.pieces);
        EXPECT_EQ(prepared.unchanged(), c.unchanged) << c.name;
        if (!c.before && unnamedFilesWork(dir.path())) {
            EXPECT_TRUE(stdfs::is_empty(dir.path())) << c.name << ": a new file has no name until it is put in place";
        }
        if (c.before) {
            EXPECT_EQ(readBytes(path), *c.before) << c.name << ": the target is untouched until the commit";
        }
        fs::commitReplacement(prepared, path, "write");
        EXPECT_EQ(readBytes(path), expected) << c.name;
        EXPECT_TRUE(onlyTarget(dir)) << c.name << ": no temporary file stays";
        if (c.unchanged) {
            const struct stat after = statOf(path);
            EXPECT_EQ(after.st_ino, before.st_ino) << c.name;
            EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec) << c.name;
            EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec) << c.name;
        }
    }
}

TEST(PreparedReplacement, aFailingProducerOrADiscardLeavesTheTargetAsItWas)
{
    TempDir dir;
    const std::string path = dir.file("p.htm");
    writeBytes(path, "old page");
    EXPECT_THROW(fs::prepareReplacementStreamed(path, "write",
                                                [](const fs::ChunkWriter& write) {
                                                    write("new");
                                                    throw std::runtime_error("conversion failed");
                                                }),
                 std::runtime_error);
    EXPECT_EQ(readBytes(path), "old page");
    EXPECT_TRUE(onlyTarget(dir));

    fs::PreparedFile discarded = prepare(path, {"new page"});
    fs::discardReplacement(discarded);
    EXPECT_EQ(readBytes(path), "old page");
    EXPECT_TRUE(onlyTarget(dir));

    // A target made by someone else between the two steps, or after the
    // folder was listed, is replaced.
    const std::string late = dir.file("late.htm");
    fs::PreparedFile prepared = prepare(late, {"new"});
    writeBytes(late, "made meanwhile");
    fs::commitReplacement(prepared, late, "write");
    EXPECT_EQ(readBytes(late), "new");
    fs::PreparedFile listedMissing = fs::prepareReplacementStreamed(
        late, "write", [](const fs::ChunkWriter& write) { write("newer"); }, fs::Target::Missing);
    fs::commitReplacement(listedMissing, late, "write");
    EXPECT_EQ(readBytes(late), "newer");
    stdfs::remove(late);

    // A folder in the way is reported at the commit; nothing is left behind.
    const std::string folder = dir.file("d.htm");
    stdfs::create_directory(folder);
    fs::PreparedFile blocked = prepare(folder, {"x"});
    EXPECT_THROW(fs::commitReplacement(blocked, folder, "write"), SheafError);
    EXPECT_TRUE(stdfs::is_directory(folder));
    EXPECT_EQ(std::distance(stdfs::directory_iterator(dir.path()), stdfs::directory_iterator()), 2);
}
