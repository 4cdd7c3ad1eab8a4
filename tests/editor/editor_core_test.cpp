// The editor's pure rules: reading values as the program does, the lines field, the keys a save
// writes and the control codes that follow.
#include "lines_field.h"
#include "settings_form.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SettingsForm Defaults()
{
    SettingsForm form = {};
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingKey key = static_cast<SettingKey>(i);
        form.values[i] = DecodeSetting(key, InfoOf(key).defaultText);
    }
    return form;
}

TEST(EditorValues, SwitchesAreOnOnlyForTheirExactOnWord)
{
    const struct
    {
        SettingKey key;
        const char* text;
        int expected;
    } cases[] = {
        {kConvertToScroll, "TRUE", 1}, {kConvertToScroll, "true", 0},  {kConvertToScroll, "True", 0},
        {kConvertToScroll, "1", 0},    {kConvertToScroll, "TRUE ", 0}, {kConvertToScroll, "", 0},
        {kReverseScroll, "1", 1},      {kReverseScroll, "TRUE", 0},    {kReverseScroll, "2", 0},
        {kReverseScroll, "01", 0},     {kHideTrayIcon, "1", 1},        {kRunAsAdmin, "yes", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeSetting(c.key, c.text), c.expected) << InfoOf(c.key).name << "=" << c.text;
    }
}

TEST(EditorValues, LinesFollowTheProgramsConversionAndFallBackToThree)
{
    const struct
    {
        const char* text;
        int expected;
    } cases[] = {
        {"5", 5},  {"12", 12}, {"7 lines", 7}, {"+4", 4},    {"0", 3},
        {"-4", 3}, {"abc", 3}, {"", 3},        {"500", 500}, {"99999999999", 2147483647},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeSetting(kLinesToScroll, c.text), c.expected) << c.text;
    }
}

TEST(EditorValues, DefaultsAreAllOffWithThreeLines)
{
    const SettingsForm form = Defaults();
    for (int i = 0; i < kSettingCount; ++i) {
        EXPECT_EQ(form.values[i], i == kLinesToScroll ? 3 : 0) << InfoOf(static_cast<SettingKey>(i)).name;
    }
}

TEST(EditorValues, EncodedTextsReadBackAsTheSameValue)
{
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingKey key = static_cast<SettingKey>(i);
        for (const int value : {0, 1, 2, 100, 2147483647}) {
            const bool isSwitch = InfoOf(key).kind != kWholeNumber;
            if (isSwitch ? value > 1 : value < 1) {
                continue;
            }
            char text[kSettingTextSize];
            EncodeSetting(key, value, text);
            EXPECT_EQ(DecodeSetting(key, text), value) << InfoOf(key).name << " " << value << " as " << text;
        }
    }
    char text[kSettingTextSize];
    EncodeSetting(kConvertToScroll, 0, text);
    EXPECT_STREQ(text, "FALSE");
    EncodeSetting(kActivateWindows, 1, text);
    EXPECT_STREQ(text, "1");
}

TEST(EditorLinesField, AcceptsOneToHundredAndRefusesTheRest)
{
    const struct
    {
        const char* text;
        LinesFieldStatus status;
        int lines;
    } cases[] = {
        {"1", kLinesAccepted, 1},        {"100", kLinesAccepted, 100},         {" 42 ", kLinesAccepted, 42},
        {"007", kLinesAccepted, 7},      {"0", kLinesOutOfRange, 0},           {"101", kLinesOutOfRange, 0},
        {"500", kLinesOutOfRange, 0},    {"99999999999", kLinesOutOfRange, 0}, {"", kLinesEmpty, 0},
        {"   ", kLinesEmpty, 0},         {"abc", kLinesNotWholeNumber, 0},     {"-2", kLinesNotWholeNumber, 0},
        {"+5", kLinesNotWholeNumber, 0}, {"5 lines", kLinesNotWholeNumber, 0}, {"2.5", kLinesNotWholeNumber, 0},
    };
    for (const auto& c : cases) {
        const LinesFieldResult result = ParseLinesField(c.text, 3);
        EXPECT_EQ(result.status, c.status) << "'" << c.text << "'";
        if (c.status == kLinesAccepted) {
            EXPECT_EQ(result.lines, c.lines) << "'" << c.text << "'";
        }
    }
}

TEST(EditorLinesField, AnUntouchedOutOfRangeValueFromTheFileDoesNotBlockSaving)
{
    EXPECT_EQ(ParseLinesField("500", 500).status, kLinesAccepted);
    EXPECT_EQ(ParseLinesField("2147483647", 2147483647).lines, 2147483647);
    EXPECT_EQ(ParseLinesField("501", 500).status, kLinesOutOfRange) << "a new out-of-range value is still refused";
}

TEST(EditorSave, FindChangesListsOnlyChangedKeysInOrderWithTheirNewText)
{
    const SettingsForm saved = Defaults();
    SettingsForm edited = saved;
    SettingChange changes[kSettingCount];
    EXPECT_EQ(FindChanges(saved, edited, changes), 0);

    edited.values[kRehook] = 1;
    edited.values[kConvertToScroll] = 1;
    edited.values[kLinesToScroll] = 12;
    ASSERT_EQ(FindChanges(saved, edited, changes), 3);
    EXPECT_EQ(changes[0].key, kConvertToScroll);
    EXPECT_STREQ(changes[0].text, "TRUE");
    EXPECT_EQ(changes[1].key, kLinesToScroll);
    EXPECT_STREQ(changes[1].text, "12");
    EXPECT_EQ(changes[2].key, kRehook);
    EXPECT_STREQ(changes[2].text, "1");

    // Turning a switch off is a change too, written as its off word.
    SettingsForm on = saved;
    on.values[kConvertToScroll] = 1;
    ASSERT_EQ(FindChanges(on, saved, changes), 1);
    EXPECT_STREQ(changes[0].text, "FALSE");
}

TEST(EditorSave, ReloadAfterEverySaveAndHookRestartOnlyForHookSettings)
{
    const SettingsForm saved = Defaults();
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingKey key = static_cast<SettingKey>(i);
        SettingsForm edited = saved;
        edited.values[i] = key == kLinesToScroll ? 9 : 1;
        SettingChange changes[kSettingCount];
        const int count = FindChanges(saved, edited, changes);
        const ControlCodes codes = CodesAfterSave(changes, count);
        const bool hook =
            key == kConvertToScroll || key == kLinesToScroll || key == kActivateWindows || key == kReverseScroll;
        ASSERT_EQ(codes.count, hook ? 2 : 1) << InfoOf(key).name;
        EXPECT_EQ(codes.codes[0], 1u);
        if (hook) {
            EXPECT_EQ(codes.codes[1], 2u);
        }
    }
}

TEST(EditorSave, NothingWrittenSendsNothingAndOneRestartCoversManyHookKeys)
{
    EXPECT_EQ(CodesAfterSave(nullptr, 0).count, 0);
    const SettingsForm saved = Defaults();
    SettingsForm edited = saved;
    edited.values[kConvertToScroll] = 1;
    edited.values[kReverseScroll] = 1;
    edited.values[kHideTrayIcon] = 1;
    SettingChange changes[kSettingCount];
    const ControlCodes codes = CodesAfterSave(changes, FindChanges(saved, edited, changes));
    ASSERT_EQ(codes.count, 2);
    EXPECT_EQ(codes.codes[0], 1u);
    EXPECT_EQ(codes.codes[1], 2u);
    // Only the keys actually written count: a failure after the first hook-free key sends a reload alone.
    SettingChange onlyTray[1] = {{kHideTrayIcon, "1"}};
    EXPECT_EQ(CodesAfterSave(onlyTray, 1).count, 1);
}

} // namespace
