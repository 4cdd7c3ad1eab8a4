// The user's rules in the editor: read from sections with the library's parser, and a save writes exactly what
// changed in the library's reading, removed sections first.
#include "rules_form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Section
{
    const char* name;
    const char* keys[kRuleKeyCount]; // in the order of RuleKey; nullptr: absent
};

std::unique_ptr<UserRules> Read(const std::vector<Section>& sections)
{
    auto rules = std::make_unique<UserRules>();
    for (const Section& section : sections) {
        AddSavedRule(*rules, section.name, section.keys);
    }
    return rules;
}

std::vector<std::string> Writes(const UserRules& saved, const UserRules& edited, int failAt = -1)
{
    struct Log
    {
        std::vector<std::string> lines;
        int failAt;
    } log = {{}, failAt};
    bool failed = false;
    const int done = WriteRuleChanges(
        saved, edited,
        [](void* context, const char* section, const char* key, const char* value) {
            auto& out = *static_cast<Log*>(context);
            if (static_cast<int>(out.lines.size()) == out.failAt) {
                return false;
            }
            out.lines.push_back(std::string("[") + section + "]" + (key != nullptr ? key : "<section gone>") +
                                (key != nullptr ? std::string("=") + (value != nullptr ? value : "<gone>") : ""));
            return true;
        },
        &log, failed);
    EXPECT_EQ(done, static_cast<int>(log.lines.size()));
    EXPECT_EQ(failed, failAt >= 0 && failAt <= static_cast<int>(log.lines.size()));
    return log.lines;
}

UserRule NewRule(RuleKind kind, const char* name)
{
    UserRule rule = {};
    rule.m_target.m_kind = kind;
    std::snprintf(rule.m_target.m_name, sizeof(rule.m_target.m_name), "%s", name);
    return rule;
}

const std::vector<Section> kFile = {
    {"program Word.EXE", {"system", "0", nullptr, nullptr, "7", nullptr, nullptr, "hscroll"}},
    {"Class  EXCEL7 ", {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "maybe"}},
    {"config", {"off"}},                      // no rule
    {"program word.exe", {"off"}},            // the same program again: the library reads the first
    {"class Chrome_RenderWidgetHostHWND", {}}, // a rule that sets nothing is still the user's
};

TEST(RulesForm, ReadsTheRuleSectionsOnceEachWithTheLibrarysReading)
{
    const auto rules = Read(kFile);
    ASSERT_EQ(rules->m_count, 3);
    const UserRule& word = rules->m_rules[0];
    EXPECT_STREQ(word.m_target.m_name, "Word.EXE");
    char keys[kDecisionTextSize];
    RuleKeysText(word.m_settings, keys);
    EXPECT_STREQ(keys, "Scroll=system; ReverseScroll=0; LinesToScroll=7; Sideways=hscroll") << "as the list shows it";
    EXPECT_STREQ(rules->m_rules[1].m_section, "Class  EXCEL7 ") << "kept as the file spells it, to write back";
    EXPECT_TRUE(IsEmptyRule(rules->m_rules[1].m_settings)) << "garbage reads as the level below";

    RuleTarget target;
    target.m_kind = RuleKind::Class;
    std::snprintf(target.m_name, sizeof(target.m_name), "excel7");
    EXPECT_EQ(FindUserRule(*rules, target), 1) << "names in any case";
    EXPECT_EQ(FindUserRule(*rules, target, 1), -1);
    target.m_kind = RuleKind::Program;
    EXPECT_EQ(FindUserRule(*rules, target), -1) << "a program is no class";
}

TEST(RulesForm, ASaveWritesOnlyWhatChangedRemovedSectionsFirst)
{
    const auto saved = Read(kFile);
    struct Case
    {
        const char* name;
        void (*edit)(UserRules&);
        std::vector<std::string> writes;
    } cases[] = {
        {"untouched, garbage and an empty rule included", [](UserRules&) {}, {}},
        {"one key changed, one set back to the level below, in the file's own section",
         [](UserRules& rules) {
             rules.m_rules[0].m_settings.m_scroll = ScrollMode::Route;
             rules.m_rules[0].m_settings.m_linesToScroll = 0;
         },
         {"[program Word.EXE]Scroll=route", "[program Word.EXE]LinesToScroll=<gone>"}},
        {"every word of a new rule, in key order, after the removal",
         [](UserRules& rules) {
             rules.m_rules[1] = NewRule(RuleKind::Program, "Code.exe");
             rules.m_rules[1].m_settings.m_sideways = SidewaysMethod::ShiftWheel;
             rules.m_rules[1].m_settings.m_reverseAxes = RuleAxes::Horizontal;
             rules.m_rules[1].m_settings.m_activateWindows = RuleSwitch::On;
             rules.m_rules[1].m_settings.m_linesToScroll = 100;
         },
         {"[Class  EXCEL7 ]<section gone>", "[program Code.exe]ReverseAxes=horizontal",
          "[program Code.exe]LinesToScroll=100", "[program Code.exe]ActivateWindows=1",
          "[program Code.exe]Sideways=shiftwheel"}},
        {"a renamed rule moves to a section of its new name; a change of case is no rename",
         [](UserRules& rules) {
             std::snprintf(rules.m_rules[0].m_target.m_name, kRuleNameSize, "WINWORD.EXE");
             std::snprintf(rules.m_rules[1].m_target.m_name, kRuleNameSize, "excel7");
             rules.m_rules[1].m_settings.m_shiftScrollsSideways = RuleSwitch::On;
         },
         {"[program Word.EXE]<section gone>", "[program WINWORD.EXE]Scroll=system",
          "[program WINWORD.EXE]ReverseScroll=0", "[program WINWORD.EXE]LinesToScroll=7",
          "[program WINWORD.EXE]Sideways=hscroll", "[Class  EXCEL7 ]ShiftScrollsSideways=1"}},
        {"removed, then added again for the same program: the new rule's keys after the removal",
         [](UserRules& rules) {
             rules.m_rules[0] = NewRule(RuleKind::Program, "word.exe");
             rules.m_rules[0].m_settings.m_convertToScroll = RuleSwitch::On;
         },
         {"[program Word.EXE]<section gone>", "[program word.exe]ConvertToScroll=1"}},
    };
    for (const Case& c : cases) {
        auto edited = std::make_unique<UserRules>(*saved);
        c.edit(*edited);
        EXPECT_EQ(Writes(*saved, *edited), c.writes) << c.name;
    }

    // A failed write stops the save there; what was written is counted.
    auto edited = std::make_unique<UserRules>(*saved);
    edited->m_count = 0;
    EXPECT_EQ(Writes(*saved, *edited, 1), std::vector<std::string>{"[program Word.EXE]<section gone>"});
}

} // namespace
