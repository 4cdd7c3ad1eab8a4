// The editor's pure rules: reading values as the program does, the lines field, the keys a save
// writes and the control codes that follow.
#include "dialog_font.h"
#include "lines_field.h"
#include "settings_form.h"
#include "stack_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    // Numbers are written whole at both ends of their range.
    EncodeSetting(kLinesToScroll, -2147483647 - 1, text);
    EXPECT_STREQ(text, "-2147483648");
    EncodeSetting(kLinesToScroll, -7, text);
    EXPECT_STREQ(text, "-7");
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
        const ControlCodes codes = CodesAfterSave(changes, count, 0);
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
    EXPECT_EQ(CodesAfterSave(nullptr, 0, 0).count, 0);
    const SettingsForm saved = Defaults();
    SettingsForm edited = saved;
    edited.values[kConvertToScroll] = 1;
    edited.values[kReverseScroll] = 1;
    edited.values[kHideTrayIcon] = 1;
    SettingChange changes[kSettingCount];
    const ControlCodes codes = CodesAfterSave(changes, FindChanges(saved, edited, changes), 0);
    ASSERT_EQ(codes.count, 2);
    EXPECT_EQ(codes.codes[0], 1u);
    EXPECT_EQ(codes.codes[1], 2u);
    // Only the keys actually written count: a failure after the first hook-free key sends a reload alone.
    SettingChange onlyTray[1] = {{kHideTrayIcon, "1"}};
    EXPECT_EQ(CodesAfterSave(onlyTray, 1, 0).count, 1);
}

// Rows of a small dialog: a row outside groups, a group of three rows (the middle one indented), the buttons.
struct StackCase
{
    std::vector<StackItem> items;
    int height;
};

StackMetrics Metrics()
{
    // width, margin, group top, group inset, row gap, indent
    return StackMetrics{300, 10, 20, 6, 4, 15};
}

StackItem Row(int height, int indent = 0, bool shown = true)
{
    return StackItem{kStackRow, indent, height, shown, {}, false};
}

StackItem Beside(int height)
{
    return StackItem{kStackRow, 0, height, true, {}, true};
}

StackItem Group()
{
    return StackItem{kStackGroup, 0, 0, false, {}, false};
}

StackItem GroupEnd()
{
    return StackItem{kStackGroupEnd, 0, 0, false, {}, false};
}

TEST(EditorLayout, RowsStackInsideTheirGroupBoxWithIndentAndGaps)
{
    std::vector<StackItem> items = {Group(), Row(10), Row(12, 1), Row(26), GroupEnd(), Row(14)};
    const int height = StackItems(Metrics(), items.data(), static_cast<int>(items.size()));

    // The group box: from the margin, full width; its first row below the caption room, inset from its sides.
    EXPECT_EQ(items[0].box.left, 10);
    EXPECT_EQ(items[0].box.top, 10);
    EXPECT_EQ(items[0].box.width, 280);
    EXPECT_EQ(items[1].box.left, 16);
    EXPECT_EQ(items[1].box.top, 30);
    EXPECT_EQ(items[1].box.width, 268);
    // Indented by one step, ending at the same right edge.
    EXPECT_EQ(items[2].box.left, 31);
    EXPECT_EQ(items[2].box.top, 44);
    EXPECT_EQ(items[2].box.width, 253);
    EXPECT_EQ(items[3].box.top, 60);
    EXPECT_EQ(items[3].box.height, 26);
    // The box closes below its last row; the next row stands a margin below it, outside, full width.
    EXPECT_EQ(items[0].box.height, 86 + 6 - 10);
    EXPECT_EQ(items[5].box.left, 10);
    EXPECT_EQ(items[5].box.top, 92 + 10);
    EXPECT_EQ(items[5].box.width, 280);
    EXPECT_EQ(height, 116 + 10);
}

TEST(EditorLayout, AHiddenRowLeavesNoGapAndShowingItPushesTheRestDown)
{
    std::vector<StackItem> items = {Group(), Row(10), Row(8, 1, false), Row(10), GroupEnd(), Row(14)};
    const int without = StackItems(Metrics(), items.data(), static_cast<int>(items.size()));
    EXPECT_EQ(items[2].box.width, 0);
    EXPECT_EQ(items[2].box.height, 0);
    EXPECT_EQ(items[3].box.top, items[1].box.top + 10 + 4) << "one gap, as if the row were not there";

    items[2].shown = true;
    const int with = StackItems(Metrics(), items.data(), static_cast<int>(items.size()));
    EXPECT_EQ(items[2].box.top, items[1].box.top + 10 + 4);
    EXPECT_EQ(items[3].box.top, items[2].box.top + 8 + 4);
    EXPECT_EQ(with - without, 8 + 4) << "the row and one gap";
}

TEST(EditorLayout, ARowBesideTheOneBeforeSharesItsWidthAndItsLineIsAsTallAsTheTaller)
{
    // Group rows span 16 to 284: 268 wide, 4 of it the gap between the two.
    std::vector<StackItem> items = {Group(), Row(10), Row(20), Beside(30), Row(12), Beside(6), GroupEnd()};
    StackItems(Metrics(), items.data(), static_cast<int>(items.size()));
    EXPECT_EQ(items[1].box.width, 268) << "a row on its own keeps its width";
    EXPECT_EQ(items[2].box.left, 16);
    EXPECT_EQ(items[2].box.width, 132);
    EXPECT_EQ(items[3].box.left, 16 + 132 + 4);
    EXPECT_EQ(items[3].box.width, 132);
    EXPECT_EQ(items[3].box.top, items[2].box.top);
    EXPECT_EQ(items[3].box.height, 30);
    EXPECT_EQ(items[4].box.top, items[2].box.top + 30 + 4) << "the next row goes below the taller of the two";
    EXPECT_EQ(items[5].box.top, items[4].box.top);
    EXPECT_EQ(items[0].box.height, items[4].box.top + 12 + 6 - items[0].box.top)
        << "the shorter right row adds nothing";

    // A row beside nothing (the first in its group) stands on its own line, full width.
    std::vector<StackItem> alone = {Group(), Beside(10), GroupEnd()};
    StackItems(Metrics(), alone.data(), static_cast<int>(alone.size()));
    EXPECT_EQ(alone[1].box.left, 16);
    EXPECT_EQ(alone[1].box.width, 268);
}

// An extended dialog template as the resource compiler writes it: header, no menu, a class by ordinal, the
// title "Ab", the font, then one item on a 4-byte boundary.
std::vector<unsigned char> Template(const char16_t* face)
{
    std::vector<unsigned char> bytes;
    auto word = [&](unsigned value) {
        bytes.push_back(static_cast<unsigned char>(value & 0xFF));
        bytes.push_back(static_cast<unsigned char>(value >> 8));
    };
    word(1);
    word(0xFFFF);
    for (int i = 0; i < 4; ++i) {
        word(0); // help id, extended style
    }
    word(0x00C8 | 0x40); // style, low word: DS_SETFONT among others
    word(0x80C8);
    word(1); // one item
    for (const unsigned value : {0u, 0u, 276u, 200u}) {
        word(value);
    }
    word(0); // no menu
    word(0xFFFF);
    word(0x8002); // a class by ordinal
    word('A');
    word('b');
    word(0);
    word(8);   // points
    word(400); // weight
    bytes.push_back(0);
    bytes.push_back(1);
    for (const char16_t* c = face; *c != 0; ++c) {
        word(*c);
    }
    word(0);
    bytes.resize((bytes.size() + 3) / 4 * 4, 0);
    for (int i = 0; i < 12; ++i) {
        bytes.push_back(static_cast<unsigned char>(0xA0 + i)); // the item, copied as it is
    }
    return bytes;
}

TEST(EditorFont, TheTemplatesFontIsReplacedAndTheItemsFollowOnTheirBoundary)
{
    for (const char16_t* original : {u"MS Shell Dlg", u"Tahoma", u"X"}) {
        for (const char16_t* face : {u"Segoe UI", u"Meiryo UI", u"Ab", u"MS Shell Dlg 2"}) {
            const std::vector<unsigned char> source = Template(original);
            const std::vector<unsigned char> expected = Template(face);
            std::vector<unsigned char> patched(source.size() + 64);
            patched.resize(WithDialogFont(source.data(), source.size(), DialogFont{9, 400, false, 1, face},
                                          patched.data(), patched.size()));
            ASSERT_EQ(patched.size(), expected.size());
            // Exactly the room it needs is enough; a byte less is refused.
            std::vector<unsigned char> tight(expected.size());
            EXPECT_EQ(WithDialogFont(source.data(), source.size(), DialogFont{9, 400, false, 1, face}, tight.data(),
                                     tight.size()),
                      expected.size());
            EXPECT_EQ(WithDialogFont(source.data(), source.size(), DialogFont{9, 400, false, 1, face}, tight.data(),
                                     tight.size() - 1),
                      0u);
            // Only the point size differs from a template that named the new face at 8 pt.
            const size_t pointSize = 26 + 2 + 4 + 6;
            EXPECT_EQ(patched[pointSize], 9);
            patched[pointSize] = 8;
            EXPECT_EQ(patched, expected);
        }
    }
}

TEST(EditorFont, PointSizesFromTheSystemsPixelHeights)
{
    EXPECT_EQ(PointSizeOf(-12, 96), 9);  // Segoe UI 9 pt at 100%
    EXPECT_EQ(PointSizeOf(-15, 120), 9); // at 125%
    EXPECT_EQ(PointSizeOf(-18, 144), 9); // at 150%
    EXPECT_EQ(PointSizeOf(-11, 96), 8);  // Tahoma 8 pt (8.25)
    EXPECT_EQ(PointSizeOf(12, 96), 0) << "a cell height is no character height";
    EXPECT_EQ(PointSizeOf(-12, 0), 0);
}

} // namespace
