#include "common/error.h"
#include "common/sjis.h"
#include "project/createtree.h"
#include "project/outline.h"
#include "project/shffile.h"
#include "support/projectbuilder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace sheaf;
using namespace sheaf::test;
using sheaf::sjis::sj;

namespace {

PROJECTHEADER defaultHeader()
{
    PROJECTHEADER h;
    h.nLeft = 100;
    h.nTop = 100;
    h.nWidth = 870;
    h.nHeight = 460;
    h.nTreeWidth = 180;
    h.nNextSerial = 2;
    for (int k = 0; k < 3; ++k)
        h.marks[static_cast<size_t>(k)] = {0, defaultMarkText(k)};
    return h;
}

std::int32_t int32At(const std::string& data, size_t offset)
{
    std::int32_t v = 0;
    std::memcpy(&v, data.data() + offset, 4);
    return v;
}

void putInt(std::string& out, std::int32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }
void putStr(std::string& out, const std::string& s)
{
    putInt(out, static_cast<std::int32_t>(s.size()));
    out += s;
}

// A legacy (".shf") file: header padded to 160 bytes, packed tag byte.
std::string legacyFile(std::uint8_t tags)
{
    std::string data = "shf ";
    for (std::int32_t v : {10, 20, 500, 400, 150, 9, 1, 0})
        putInt(data, v);
    putStr(data, "");
    putInt(data, 0);
    putStr(data, "");
    putInt(data, 0);
    putStr(data, "");
    data.resize(160, '\0');
    data.push_back(1);
    data.push_back(static_cast<char>(tags));
    data.push_back(1); // bHScroll
    putInt(data, 0);
    putInt(data, 7);
    putStr(data, "C:\\doc\\old\\P0000001.txt");
    putStr(data, "Legacy");
    return data;
}

struct WrittenProject {
    ItemList items;
    Outline outline;
};

void build(WrittenProject& p, const std::vector<ItemShape>& shapes)
{
    p.items = makeItems(shapes);
    CCreateTree(p.outline).Execute(p.items);
}

} // namespace

TEST(ShfWriter, firstSaveOfANewProjectHasTheWorkedByteCounts)
{
    TempDir dir;
    WrittenProject p;
    build(p, {{0, "P0000001"}});
    p.items[0]->sFileName = "C:\\doc\\Manual\\P0000001.txt";
    CWriteSHF3File(dir.file("Manual.shf3")).WriteFile(defaultHeader(), p.outline);

    const std::string data = readBytes(dir.file("Manual.shf3"));
    ASSERT_EQ(data.size(), 367u);
    EXPECT_EQ(data.substr(0, 4), "SHF3");
    EXPECT_EQ(int32At(data, 24), 2);
    EXPECT_EQ(int32At(data, 28), 1);
    EXPECT_EQ(defaultMarkText(0).size(), 18u);
    EXPECT_EQ(int32At(data, 32), 0);
    EXPECT_EQ(data.substr(40, 18), defaultMarkText(0));
    // The header ends at 110; zero bytes follow up to offset 299.
    EXPECT_EQ(data.substr(92, 18), defaultMarkText(2));
    EXPECT_EQ(data.substr(110, 190), std::string(190, '\0'));
    // Record: five flag bytes, level, serial, three empty strings (4 zero bytes each).
    EXPECT_EQ(data.substr(300, 5), std::string("\x01\x00\x00\x00\x00", 5));
    EXPECT_EQ(data.substr(313, 12), std::string(12, '\0'));
}

TEST(ShfWriter, stringsAreLengthPrefixed)
{
    EXPECT_EQ(encodeRecord(FILEDATA{}, 0).size(), 33u) << "empty strings are four zero bytes each";
    FILEDATA d;
    d.sTitle = std::string(83, 't');
    EXPECT_EQ(encodeRecord(d, 0).size(), 33u + 83u) << "an 83-byte title takes 87 bytes";
}

TEST(ShfFile, roundTripKeepsEveryField)
{
    TempDir dir;
    WrittenProject p;
    build(p, {{0, "a"}, {1, "b"}, {2, "c"}, {1, "d"}, {0, "e"}});
    FILEDATA& b = *p.items[1];
    b.bTag1 = 1;
    b.bTag3 = 1;
    b.bHScroll = 1;
    b.sKeyword1 = sj("索引");
    b.sKeyword2 = "k2";
    b.sReserved = std::string("\0\xff", 2);
    PROJECTHEADER h = defaultHeader();
    h.marks[1] = {3, sj("見出し")};
    CWriteSHF3File(dir.file("p.shf3")).WriteFile(h, p.outline);

    ItemList read;
    CReadSHFFile reader(read, dir.file("p.shf3"));
    ASSERT_TRUE(reader.ReadFile(true));
    EXPECT_TRUE(reader.headerComplete());
    EXPECT_EQ(reader.nWidth(), 870);
    EXPECT_EQ(reader.nTreeWidth(), 180);
    EXPECT_EQ(reader.markSerial(1), 3);
    EXPECT_EQ(reader.markText(1), sj("見出し"));
    EXPECT_EQ(reader.markText(2), defaultMarkText(2));
    ASSERT_EQ(read.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const FILEDATA& x = *read[i];
        const FILEDATA& y = *p.items[i];
        EXPECT_EQ(std::tie(x.bTag1, x.bTag2, x.bTag3, x.bHScroll, x.nLevel, x.nSerial, x.sKeyword1, x.sKeyword2,
                           x.sReserved, x.sFileName, x.sTitle),
                  std::tie(y.bTag1, y.bTag2, y.bTag3, y.bHScroll, y.nLevel, y.nSerial, y.sKeyword1, y.sKeyword2,
                           y.sReserved, y.sFileName, y.sTitle));
    }
}

TEST(ShfFile, writerTakesDepthsFromTheTree)
{
    TempDir dir;
    WrittenProject p;
    build(p, {{0, "a"}, {0, "b"}, {0, "c"}});
    p.outline.moveRight(findNode(p.outline, "b"));
    p.items[2]->nLevel = 5; // a stale level in the record is not written
    CWriteSHF3File(dir.file("p.shf3")).WriteFile(defaultHeader(), p.outline);
    ItemList read;
    CReadSHFFile(read, dir.file("p.shf3")).ReadFile(true);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1]->nLevel, 1);
    EXPECT_EQ(read[2]->nLevel, 0);
}

TEST(ShfFile, layoutIsChosenByExtension)
{
    EXPECT_TRUE(isCurrentLayoutPath("/x/a.SHF3"));
    EXPECT_FALSE(isCurrentLayoutPath("/x/a.shf"));
    EXPECT_FALSE(isCurrentLayoutPath("/x/a.txt"));

    TempDir dir;
    writeBytes(dir.file("old.shf"), legacyFile(0x05));
    ItemList items;
    CReadSHFFile reader(items, dir.file("old.shf"));
    ASSERT_TRUE(reader.ReadFile(false));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->bTag1, 1);
    EXPECT_EQ(items[0]->bTag2, 0);
    EXPECT_EQ(items[0]->bTag3, 1);
    EXPECT_EQ(items[0]->bHScroll, 1);
    EXPECT_EQ(items[0]->nSerial, 7);
    EXPECT_EQ(items[0]->sTitle, "Legacy");
    EXPECT_TRUE(items[0]->sKeyword1.empty());
    EXPECT_EQ(reader.nNextSerial(), 9);
}

TEST(ShfFile, legacyProjectIsWrittenBesideAsShf3)
{
    TempDir dir;
    const std::string legacy = legacyFile(0);
    writeBytes(dir.file("old.shf"), legacy);
    WrittenProject p;
    CReadSHFFile(p.items, dir.file("old.shf")).ReadFile(false);
    CCreateTree(p.outline).Execute(p.items);
    const CWriteSHF3File writer(dir.file("old.shf"));
    EXPECT_EQ(writer.path(), dir.file("old.shf3"));
    writer.WriteFile(defaultHeader(), p.outline);
    EXPECT_EQ(readBytes(dir.file("old.shf")), legacy);
    ItemList read;
    ASSERT_TRUE(CReadSHFFile(read, dir.file("old.shf3")).ReadFile(true));
    EXPECT_EQ(read[0]->sTitle, "Legacy");
}

TEST(ShfFile, capacityPreset)
{
    EXPECT_EQ(presetCapacity(9999), 10016u); // ((9999 + 16) div 16 + 1) * 16
    EXPECT_EQ(presetCapacity(10000), 0u);
    EXPECT_EQ(presetCapacity(0), 32u);
}

TEST(ShfFile, longMarkTextsAreShortenedToFitTheHeader)
{
    TempDir dir;
    WrittenProject p;
    build(p, {{0, "a"}});
    PROJECTHEADER h = defaultHeader();
    // Three 83-byte titles ending in double-byte characters do not fit into 244 bytes.
    const std::string title = std::string(80, 'x') + sj("あ") + "." ;
    ASSERT_EQ(title.size(), 83u);
    for (int k = 0; k < 3; ++k)
        h.marks[static_cast<size_t>(k)] = {k + 10, title};
    h.marks[0].text = "short";
    CWriteSHF3File(dir.file("p.shf3")).WriteFile(h, p.outline);

    ItemList items;
    CReadSHFFile reader(items, dir.file("p.shf3"));
    ASSERT_TRUE(reader.ReadFile(true));
    EXPECT_EQ(reader.markText(0), "short");
    EXPECT_EQ(reader.markText(1), title) << "the short text leaves room for the others";
    const size_t total = reader.markText(0).size() + reader.markText(1).size() + reader.markText(2).size();
    EXPECT_LE(total, kMarkTextBudget);
    EXPECT_EQ(items.size(), 1u);

    h.marks[0].text = title;
    CWriteSHF3File(dir.file("q.shf3")).WriteFile(h, p.outline);
    ItemList again;
    CReadSHFFile second(again, dir.file("q.shf3"));
    ASSERT_TRUE(second.ReadFile(true));
    size_t sum = 0;
    for (int k = 0; k < 3; ++k) {
        const std::string& text = second.markText(k);
        EXPECT_EQ(title.substr(0, text.size()), text);
        EXPECT_TRUE(text.size() == 80 || text.size() == 82) << "never through the double-byte character";
        sum += text.size();
    }
    EXPECT_LE(sum, kMarkTextBudget);
}

TEST(ShfFile, truncatedFileFailsCleanlyAtEveryOffset)
{
    TempDir dir;
    WrittenProject p;
    build(p, {{0, sj("はじめに")}, {1, "b"}, {1, "c"}});
    p.items[1]->sKeyword1 = "kw";
    CWriteSHF3File(dir.file("full.shf3")).WriteFile(defaultHeader(), p.outline);
    const std::string data = readBytes(dir.file("full.shf3"));

    const std::string failure = sj("指定の SHF ファイルをオープンできませんでした");
    for (size_t cut = 0; cut < data.size(); ++cut) {
        SCOPED_TRACE(cut);
        writeBytes(dir.file("cut.shf3"), data.substr(0, cut));
        ItemList items;
        CReadSHFFile reader(items, dir.file("cut.shf3"));
        EXPECT_FALSE(reader.ReadFile(true));
        EXPECT_EQ(reader.errorMessage().substr(0, failure.size() + 1), failure + "\n") << "the reader's text first";
        EXPECT_NE(reader.errorMessage().find(dir.file("cut.shf3")), std::string::npos) << "then the file";
        EXPECT_LT(items.size(), 3u);
        EXPECT_EQ(reader.headerComplete(), cut >= 110) << "header fields are usable only when read";
    }
}

TEST(ShfFile, damagedLengthsAndCountsAreRejected)
{
    TempDir dir;
    WrittenProject p;
    build(p, {{0, "a"}, {0, "b"}});
    CWriteSHF3File(dir.file("good.shf3")).WriteFile(defaultHeader(), p.outline);
    const std::string good = readBytes(dir.file("good.shf3"));

    struct Case {
        const char* name;
        size_t offset;
        std::int32_t value;
    };
    const Case cases[] = {
        {"huge item count", 28, 0x7FFFFFFF},
        {"negative item count", 28, -1},
        {"count beyond the bytes left", 28, 3},
        {"negative mark text length", 36, -5},
        {"mark text longer than the file", 36, 0x40000000},
        {"negative title length", 300 + 13 + 12 + 4 + static_cast<size_t>(int32At(good, 325)), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bad = good;
        std::memcpy(bad.data() + c.offset, &c.value, 4);
        writeBytes(dir.file("bad.shf3"), bad);
        ItemList items;
        CReadSHFFile reader(items, dir.file("bad.shf3"), CReadSHFFile::Flavor::Utility);
        EXPECT_FALSE(reader.ReadFile(true));
        const std::string failure = "ReadFile: " + sj("指定の SHF3 ファイルをオープンできませんでした") + "\n";
        EXPECT_EQ(reader.errorMessage().substr(0, failure.size()), failure);
        EXPECT_LE(items.capacity(), 64u);
    }
}

TEST(ShfFile, missingFileAndQuickCheck)
{
    TempDir dir;
    ItemList items;
    CReadSHFFile reader(items, dir.file("none.shf3"));
    EXPECT_FALSE(reader.ReadFile(true));
    EXPECT_FALSE(reader.headerComplete());

    writeBytes(dir.file("a.shf3"), "Shf3....");
    writeBytes(dir.file("b.shf3"), "SH");
    writeBytes(dir.file("c.shf3"), "XHF3");
    std::string message;
    EXPECT_TRUE(gCheckSHFFile(dir.file("a.shf3"), &message));
    EXPECT_FALSE(gCheckSHFFile(dir.file("b.shf3"), &message));
    EXPECT_FALSE(gCheckSHFFile(dir.file("c.shf3"), &message));
    EXPECT_TRUE(message.empty());
    EXPECT_FALSE(gCheckSHFFile(dir.file("none.shf3"), &message));
    EXPECT_EQ(message.substr(0, message.find('\n')), sj("SHF ファイルをオープンできませんでした"));
}

TEST(ShfFile, failedWriteKeepsThePreviousProject)
{
    TempDir dir;
    WrittenProject small;
    build(small, {{0, "a"}});
    CWriteSHF3File(dir.file("p.shf3")).WriteFile(defaultHeader(), small.outline);
    const std::string before = readBytes(dir.file("p.shf3"));

    WrittenProject big;
    std::vector<ItemShape> shapes(200, ItemShape{0, std::string(40, 'x')});
    build(big, shapes);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_THROW(CWriteSHF3File(dir.file("p.shf3")).WriteFile(defaultHeader(), big.outline), SheafError);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(readBytes(dir.file("p.shf3")), before);
}

TEST(ShfFile, rewriteKeepingTheHeader)
{
    TempDir dir;
    WrittenProject p;
    build(p, {{0, "a"}, {1, "b"}});
    PROJECTHEADER h = defaultHeader();
    h.marks[2] = {3, "m"};
    CWriteSHF3File(dir.file("p.shf3")).WriteFile(h, p.outline);
    const std::string before = readBytes(dir.file("p.shf3"));

    // The help maker changes keywords only; records keep their stored levels and order.
    p.items[1]->sKeyword1 = "key";
    p.items[1]->nLevel = 1;
    EXPECT_EQ(rewriteKeepingHeader(dir.file("p.shf3"), p.items), dir.file("p.shf3"));
    const std::string after = readBytes(dir.file("p.shf3"));
    EXPECT_EQ(after.substr(0, 300), before.substr(0, 300));
    ItemList read;
    ASSERT_TRUE(CReadSHFFile(read, dir.file("p.shf3")).ReadFile(true));
    EXPECT_EQ(read[1]->sKeyword1, "key");

    // The utility writes its next serial at offset 24 and turns a legacy file into .shf3.
    writeBytes(dir.file("old.shf"), legacyFile(0));
    ItemList legacyItems;
    ASSERT_TRUE(CReadSHFFile(legacyItems, dir.file("old.shf")).ReadFile(false));
    legacyItems[0]->nSerial = 76;
    EXPECT_EQ(rewriteKeepingHeader(dir.file("old.shf"), legacyItems, 77, true), dir.file("old.shf3"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("old.shf")));
    const std::string converted = readBytes(dir.file("old.shf3"));
    EXPECT_EQ(converted.substr(0, 4), "shf ");
    EXPECT_EQ(int32At(converted, 24), 77);
    ItemList again;
    ASSERT_TRUE(CReadSHFFile(again, dir.file("old.shf3")).ReadFile(true));
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0]->nSerial, 76);
    EXPECT_EQ(again[0]->sTitle, "Legacy");

    EXPECT_THROW(rewriteKeepingHeader(dir.file("missing.shf3"), read), SheafError);
}
