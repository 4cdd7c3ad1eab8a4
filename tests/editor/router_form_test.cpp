// The router's settings in the editor: lists compared as the router reads them, the keys a save writes, and what
// the hook library's own parser makes of them; the start-up entry's command; the rows that follow a switch.
#include "router_form.h"
#include "run_command.h"
#include "settings_form.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SettingText Present(const char* text)
{
    SettingText setting;
    setting.m_present = true;
    setting.m_text = text;
    return setting;
}

RouterForm FormOf(const RouterSettingTexts& texts)
{
    RouterSettings settings;
    ParseRouterSettings(texts, settings);
    RouterForm form = {};
    RouterFormFrom(settings, form);
    return form;
}

std::string Canonical(const char* fieldText)
{
    char canonical[kCanonicalListSize];
    CanonicalNames(fieldText, canonical);
    return canonical;
}

std::string Lines(const char* canonical)
{
    char lines[2 * kCanonicalListSize];
    NamesAsLines(canonical, lines, sizeof(lines));
    return lines;
}

// The form a user leaves untouched: each list as its field shows it, read back.
RouterForm AsShownAndReadBack(const RouterForm& form)
{
    RouterForm shown = form;
    CanonicalNames(Lines(form.programs).c_str(), shown.programs);
    CanonicalNames(Lines(form.classes).c_str(), shown.classes);
    return shown;
}

TEST(RouterForm, AbsentKeysShowTheDefaultsAndLeftAloneWriteNothing)
{
    const RouterForm saved = FormOf(RouterSettingTexts());
    EXPECT_STREQ(saved.programs, kDefaultExcludedPrograms);
    EXPECT_STREQ(saved.classes, "");
    EXPECT_FALSE(saved.shiftScrollsSideways);
    EXPECT_EQ(saved.reverseAxes, ReverseAxes::Both);
    EXPECT_EQ(Lines(saved.programs), "mstsc.exe\r\nmsrdc.exe\r\nosk.exe");

    RouterChange changes[kRouterKeyCount];
    EXPECT_EQ(FindRouterChanges(saved, AsShownAndReadBack(saved), changes), 0);
}

TEST(RouterForm, ListFieldsReadAsTheRouterReadsTheirNames)
{
    const struct
    {
        const char* field;
        const char* canonical;
    } cases[] = {
        {"", ""},
        {"\r\n \r\n", ""},
        {"a.exe\r\n\r\n  b.exe  \r\n", "a.exe;b.exe"},
        {"a.exe;b.exe\r\nc.exe", "a.exe;b.exe;c.exe"}, // a line holding ';' is several names
        {"a.exe\nb.exe\rc.exe", "a.exe;b.exe;c.exe"},  // any line break
        {"C:\\Games\\Game.EXE\r\n", "Game.EXE"},
        {"one name with blanks.exe", "one name with blanks.exe"},
        {";;", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Canonical(c.field), c.canonical) << "'" << c.field << "'";
        EXPECT_EQ(Canonical(Lines(c.canonical).c_str()), c.canonical) << "shown and read back: " << c.canonical;
    }
    // A field longer than the editor reads loses only its partial last name.
    EXPECT_EQ(Canonical(("a.exe;" + std::string(kListFieldMaxChars, 'x')).c_str()), "a.exe");
}

TEST(RouterForm, OnlyTheChangedKeysAreWrittenInTheirOrderAndTheRouterReadsThemBack)
{
    const RouterForm saved = FormOf(RouterSettingTexts());
    RouterChange changes[kRouterKeyCount];

    RouterForm edited = saved;
    CanonicalNames("", edited.programs); // cleared: an empty value, which excludes nothing
    edited.reverseAxes = ReverseAxes::Horizontal;
    ASSERT_EQ(FindRouterChanges(saved, edited, changes), 2);
    EXPECT_EQ(changes[0].key, kExcludedPrograms);
    EXPECT_STREQ(changes[0].text, "");
    EXPECT_EQ(changes[1].key, kReverseAxes);
    EXPECT_STREQ(changes[1].text, "horizontal");

    edited = saved;
    CanonicalNames("MSTSC.exe\r\nmsrdc.exe\r\nosk.exe", edited.programs);
    ASSERT_EQ(FindRouterChanges(saved, edited, changes), 1) << "a change of case is the user's choice to write";

    // Every value the editor can write reads back as itself through the library's parser.
    for (const ReverseAxes axes : {ReverseAxes::Both, ReverseAxes::Vertical, ReverseAxes::Horizontal}) {
        const bool sideways = axes != ReverseAxes::Vertical;
        RouterForm before = saved;
        before.shiftScrollsSideways = !sideways;
        before.reverseAxes = axes == ReverseAxes::Both ? ReverseAxes::Vertical : ReverseAxes::Both;
        SmoothSettings smooth;
        smooth.m_smoothScroll = !sideways;
        smooth.m_acceleration = !sideways;
        SmoothFormFrom(smooth, before);
        edited = saved;
        edited.shiftScrollsSideways = sideways;
        edited.reverseAxes = axes;
        smooth.m_smoothScroll = sideways;
        smooth.m_acceleration = sideways;
        smooth.m_durationMs = sideways ? 2000 : 75; // held to the range as the field is read
        SmoothFormFrom(smooth, edited);
        CanonicalNames("a.exe\r\nb c.exe", edited.programs);
        CanonicalNames("Class One;Two", edited.classes);
        ASSERT_EQ(FindRouterChanges(before, edited, changes), kRouterKeyCount);
        RouterSettingTexts texts;
        SettingText* byKey[kRouterKeyCount] = {&texts.m_excludedPrograms, &texts.m_excludedClasses,
                                               &texts.m_shiftScrollsSideways, &texts.m_reverseAxes};
        const char* smoothTexts[3] = {};
        for (const RouterChange& change : changes) {
            if (change.key >= kSmoothScroll) {
                smoothTexts[change.key - kSmoothScroll] = change.text;
            } else {
                *byKey[change.key] = Present(change.text);
            }
        }
        RouterForm read = FormOf(texts);
        SmoothFormFrom(ParseSmoothSettings(smoothTexts[0], smoothTexts[1], smoothTexts[2]), read);
        EXPECT_EQ(read.smooth.m_smoothScroll, sideways);
        EXPECT_EQ(read.smooth.m_acceleration, sideways);
        EXPECT_EQ(read.smooth.m_durationMs, sideways ? kMaxSmoothDurationMs : 75);
        EXPECT_STREQ(read.programs, edited.programs);
        EXPECT_STREQ(read.classes, edited.classes);
        EXPECT_EQ(read.shiftScrollsSideways, sideways);
        EXPECT_EQ(read.reverseAxes, axes);
    }
}

TEST(RouterForm, ThePickedProgramGoesOnALineOfItsOwnUnlessTheFieldNamesIt)
{
    const struct
    {
        const char* field;
        const char* name;
        const char* expected; // null: nothing added
    } cases[] = {
        {"", "notepad.exe", "notepad.exe"},
        {"osk.exe", "notepad.exe", "osk.exe\r\nnotepad.exe"},
        {"osk.exe\r\n", "notepad.exe", "osk.exe\r\nnotepad.exe"},
        {"osk.exe  ", "notepad.exe", "osk.exe  \r\nnotepad.exe"},
        {"osk.exe\r\nNOTEPAD.EXE", "notepad.exe", nullptr},
        {"osk.exe; notepad.exe", "notepad.exe", nullptr}, // on a line with another name
        {"C:\\Windows\\notepad.exe", "notepad.exe", nullptr},
        {"osk.exe", "", nullptr},
        {"osk.exe", "odd;name.exe", nullptr}, // the router would read two names, neither of them this one
    };
    for (const auto& c : cases) {
        char out[64] = "unchanged";
        EXPECT_EQ(WithNameAdded(c.field, c.name, out, sizeof(out)), c.expected != nullptr)
            << c.field << " + " << c.name;
        EXPECT_STREQ(out, c.expected != nullptr ? c.expected : "unchanged") << c.field << " + " << c.name;
    }
    // osk.exe, CR LF, a.exe and the terminator: 15 bytes.
    char out[15];
    EXPECT_FALSE(WithNameAdded("osk.exe", "a.exe", out, 14));
    EXPECT_TRUE(WithNameAdded("osk.exe", "a.exe", out, 15));
}

TEST(RouterForm, ARouterKeyRestartsTheHookWithoutAReloadOfTheProgramsOwnKeys)
{
    const SettingChange tray[1] = {{kHideTrayIcon, "1"}};
    const ControlCodes routerOnly = CodesAfterSave(nullptr, 0, 1);
    ASSERT_EQ(routerOnly.count, 1);
    EXPECT_EQ(routerOnly.codes[0], kEnableHookCode);
    const ControlCodes both = CodesAfterSave(tray, 1, 2);
    ASSERT_EQ(both.count, 2);
    EXPECT_EQ(both.codes[0], kReloadSettingsCode);
    EXPECT_EQ(both.codes[1], kEnableHookCode);
    EXPECT_EQ(CodesAfterSave(tray, 1, 0).count, 1);
}

TEST(RouterForm, TheChoiceOfWheelsFollowsReverseAndTheLinesFollowConvert)
{
    for (int reverse = 0; reverse <= 1; ++reverse) {
        for (int convert = 0; convert <= 1; ++convert) {
            SettingsForm form = {};
            for (int& value : form.values) {
                value = 1; // every other switch on: only the one the row hangs on counts
            }
            form.values[kReverseScroll] = reverse;
            form.values[kConvertToScroll] = convert;
            EXPECT_EQ(DependentApplies(kReversedWheels, form), reverse == 1) << reverse << convert;
            EXPECT_EQ(DependentApplies(kLinesPerNotch, form), convert == 1) << reverse << convert;
        }
    }
}

TEST(RunEntry, TheCommandIsTheQuotedPath)
{
    char command[64];
    ASSERT_TRUE(RunCommandFor("C:\\Tools\\My Rollix\\RollixPortable.exe", command, sizeof(command)));
    EXPECT_STREQ(command, "\"C:\\Tools\\My Rollix\\RollixPortable.exe\"");
    EXPECT_TRUE(RunCommandStarts(command, "C:\\Tools\\My Rollix\\RollixPortable.exe"));
    char tight[11]; // the path, two quotes and the terminator
    EXPECT_FALSE(RunCommandFor("C:\\a.exe", tight, sizeof(tight) - 1));
    EXPECT_TRUE(RunCommandFor("C:\\a.exe", tight, sizeof(tight)));
    EXPECT_FALSE(RunCommandFor("", command, sizeof(command)));
}

TEST(RunEntry, ACommandStartsThisCopyWhenItsProgramIsThisPath)
{
    const char* const path = "C:\\Tools\\My Rollix\\RollixPortable.exe";
    const struct
    {
        const char* command;
        bool starts;
    } cases[] = {
        {"\"C:\\Tools\\My Rollix\\RollixPortable.exe\"", true},
        {"  \"c:\\tools\\my rollix\\ROLLIXPORTABLE.EXE\"", true},
        {"\"C:/Tools/My Rollix/RollixPortable.exe\" /noadmin", true},
        {"\"C:\\Tools\\My Rollix\\RollixPortable.exe", true}, // the system reads an unclosed quote to the end
        {"C:\\Tools\\My Rollix\\RollixPortable.exe", true},
        {"C:\\Tools\\My Rollix\\RollixPortable.exe -close", true},
        {"\"D:\\Other\\RollixPortable.exe\"", false},
        {"\"C:\\Tools\\My Rollix\\RollixPortable.exe.bak\"", false},
        {"C:\\Tools\\My Rollix\\RollixPortable.exe2", false},
        {"\"C:\\Tools\\My Rollix\\RollixPortable\"", false},
        {"\"\"", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunCommandStarts(c.command, path), c.starts) << c.command;
    }
    EXPECT_FALSE(RunCommandStarts("\"\"", ""));
}

} // namespace
