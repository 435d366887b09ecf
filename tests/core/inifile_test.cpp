#include "common/error.h"
#include "common/formposition.h"
#include "common/inifile.h"
#include "common/settingspath.h"
#include "common/sjis.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>

using namespace sheaf;
using sheaf::sjis::sj;
using sheaf::test::readBytes;
using sheaf::test::TempDir;
using sheaf::test::writeBytes;

class IniFileTest : public testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("Sheaf3.ini");
    IniFile ini{path};
};

TEST_F(IniFileTest, readsThePrivateProfileForm)
{
    writeBytes(path, "[Customize]\nTreeFontSize=12\nShowMenuToolbar=0\n  TextFontName = \"" + sj("ＭＳ ゴシック") +
                         "\"\nTreeBackColor=-2147483643\nTextLineSpace=abc\n"
                         "[keyword]\n0=alpha\n2=\n5=Beta Gamma\n\n[Empty]\n");
    struct Case {
        const char* name;
        std::string section, key, expected;
    };
    const Case strings[] = {
        {"section and key without regard to case", "CUSTOMIZE", "treefontsize", "12"},
        {"enclosing quotes removed, blanks around name and value ignored", "Customize", "TextFontName",
         sj("ＭＳ ゴシック")},
        {"value to the end of the line", "Keyword", "5", "Beta Gamma"},
        {"empty value", "Keyword", "2", ""},
        {"missing key gives the default", "Keyword", "9", "default"},
        {"missing section gives the default", "None", "0", "default"},
    };
    for (const auto& c : strings) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ini.readString(c.section, c.key, "default"), c.expected);
    }
    EXPECT_EQ(ini.readInteger("Customize", "TreeFontSize", 10), 12);
    EXPECT_EQ(ini.readInteger("Customize", "TextLineSpace", 2), 2) << "not an integer";
    EXPECT_EQ(ini.readInteger("Customize", "Missing", 7), 7);
    EXPECT_FALSE(ini.readBool("Customize", "ShowMenuToolbar", true));
    EXPECT_TRUE(ini.readBool("Customize", "ShowMenuStatusbar", true));
    EXPECT_EQ(ini.readColor("Customize", "TreeBackColor", 0), static_cast<std::int32_t>(0x80000005));
    EXPECT_EQ(ini.readSection("Keyword"), (std::vector<std::string>{"0", "2", "5"}));
    EXPECT_TRUE(ini.sectionExists("empty"));
    EXPECT_TRUE(ini.readSectionValues("Empty").empty());
}

TEST_F(IniFileTest, writesKeepOtherLinesAndUseCrLf)
{
    writeBytes(path, "; kept comment\n[A]\nx=1\n\n[B]\ny=2\n");
    ini.writeString("a", "X", "10");            // replaces in place, case-insensitively
    ini.writeString("A", "z", sj("値"));         // appended to its section
    ini.writeInteger("C", "n", -5);              // new section at the end
    EXPECT_EQ(readBytes(path), "; kept comment\r\n[A]\r\nX=10\r\nz=" + sj("値") +
                                   "\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nn=-5\r\n");
    ini.eraseSection("b");
    EXPECT_FALSE(ini.sectionExists("B"));
    EXPECT_EQ(ini.readInteger("C", "n", 0), -5);
    ini.deleteKey("A", "z");
    EXPECT_EQ(ini.readSection("A"), std::vector<std::string>{"X"});
}

TEST_F(IniFileTest, nothingIsCached)
{
    ini.writeString("S", "k", "first");
    writeBytes(path, "[S]\r\nk=changed elsewhere\r\n");
    EXPECT_EQ(ini.readString("S", "k", ""), "changed elsewhere");
}

TEST_F(IniFileTest, createsTheSettingsFolderOnFirstWrite)
{
    IniFile nested(dir.file("a/b/Sheaf3.ini"));
    nested.writeBool("Customize", "ShowMenuFuncKey", true);
    EXPECT_EQ(readBytes(dir.file("a/b/Sheaf3.ini")), "[Customize]\r\nShowMenuFuncKey=1\r\n");
}

TEST_F(IniFileTest, failedWriteLeavesThePreviousFile)
{
    // Larger than the file-size limit below, so the temporary file cannot be written.
    const std::string original = "[S]\r\nk=" + std::string(2000, 'v') + "\r\n";
    writeBytes(path, original);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(ini.writeString("S", "other", "x"), SheafError);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(readBytes(path), original);
}

TEST(SettingsFolder, environmentDecides)
{
    TempDir dir;
    ::setenv("SHEAF3_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(settingsFolder(), dir.path());
    ::unsetenv("SHEAF3_HOME");
    ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(settingsFolder(), dir.path() + "/sheaf3");
}

TEST(FormPosition, parseAndFormat)
{
    FormRect r;
    parseFormPosition("10,20,300,400", r);
    EXPECT_EQ(r, (FormRect{10, 20, 300, 400}));

    FormRect partial{1, 1, 1, 1};
    EXPECT_THROW(parseFormPosition("5,6", partial), SheafError);
    EXPECT_EQ(partial, (FormRect{5, 6, 1, 1})) << "items before the failure are applied";
    EXPECT_THROW(parseFormPosition("5,x,7,8", partial), SheafError);

    EXPECT_EQ(formatFormPosition({-8, -3, 870, 460}), "0,0,870,460");
}
