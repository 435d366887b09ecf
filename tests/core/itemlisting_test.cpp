#include "common/sjis.h"
#include "support/projectbuilder.h"
#include "support/tempdir.h"
#include "utility/itemlisting.h"

#include <gtest/gtest.h>

using namespace sheaf;
using namespace sheaf::test;

TEST(ItemListing, columns)
{
    TempDir dir;
    ItemList items = makeItems({{0, "Intro"}, {1, "Missing"}}, dir.path());
    writeBytes(items[0]->sFileName, std::string(1234567, 'x'));
    items[0]->bTag2 = 1;
    const auto rows = listItems(items);
    ASSERT_EQ(rows.size(), 2u);
    const auto& c = rows[0].columns;
    EXPECT_EQ(c[0], "Intro");
    EXPECT_EQ(c[1], "    0");
    EXPECT_EQ(c[2], "       2");
    EXPECT_EQ(c[3], "0");
    EXPECT_EQ(c[5], "1");
    EXPECT_EQ(c[7], "   1,234,567");
    EXPECT_EQ(c[8], "Intro.txt");
    EXPECT_EQ(c[9], dir.path());
    EXPECT_EQ(c[10].size(), 19u);
    EXPECT_FALSE(rows[0].fileMissing);
    EXPECT_TRUE(rows[1].fileMissing);
    EXPECT_EQ(rows[1].columns[7], "           0");
    EXPECT_EQ(rows[1].columns[10], "0");
}

TEST(ItemListing, duplicates)
{
    ItemList items = makeItems({{0, "a"}, {0, "b"}, {0, "c"}, {0, "d"}});
    items[2]->sFileName = "C:\\other\\A.TXT"; // same name as item 0 in another folder, other case
    items[1]->nSerial = 9;
    items[2]->nSerial = 9;
    items[3]->nSerial = 9;
    EXPECT_EQ(duplicateFileNames(items), (std::vector<std::vector<std::size_t>>{{0, 2}}));
    EXPECT_EQ(duplicateSerials(items), (std::vector<std::vector<std::size_t>>{{1, 2, 3}}));
    ItemList none = makeItems({{0, "a"}, {0, "b"}});
    EXPECT_TRUE(duplicateFileNames(none).empty());
    EXPECT_TRUE(duplicateSerials(none).empty());
}
