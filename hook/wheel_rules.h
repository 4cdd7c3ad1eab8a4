// Rules for one program or one window class: the user's own, in sections of rollix.ini, and the built-in
// compatibility table under them. Plain C++: the editor and the host tests use it as the library does.
#pragma once

#include <cstdint>

// Every key of a rule may be absent: Inherit takes the level below (the built-in table, then the global settings).
// A value that cannot be understood is treated as absent.
enum class ScrollMode : std::uint8_t
{
    Inherit,
    Route,  // post to the window under the pointer
    System, // leave the plain event to the system's own delivery; reverse and Shift-sideways still act
    Off,    // leave the wheel entirely alone
};

// How a horizontal notch (tilt, or Shift-sideways) reaches a program.
enum class SidewaysMethod : std::uint8_t
{
    Inherit,
    HWheel,     // WM_MOUSEHWHEEL
    HScroll,    // WM_HSCROLL lines, for programs that ignore WM_MOUSEHWHEEL
    ShiftWheel, // WM_MOUSEWHEEL with MK_SHIFT, for toolkits that scroll sideways on Shift+wheel
};

enum class RuleSwitch : std::uint8_t
{
    Inherit,
    Off,
    On,
};

enum class RuleAxes : std::uint8_t
{
    Inherit,
    Both,
    Vertical,
    Horizontal,
};

constexpr int kMinRuleLines = 1;
constexpr int kMaxRuleLines = 100;

struct RuleSettings
{
    ScrollMode m_scroll = ScrollMode::Inherit;
    RuleSwitch m_reverseScroll = RuleSwitch::Inherit;
    RuleAxes m_reverseAxes = RuleAxes::Inherit;
    RuleSwitch m_convertToScroll = RuleSwitch::Inherit;
    std::uint8_t m_linesToScroll = 0; // kMinRuleLines to kMaxRuleLines; 0 inherits
    RuleSwitch m_shiftScrollsSideways = RuleSwitch::Inherit;
    RuleSwitch m_activateWindows = RuleSwitch::Inherit;
    SidewaysMethod m_sideways = SidewaysMethod::Inherit;
    RuleSwitch m_smoothScroll = RuleSwitch::Inherit;
};

bool operator==(const RuleSettings& a, const RuleSettings& b);
inline bool operator!=(const RuleSettings& a, const RuleSettings& b)
{
    return !(a == b);
}
// No key set: the rule changes nothing.
bool IsEmptyRule(const RuleSettings& settings);

// The keys of a rule section, in the order the editor shows and writes them.
enum class RuleKey
{
    Scroll,
    ReverseScroll,
    ReverseAxes,
    ConvertToScroll,
    LinesToScroll,
    ShiftScrollsSideways,
    ActivateWindows,
    Sideways,
    SmoothScroll,
};
constexpr int kRuleKeyCount = 9;

// "Scroll", "ReverseScroll", ...
const char* RuleKeyName(RuleKey key);
// The words a key takes, in the order of its enum after Inherit: Scroll "route", "system", "off"; the switches "0",
// "1" (Off, On); ReverseAxes "both", "vertical", "horizontal"; Sideways "hwheel", "hscroll", "shiftwheel".
// LinesToScroll takes a number and has no words (count 0). index outside 0 to count - 1 gives "".
int RuleValueWordCount(RuleKey key);
const char* RuleValueWord(RuleKey key, int index);

// Sets one key from its text as the profile functions gave it: nullptr (absent), an empty text or garbage give
// Inherit. Words compare without regard to case, blanks around them ignored.
void ParseRuleKey(RuleSettings& settings, RuleKey key, const char* text);

// Room for any key's text, its terminating zero included.
constexpr int kRuleValueSize = 12;
// The key's text as the editor writes it, in buffer; "" for Inherit, when the key is to be removed.
const char* FormatRuleKey(const RuleSettings& settings, RuleKey key, char (&buffer)[kRuleValueSize]);

enum class RuleKind : std::uint8_t
{
    Program, // [program NAME.exe]: a program's file name
    Class,   // [class CLASSNAME]: a window class, matched anywhere on the chain up to the top-level window
};

// A program's file name or a class name; longer names are never matched.
constexpr int kRuleNameSize = 260;
// "program " and a name.
constexpr int kRuleSectionSize = kRuleNameSize + 8;

struct RuleTarget
{
    RuleKind m_kind = RuleKind::Program;
    char m_name[kRuleNameSize] = "";
};

// A section name as the profile functions list it, without brackets: "program NAME.exe" or "class CLASSNAME", the
// word in any case, blanks around the name ignored. False for every other section ([config], [router]) and for an
// empty or too long name.
bool ParseRuleSection(const char* section, RuleTarget& target);
// "program NAME.exe" or "class CLASSNAME"; false (and "") for an empty name, a name too long or one with a bracket
// or a line break, which no section could hold.
bool FormatRuleSection(const RuleTarget& target, char (&section)[kRuleSectionSize]);

// Where the settings for a window came from. The values are fixed: the inspector hands them on as numbers. The
// order of the levels is UserClass, UserProgram, Excluded, BuiltInProgram, BuiltInClass, Global.
enum class RuleSource : std::uint8_t
{
    Global,         // [config] and [router] alone
    UserClass,      // the user's [class ...] rule for a window on the chain
    UserProgram,    // the user's [program ...] rule
    BuiltInClass,   // a built-in entry that names a class on the chain
    BuiltInProgram, // a built-in entry that names the program
    Excluded,       // [router] ExcludedPrograms or ExcludedClasses: Scroll=off
};

// One entry of the built-in compatibility table.
struct BuiltInRule
{
    const char* m_application; // "Microsoft Excel"
    const char* m_programs;    // program file names separated by semicolons, or ""
    const char* m_classes;     // window class names separated by semicolons, or ""
    RuleSettings m_settings;
    const char* m_reason; // one line
    const char* m_source; // the document or public issue thread it rests on
};

int BuiltInRuleCount();
// index from 0 to BuiltInRuleCount() - 1.
const BuiltInRule& BuiltInRuleAt(int index);

// Room for a decision's one line.
constexpr int kDecisionTextSize = 256;
// What a rule's keys do to a notch, in one line: "left to Windows", "left alone", "posted; sideways as WM_HSCROLL",
// ... Keys the rule inherits are not mentioned.
void DescribeRuleSettings(const RuleSettings& settings, char (&text)[kDecisionTextSize]);

// A rule section's keys as GetPrivateProfileSection gives them: "Key=value" texts, each ended by a zero, the last
// by two. Keys compare without regard to case; unknown keys and lines without "=" are ignored.
RuleSettings ParseRuleSectionText(const char* pairs);
