// Settings value rules and the paths of the files beside the program.
#include "setting_values.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SettingValues, OnOnlyForExactlyOne)
{
    EXPECT_TRUE(IsOnValue("1"));
    for (const char* off : {"0", "01", "1 ", " 1", "TRUE", "true", "2", "", "10"})
        EXPECT_FALSE(IsOnValue(off)) << '"' << off << '"';
    EXPECT_FALSE(IsOnValue(nullptr));
}

TEST(SettingValues, ConvertToScrollOnlyForExactlyTrueInCapitals)
{
    EXPECT_TRUE(IsTrueWord("TRUE"));
    for (const char* off : {"true", "True", "1", "FALSE", "TRUE ", "TRUEX", ""})
        EXPECT_FALSE(IsTrueWord(off)) << '"' << off << '"';
    EXPECT_FALSE(IsTrueWord(nullptr));
}

TEST(SettingValues, LinesToScrollFallsBackToThreeWhenNotPositive)
{
    struct Case
    {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"12", 12}, {"7 lines", 7}, {"1", 1},  {"0", 3},          {"-4", 3},
        {"abc", 3}, {"", 3},        {"+5", 5}, {"2147483648", 3}, {"4294967297", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LinesToScrollValue(c.text), c.expected) << '"' << c.text << '"';
}

std::string Folder(const char* path)
{
    SiblingPathText folder;
    FolderOfPath(path, folder);
    return folder.c_str();
}

std::string SettingsFile(const char* modulePath)
{
    SiblingPathText path;
    SettingsPathFromModulePath(modulePath, path);
    return path.c_str();
}

TEST(SettingValues, FolderKeepsTheLastBackslashOrColon)
{
    EXPECT_EQ(Folder("C:\\Tools\\Rollix\\RollixPortable.exe"), "C:\\Tools\\Rollix\\");
    EXPECT_EQ(Folder("C:RollixPortable.exe"), "C:");
    EXPECT_EQ(Folder("\\\\server\\share\\a:b"), "\\\\server\\share\\a:");
    EXPECT_EQ(Folder("RollixPortable.exe"), "");
    EXPECT_EQ(Folder(""), "");
    EXPECT_EQ(Folder(nullptr), "");
}

TEST(SettingValues, SettingsFileLivesBesideTheProgram)
{
    EXPECT_EQ(SettingsFile("C:\\Tools\\Rollix\\RollixPortable.exe"), "C:\\Tools\\Rollix\\rollix.ini");
    EXPECT_EQ(SettingsFile("D:RollixPortable.exe"), "D:rollix.ini");
    // A forward slash is not a separator here.
    EXPECT_EQ(SettingsFile("C:\\a/b.exe"), "C:\\rollix.ini");
}

TEST(SettingValues, LongestModulePathStillGivesTheWholeSettingsPath)
{
    std::string folder = "C:\\" + std::string(kPathCapacity - 10, 'f') + "\\";
    std::string module = folder + "R.exe";
    ASSERT_LT(module.size(), static_cast<size_t>(kPathCapacity));
    EXPECT_EQ(SettingsFile(module.c_str()), folder + "rollix.ini");
}

} // namespace
