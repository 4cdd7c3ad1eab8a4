// Finds the rules that apply to a window: the user's class rules for the windows of its chain (nearest first), the
// user's program rule, the [router] exclusions, the built-in table's program entries and class entries, in that
// order, each key taken from the first level that sets it. Plain C++ over a plain chain of class names, so the
// host tests run it over any application's window tree. Names are found through a sorted table of hashes: a
// look-up costs the same with 200 rules as with none.
#pragma once

#include "wheel_routing.h"
#include "wheel_rules.h"

#include <cstdint>

constexpr int kMaxUserRules = 256;
constexpr int kUserRuleTextBytes = 16384;
// Every user rule's name and every name of the built-in table.
constexpr int kMaxRuleNames = kMaxUserRules + 256;
// Built-in names ending in '*' match every class that starts with the rest (toolkits put versions and process
// names into their class names).
constexpr int kMaxRulePrefixes = 16;

struct UserRule
{
    RuleKind m_kind = RuleKind::Program;
    const char* m_name = "";
    RuleSettings m_settings;
};

// What applies to one window.
struct RuleResolution
{
    RuleSettings m_settings;                  // the keys of every level that matched, nearest first
    RuleSource m_source = RuleSource::Global; // the nearest level that set a key
    int m_rule = -1;       // that level's user rule or built-in entry; -1 for Global and Excluded
    int m_chainIndex = -1; // for a class rule, which window of the chain it names (0: the window itself)
    int m_builtIn = -1;    // the built-in entry that set a key, for its reason; -1 when none did
};

// The global settings with a window's rules laid over them.
struct AppliedRule
{
    HookSettings m_settings;
    ScrollMode m_scroll = ScrollMode::Route;
    SidewaysMethod m_sideways = SidewaysMethod::HWheel;
};

AppliedRule ApplyRule(const HookSettings& global, const RuleSettings& rule);

// Scroll=off, Scroll=system and a sideways method of its own as the decision core knows them: the exclusions are
// a level of the rules, so a user's rule for the program or class overrides them.
void MarkTarget(const AppliedRule& applied, TargetFacts& target);

class RuleBook
{
  public:
    RuleBook();

    // False when the book is full or the name is empty; a second rule for the same name replaces the first.
    bool AddUserRule(RuleKind kind, const char* name, const RuleSettings& settings);
    int UserRuleCount() const { return m_userCount; }
    UserRule UserRuleAt(int index) const;

    // classes: the chain from the window under the pointer (index 0) to its top-level window; program: the
    // program's file name or full path, "" when unknown; excluded: the [router] lists name it.
    RuleResolution Resolve(const char* program, const char* const* classes, int count, bool excluded) const;

  private:
    struct Name
    {
        std::uint32_t m_hash;
        std::uint16_t m_rule;
        std::uint8_t m_length;
        std::uint8_t m_level; // a RuleSource
        // m_length characters, not zero-terminated: a built-in name in the table, a user's at m_offset in m_text
        // (an offset, so that a copied book still finds its names).
        const char* m_builtInText;
        std::uint16_t m_offset;
    };

    bool AddName(RuleSource level, int rule, const char* text, int length);
    // The first rule of this level named text, or -1.
    int Find(RuleSource level, const char* text) const;
    const RuleSettings& SettingsOf(RuleSource level, int rule) const;
    const char* TextOf(const Name& name) const;

    char m_text[kUserRuleTextBytes];
    int m_textUsed = 0;
    RuleSettings m_userSettings[kMaxUserRules];
    std::uint16_t m_userName[kMaxUserRules]; // offset of each user rule's name in m_text
    RuleKind m_userKind[kMaxUserRules];
    int m_userCount = 0;
    Name m_names[kMaxRuleNames];
    int m_nameCount = 0;
    Name m_prefixes[kMaxRulePrefixes];
    int m_prefixCount = 0;
};
