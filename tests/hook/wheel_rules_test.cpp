// A rule's keys and section names as rollix.ini holds them, read and written back.
#include "wheel_rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Formatted(const RuleSettings& settings, RuleKey key)
{
    char buffer[kRuleValueSize];
    return FormatRuleKey(settings, key, buffer);
}

TEST(WheelRulesTest, EveryWordOfEveryKeyReadsBackAsWritten)
{
    for (int k = 0; k < kRuleKeyCount; ++k) {
        const auto key = static_cast<RuleKey>(k);
        const int count = key == RuleKey::LinesToScroll ? 0 : (key == RuleKey::Scroll || key == RuleKey::ReverseAxes ||
                                                                key == RuleKey::Sideways)
                                                                   ? 3
                                                                   : 2;
        ASSERT_EQ(RuleValueWordCount(key), count) << RuleKeyName(key);
        for (int i = 0; i < count; ++i) {
            RuleSettings settings;
            ParseRuleKey(settings, key, RuleValueWord(key, i));
            EXPECT_FALSE(IsEmptyRule(settings)) << RuleKeyName(key) << "=" << RuleValueWord(key, i);
            EXPECT_EQ(Formatted(settings, key), RuleValueWord(key, i));
            // Only that key changed.
            RuleSettings other;
            ParseRuleKey(other, key, "");
            EXPECT_TRUE(IsEmptyRule(other));
        }
    }
}

TEST(WheelRulesTest, GarbageAndAbsentValuesInherit)
{
    const struct
    {
        RuleKey m_key;
        const char* m_text;
    } cases[] = {
        {RuleKey::Scroll, "routed"}, {RuleKey::Scroll, nullptr},        {RuleKey::ReverseScroll, "yes"},
        {RuleKey::ReverseScroll, "2"}, {RuleKey::ReverseAxes, "all"},   {RuleKey::ConvertToScroll, "TRUE"},
        {RuleKey::LinesToScroll, "0"}, {RuleKey::LinesToScroll, "101"}, {RuleKey::LinesToScroll, "5x"},
        {RuleKey::LinesToScroll, "-3"}, {RuleKey::Sideways, "wheel"},   {RuleKey::ActivateWindows, ""},
    };
    for (const auto& c : cases) {
        RuleSettings settings;
        ParseRuleKey(settings, RuleKey::Scroll, "off"); // a garbage value also clears what was there
        ParseRuleKey(settings, c.m_key, c.m_text);
        if (c.m_key == RuleKey::Scroll) {
            EXPECT_TRUE(IsEmptyRule(settings)) << (c.m_text != nullptr ? c.m_text : "(absent)");
        } else {
            EXPECT_EQ(Formatted(settings, c.m_key), "") << RuleKeyName(c.m_key) << "=" << c.m_text;
        }
    }
    RuleSettings lines;
    ParseRuleKey(lines, RuleKey::LinesToScroll, "100");
    EXPECT_EQ(Formatted(lines, RuleKey::LinesToScroll), "100");
}

TEST(WheelRulesTest, SectionTextSetsTheKeysItNames)
{
    const char pairs[] =
        "scroll= SYSTEM \0Sideways = ShiftWheel\0Unknown=1\0no equals sign\0ReverseScroll=maybe\0linestoscroll=12\0";
    const RuleSettings settings = ParseRuleSectionText(pairs);
    EXPECT_EQ(settings.m_scroll, ScrollMode::System);
    EXPECT_EQ(settings.m_sideways, SidewaysMethod::ShiftWheel);
    EXPECT_EQ(settings.m_linesToScroll, 12);
    EXPECT_EQ(settings.m_reverseScroll, RuleSwitch::Inherit);
    EXPECT_TRUE(IsEmptyRule(ParseRuleSectionText("")));
}

TEST(WheelRulesTest, SectionNamesReadAndWrite)
{
    const struct
    {
        const char* m_section;
        bool m_rule;
        RuleKind m_kind;
        const char* m_name;
    } cases[] = {
        {"program EXCEL.EXE", true, RuleKind::Program, "EXCEL.EXE"},
        {"Program   notepad.exe  ", true, RuleKind::Program, "notepad.exe"},
        {"CLASS Windows.UI.Core.CoreWindow", true, RuleKind::Class, "Windows.UI.Core.CoreWindow"},
        {"class #32770", true, RuleKind::Class, "#32770"},
        {"config", false, RuleKind::Program, ""},
        {"router", false, RuleKind::Program, ""},
        {"program", false, RuleKind::Program, ""},
        {"class   ", false, RuleKind::Program, ""},
        {"programs x.exe", false, RuleKind::Program, ""},
        {"classX", false, RuleKind::Program, ""},
    };
    for (const auto& c : cases) {
        RuleTarget target;
        ASSERT_EQ(ParseRuleSection(c.m_section, target), c.m_rule) << c.m_section;
        if (!c.m_rule) {
            continue;
        }
        EXPECT_EQ(target.m_kind, c.m_kind);
        EXPECT_STREQ(target.m_name, c.m_name);
        char section[kRuleSectionSize];
        ASSERT_TRUE(FormatRuleSection(target, section));
        RuleTarget again;
        ASSERT_TRUE(ParseRuleSection(section, again));
        EXPECT_STREQ(again.m_name, c.m_name);
        EXPECT_EQ(again.m_kind, c.m_kind);
    }
    RuleTarget bad;
    bad.m_kind = RuleKind::Class;
    char section[kRuleSectionSize];
    for (const char* name : {"", "a]b", "line\nbreak"}) {
        std::snprintf(bad.m_name, sizeof(bad.m_name), "%s", name);
        EXPECT_FALSE(FormatRuleSection(bad, section)) << name;
        EXPECT_STREQ(section, "");
    }
}

TEST(WheelRulesTest, DescriptionNamesOnlyTheKeysSet)
{
    char text[kDecisionTextSize];
    DescribeRuleSettings(RuleSettings(), text);
    EXPECT_STREQ(text, "");
    RuleSettings excel;
    excel.m_scroll = ScrollMode::Route;
    excel.m_sideways = SidewaysMethod::HScroll;
    excel.m_linesToScroll = 1;
    DescribeRuleSettings(excel, text);
    EXPECT_STREQ(text, "posted to the window under the pointer; sideways as WM_HSCROLL; 1 line a notch");
    RuleSettings off;
    off.m_scroll = ScrollMode::Off;
    off.m_reverseScroll = RuleSwitch::On; // nothing acts where the wheel is left alone
    DescribeRuleSettings(off, text);
    EXPECT_STREQ(text, "left alone");
}

} // namespace
