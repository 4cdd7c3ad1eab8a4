// Which rule applies to a window: the user's class rules along its chain, its program rule, the exclusions, the
// built-in table, the global settings, key by key.
#include "rule_book.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

RuleSettings Parsed(const char* pairs)
{
    return ParseRuleSectionText(pairs);
}

// A made-up program's window: a control in a pane in a frame; none of it is in the built-in table.
constexpr const char* kChain[] = {"MyGrid", "MyPane", "MyFrame"};

TEST(RuleBookTest, NearestLevelSetsEachKey)
{
    auto book = std::make_unique<RuleBook>();
    ASSERT_TRUE(book->AddUserRule(RuleKind::Class, "MyFrame", Parsed("ReverseScroll=1\0LinesToScroll=7\0")));
    ASSERT_TRUE(book->AddUserRule(RuleKind::Class, "mygrid", Parsed("ReverseScroll=0\0")));
    ASSERT_TRUE(book->AddUserRule(RuleKind::Program, "C:\\Tools\\Grid.exe", Parsed("Sideways=hscroll\0LinesToScroll=2\0Scroll=system\0")));

    // The grid's own class rule is nearest, the frame's next, the program's last.
    RuleResolution grid = book->Resolve("D:\\apps\\GRID.EXE", kChain, 3, false);
    EXPECT_EQ(grid.m_source, RuleSource::UserClass);
    EXPECT_EQ(grid.m_chainIndex, 0);
    EXPECT_EQ(grid.m_settings.m_reverseScroll, RuleSwitch::Off);
    EXPECT_EQ(grid.m_settings.m_linesToScroll, 7);
    EXPECT_EQ(grid.m_settings.m_sideways, SidewaysMethod::HScroll);
    EXPECT_EQ(grid.m_settings.m_scroll, ScrollMode::System);
    EXPECT_EQ(grid.m_builtIn, -1);

    // The pane is not the grid: the grid's rule does not apply to its parent.
    RuleResolution pane = book->Resolve("grid.exe", kChain + 1, 2, false);
    EXPECT_EQ(pane.m_source, RuleSource::UserClass);
    EXPECT_EQ(pane.m_chainIndex, 1);
    EXPECT_EQ(pane.m_settings.m_reverseScroll, RuleSwitch::On);

    // Another program with none of these classes gets nothing.
    const char* other[] = {"Edit", "Notepad"};
    RuleResolution none = book->Resolve("unknown.exe", other, 2, false);
    EXPECT_EQ(none.m_source, RuleSource::Global);
    EXPECT_TRUE(IsEmptyRule(none.m_settings));

    // A program rule alone.
    RuleResolution program = book->Resolve("grid.exe", other, 2, false);
    EXPECT_EQ(program.m_source, RuleSource::UserProgram);
    EXPECT_EQ(program.m_settings.m_linesToScroll, 2);
}

TEST(RuleBookTest, UserRulesOverrideExclusionsAndBuiltInEntries)
{
    auto book = std::make_unique<RuleBook>();
    const char* excel[] = {"EXCEL7", "XLDESK", "XLMAIN"};
    RuleResolution table = book->Resolve("EXCEL.EXE", excel, 3, false);
    EXPECT_EQ(table.m_source, RuleSource::BuiltInClass);
    EXPECT_EQ(table.m_settings.m_sideways, SidewaysMethod::HScroll);
    ASSERT_GE(table.m_builtIn, 0);
    EXPECT_STREQ(BuiltInRuleAt(table.m_builtIn).m_application, "Microsoft Excel");

    // The exclusions sit under the user's rules and over the table.
    RuleResolution excluded = book->Resolve("EXCEL.EXE", excel, 3, true);
    EXPECT_EQ(excluded.m_source, RuleSource::Excluded);
    EXPECT_EQ(excluded.m_settings.m_scroll, ScrollMode::Off);
    EXPECT_EQ(excluded.m_settings.m_sideways, SidewaysMethod::HScroll);

    ASSERT_TRUE(book->AddUserRule(RuleKind::Program, "excel.exe", Parsed("Scroll=route\0Sideways=hwheel\0")));
    RuleResolution user = book->Resolve("EXCEL.EXE", excel, 3, true);
    EXPECT_EQ(user.m_source, RuleSource::UserProgram);
    EXPECT_EQ(user.m_settings.m_scroll, ScrollMode::Route);
    EXPECT_EQ(user.m_settings.m_sideways, SidewaysMethod::HWheel);
    EXPECT_EQ(user.m_builtIn, table.m_builtIn); // still shown as the entry under the rule

    // A second rule for the same name replaces the first.
    ASSERT_TRUE(book->AddUserRule(RuleKind::Program, "EXCEL.exe", Parsed("ReverseScroll=1\0")));
    EXPECT_EQ(book->UserRuleCount(), 1);
    EXPECT_EQ(book->Resolve("excel.exe", excel, 3, false).m_settings.m_sideways, SidewaysMethod::HScroll);
}

TEST(RuleBookTest, PrefixEntriesMatchVersionedClassNames)
{
    auto book = std::make_unique<RuleBook>();
    const char* qt[] = {"Qt5152QWindowIcon"};
    const char* wpf[] = {"HwndWrapper[App.exe;;6a1b]"};
    const char* neither[] = {"Qt", "HwndWrapper"};
    EXPECT_STREQ(BuiltInRuleAt(book->Resolve("", qt, 1, false).m_builtIn).m_application, "Qt 5");
    EXPECT_STREQ(BuiltInRuleAt(book->Resolve("", wpf, 1, false).m_builtIn).m_application, "WPF");
    EXPECT_EQ(book->Resolve("", neither, 2, false).m_source, RuleSource::Global);
}

TEST(RuleBookTest, ACopiedBookStillFindsItsNames)
{
    auto book = std::make_unique<RuleBook>();
    ASSERT_TRUE(book->AddUserRule(RuleKind::Class, "MyGrid", Parsed("ReverseScroll=0\0")));
    auto copy = std::make_unique<RuleBook>(*book);
    book.reset();
    EXPECT_EQ(copy->Resolve("", kChain, 3, false).m_source, RuleSource::UserClass);
    EXPECT_STREQ(copy->UserRuleAt(0).m_name, "MyGrid");
}

TEST(RuleBookTest, HoldsTwoHundredRulesAndRefusesPastItsRoom)
{
    auto book = std::make_unique<RuleBook>();
    for (int i = 0; i < kMaxUserRules; ++i) {
        const std::string name = "Class" + std::to_string(i);
        ASSERT_TRUE(book->AddUserRule(i % 2 ? RuleKind::Class : RuleKind::Program, name.c_str(),
                                      Parsed("ReverseScroll=1\0")));
    }
    EXPECT_FALSE(book->AddUserRule(RuleKind::Class, "OneTooMany", Parsed("ReverseScroll=1\0")));
    EXPECT_FALSE(book->AddUserRule(RuleKind::Class, "", Parsed("ReverseScroll=1\0")));
    const char* last[] = {"class255"};
    EXPECT_EQ(book->Resolve("class254", last, 1, false).m_rule, 255);
    EXPECT_EQ(book->Resolve("class254", last + 0, 0, false).m_rule, 254);
}

TEST(RuleBookTest, AppliedRuleFallsBackToTheGlobalSettings)
{
    HookSettings global = SettingsFromArguments(1, 3, 2);
    global.m_reverseAxes = ReverseAxes::Vertical;
    const AppliedRule plain = ApplyRule(global, RuleSettings());
    EXPECT_EQ(plain.m_scroll, ScrollMode::Route);
    EXPECT_EQ(plain.m_sideways, SidewaysMethod::HWheel);
    EXPECT_TRUE(plain.m_settings.m_reverseScroll);
    EXPECT_TRUE(plain.m_settings.m_convertToScroll);
    EXPECT_EQ(plain.m_settings.m_reverseAxes, ReverseAxes::Vertical);

    const AppliedRule changed =
        ApplyRule(global, Parsed("ReverseScroll=0\0ConvertToScroll=0\0LinesToScroll=9\0ReverseAxes=horizontal\0"
                                 "ActivateWindows=1\0ShiftScrollsSideways=1\0"));
    EXPECT_FALSE(changed.m_settings.m_reverseScroll);
    EXPECT_FALSE(changed.m_settings.m_convertToScroll);
    EXPECT_EQ(changed.m_settings.m_linesToScroll, 9);
    EXPECT_EQ(changed.m_settings.m_reverseAxes, ReverseAxes::Horizontal);
    EXPECT_TRUE(changed.m_settings.m_activateWindows);
    EXPECT_TRUE(changed.m_settings.m_shiftScrollsSideways);
}

} // namespace
