// The router's own settings as the [router] section gives them, and the exclusion rule.
#include "router_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SettingText Text(const char* text, bool truncated = false)
{
    SettingText setting;
    setting.m_present = true;
    setting.m_text = text;
    setting.m_truncated = truncated;
    return setting;
}

std::vector<std::string> Names(const NameList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) {
        names.emplace_back(list.At(i));
    }
    return names;
}

RouterSettings Parsed(const RouterSettingTexts& texts)
{
    RouterSettings settings;
    ParseRouterSettings(texts, settings);
    return settings;
}

TEST(RouterSettings, MissingKeysGiveTheDefaults)
{
    const RouterSettings settings = Parsed(RouterSettingTexts());
    EXPECT_EQ(Names(settings.m_excludedPrograms), (std::vector<std::string>{"mstsc.exe", "msrdc.exe", "osk.exe"}));
    EXPECT_EQ(settings.m_excludedClasses.Count(), 0);
    EXPECT_FALSE(settings.m_shiftScrollsSideways);
    EXPECT_EQ(settings.m_reverseAxes, ReverseAxes::Both);
}

TEST(RouterSettings, AnEmptyListExcludesNothing)
{
    RouterSettingTexts texts;
    texts.m_excludedPrograms = Text("");
    texts.m_excludedClasses = Text(" ; ;");
    const RouterSettings settings = Parsed(texts);
    EXPECT_EQ(settings.m_excludedPrograms.Count(), 0);
    EXPECT_EQ(settings.m_excludedClasses.Count(), 0);
}

TEST(RouterSettings, NamesLoseTheirBlanksAndFoldersAndKeepTheirOrder)
{
    RouterSettingTexts texts;
    texts.m_excludedPrograms = Text("  Game.EXE ;;C:\\Program Files\\Paint\\paint.exe; D:/tools/cad.exe\t;;");
    texts.m_excludedClasses = Text("UnityWndClass;  TscShellContainerClass  ");
    const RouterSettings settings = Parsed(texts);
    EXPECT_EQ(Names(settings.m_excludedPrograms), (std::vector<std::string>{"Game.EXE", "paint.exe", "cad.exe"}));
    EXPECT_EQ(Names(settings.m_excludedClasses), (std::vector<std::string>{"UnityWndClass", "TscShellContainerClass"}));
}

TEST(RouterSettings, ATextCutShortLosesOnlyItsPartialLastName)
{
    RouterSettingTexts texts;
    texts.m_excludedPrograms = Text("one.exe;two.exe;thr", true);
    EXPECT_EQ(Names(Parsed(texts).m_excludedPrograms), (std::vector<std::string>{"one.exe", "two.exe"}));
}

TEST(RouterSettings, ALongListKeepsWhatFitsAndNeverFails)
{
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text += "program" + std::to_string(i) + ".exe;";
    }
    NameList list;
    list.Parse(text.c_str());
    EXPECT_GT(list.Count(), 200);
    EXPECT_LE(list.Count(), kMaxListedNames);
    EXPECT_EQ(std::string(list.At(0)), "program0.exe");
    EXPECT_TRUE(list.Contains("PROGRAM199.EXE"));
    EXPECT_FALSE(list.Contains("program1999.exe")) << "beyond the room of the list";

    const std::string huge(10000, 'x'); // one name larger than the whole room
    list.Parse((huge + ";small.exe").c_str());
    EXPECT_EQ(Names(list), std::vector<std::string>{"small.exe"});
}

TEST(RouterSettings, SwitchesTakeTheirWordsInAnyCaseAndIgnoreGarbage)
{
    struct Case
    {
        const char* m_sideways;
        bool m_expectedSideways;
        const char* m_axes;
        ReverseAxes m_expectedAxes;
    };
    const Case cases[] = {
        {"1", true, "vertical", ReverseAxes::Vertical},
        {" 1 ", true, "HORIZONTAL", ReverseAxes::Horizontal},
        {"0", false, "Both", ReverseAxes::Both},
        {"yes", false, "up", ReverseAxes::Both},
        {"", false, "", ReverseAxes::Both},
        {"10", false, "vertically", ReverseAxes::Both},
    };
    for (const Case& c : cases) {
        RouterSettingTexts texts;
        texts.m_shiftScrollsSideways = Text(c.m_sideways);
        texts.m_reverseAxes = Text(c.m_axes);
        const RouterSettings settings = Parsed(texts);
        EXPECT_EQ(settings.m_shiftScrollsSideways, c.m_expectedSideways) << '"' << c.m_sideways << '"';
        EXPECT_EQ(settings.m_reverseAxes, c.m_expectedAxes) << '"' << c.m_axes << '"';
    }
}

TEST(Exclusions, AProgramByItsFileNameOrAClassOfTheWindowOrItsTopLevel)
{
    RouterSettingTexts texts;
    texts.m_excludedPrograms = Text("mstsc.exe;Game.exe");
    texts.m_excludedClasses = Text("OSKMainClass");
    const RouterSettings settings = Parsed(texts);
    EXPECT_TRUE(IsExcluded(settings, "C:\\Windows\\System32\\MSTSC.EXE", "IHWindowClass", "TscShellContainerClass"));
    EXPECT_TRUE(IsExcluded(settings, "D:/Games/game.exe", "Edit", "Main"));
    EXPECT_TRUE(IsExcluded(settings, "", "Button", "oskmainclass")) << "its top-level window's class";
    EXPECT_TRUE(IsExcluded(settings, "", "OSKMainClass", "Other"));
    EXPECT_FALSE(IsExcluded(settings, "C:\\Games\\game.exe.bak", "Edit", "Main"));
    EXPECT_FALSE(IsExcluded(settings, "C:\\mstsc.exe\\notepad.exe", "Edit", "Notepad"))
        << "a folder of that name is no program";
    EXPECT_FALSE(IsExcluded(settings, "", "Edit", "Notepad")) << "an unknown program excludes nothing";
    EXPECT_FALSE(IsExcluded(settings, nullptr, "Edit", "Notepad"));
}

} // namespace
