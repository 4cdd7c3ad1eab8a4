// Reading menu templates: entry prefixes, radio groups, sub-menu nesting and depth-first item numbering.
#include "menu_template.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

struct Item
{
    MenuEntry entry;
    std::string text;
    int parentIndex; // item index of the item whose sub-menu holds it; -1 on the top level
};

// Records the walk; an item's context is its own record (a deque keeps the addresses).
class RecordingSink final : public MenuTemplateSink
{
public:
    std::deque<Item> items;
    int topLevel = 0;
    void* AddMenuEntry(void* parent, const MenuEntry& entry) override
    {
        items.push_back(
            Item{entry, entry.Text, parent == &topLevel ? -1 : static_cast<Item*>(parent)->entry.ItemIndex});
        return &items.back();
    }
};

struct Walk
{
    std::vector<std::string> texts;
    std::vector<int> groups;
    std::vector<int> parents;
    std::deque<Item> items;
    int next; // first entry not taken
};

Walk WalkAll(const std::vector<const char*>& texts)
{
    RecordingSink sink;
    Walk walk{};
    walk.next = WalkMenuTemplate(texts.data(), 0, static_cast<int>(texts.size()) - 1, &sink.topLevel, sink);
    for (const Item& item : sink.items) {
        walk.texts.push_back(item.text);
        walk.groups.push_back(item.entry.RadioGroup);
        walk.parents.push_back(item.parentIndex);
    }
    walk.items = sink.items;
    return walk;
}

using Texts = std::vector<std::string>;
using Ints = std::vector<int>;

TEST(MenuTemplate, TrayTextsGiveNineItemsInOrderWithSeparatorsKeepingTheirIndexes)
{
    Walk walk = WalkAll(
        {"Rollix Portable 1.7.0.3", "-", "Settings", "Enabled", "Donate", "-", "Exit Rollix", "-", "Close Menu"});
    ASSERT_EQ(walk.items.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        const MenuEntry& entry = walk.items[static_cast<size_t>(i)].entry;
        EXPECT_EQ(entry.ItemIndex, i);
        bool separator = i == 1 || i == 5 || i == 7;
        EXPECT_EQ(entry.Kind, separator ? MenuEntryKind::Separator : MenuEntryKind::Plain) << i;
    }
    EXPECT_EQ(walk.next, 9);
}

TEST(MenuTemplate, SubMenuItemsAreNumberedRightAfterTheirOpener)
{
    Walk walk = WalkAll({"File", "(", "Open", "Save", ")", "Help"});
    EXPECT_EQ(walk.texts, (Texts{"File", "Open", "Save", "Help"}));
    EXPECT_EQ(walk.parents, (Ints{-1, 0, 0, -1}));
    EXPECT_TRUE(walk.items[0].entry.OpensSubMenu);
    EXPECT_EQ(walk.items[3].entry.ItemIndex, 3);
    EXPECT_EQ(walk.items[3].entry.EntryIndex, 5);

    walk = WalkAll({"A", "(", "B", "(", "C", ")", "D", ")", "E"});
    EXPECT_EQ(walk.parents, (Ints{-1, 0, 1, 0, -1}));
    EXPECT_EQ(walk.items[2].entry.Depth, 2);
}

struct EntryCase
{
    const char* name;
    const char* text;
    int previousGroup;
    MenuEntryKind kind;
    bool checked;
    const char* shown;
    int group;
};

class MenuEntryMeaning : public ::testing::TestWithParam<EntryCase>
{
};

TEST_P(MenuEntryMeaning, PrefixesGiveKindCheckAndGroupAndLeaveTheText)
{
    const EntryCase& c = GetParam();
    MenuEntry entry = ClassifyMenuEntry(c.text, c.previousGroup);
    EXPECT_EQ(entry.Kind, c.kind);
    EXPECT_EQ(entry.Checked, c.checked);
    EXPECT_STREQ(entry.Text, c.shown);
    EXPECT_EQ(entry.RadioGroup, c.group);
}

using K = MenuEntryKind;
INSTANTIATE_TEST_SUITE_P(Entries, MenuEntryMeaning,
                         ::testing::Values(EntryCase{"LoneDashIsSeparator", "-", 0, K::Separator, false, "-", 0},
                                           EntryCase{"PlusIsCheckedCheckItem", "+On", 0, K::Check, true, "On", 0},
                                           EntryCase{"DashIsUncheckedCheckItem", "-On", 0, K::Check, false, "On", 0},
                                           EntryCase{"DoubleDashShowsDash", "--", 0, K::Check, false, "-", 0},
                                           EntryCase{"RadioAfterNonRadioIsGroupOne", "+!A", 0, K::Radio, true, "A", 1},
                                           EntryCase{"RadioJoinsGroupBeforeIt", "-!A", 3, K::Radio, false, "A", 3},
                                           EntryCase{"DoubleMarkStartsNextGroup", "-!!A", 3, K::Radio, false, "A", 4},
                                           EntryCase{"ThirdMarkIsText", "-!!!A", 0, K::Radio, false, "!A", 2},
                                           EntryCase{"MarkWithoutPrefixIsPlain", "!A", 5, K::Plain, false, "!A", 0}),
                         [](const ::testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

TEST(MenuTemplate, RadioRunsAreEndedByAnyOtherItemAndSubMenusStartTheirOwn)
{
    EXPECT_EQ(WalkAll({"-!a", "+!b", "-!c", "-!!d", "-!e"}).groups, (Ints{1, 1, 1, 2, 2}));
    EXPECT_EQ(WalkAll({"-!a", "-!!b", "-", "-!c", "-!!d", "plain", "-!e"}).groups, (Ints{1, 2, 0, 1, 2, 0, 1}));
    // After the sub-menu, the item before "-!d" on its level is "-!!b".
    EXPECT_EQ(WalkAll({"-!a", "-!!b", "(", "-!c", ")", "-!d"}).groups, (Ints{1, 2, 1, 2}));
}

TEST(MenuTemplate, EmptyOrNullEntryEndsTheMenuAndClosingBracketOnTopLevelToo)
{
    Walk walk = WalkAll({"", "A"});
    EXPECT_TRUE(walk.items.empty());
    EXPECT_EQ(walk.next, 0);
    EXPECT_EQ(WalkAll({"A", nullptr, "B"}).texts, (Texts{"A"}));
    EXPECT_EQ(WalkAll({"A", "", "B"}).texts, (Texts{"A"}));
    EXPECT_EQ(WalkAll({"A", "(", "B", nullptr, ")", "C"}).texts, (Texts{"A", "B"}));
    walk = WalkAll({"A", ")", "B"});
    EXPECT_EQ(walk.texts, (Texts{"A"}));
    EXPECT_EQ(walk.next, 2);
}

TEST(MenuTemplate, OpeningBracketThatFollowsNoItemIsPlainItem)
{
    EXPECT_EQ(WalkAll({"(", "A"}).texts, (Texts{"(", "A"}));
    Walk walk = WalkAll({"A", "(", "(", ")", "B"});
    EXPECT_EQ(walk.texts, (Texts{"A", "(", "B"}));
    EXPECT_EQ(walk.parents, (Ints{-1, 0, -1}));
    EXPECT_EQ(WalkAll({"A", "(", "B", ")", "(", "C"}).parents, (Ints{-1, 0, -1, -1}));
}

TEST(MenuTemplate, WalkStopsAtTheLastIndexGiven)
{
    const char* texts[] = {"A", "B", "(", "C"};
    RecordingSink sink;
    // "B" is the last entry taken, so the "(" after it is out of reach and opens nothing.
    EXPECT_EQ(WalkMenuTemplate(texts, 0, 1, &sink.topLevel, sink), 2);
    ASSERT_EQ(sink.items.size(), 2u);
    EXPECT_FALSE(sink.items[1].entry.OpensSubMenu);
    EXPECT_EQ(WalkMenuTemplate(nullptr, 0, 3, &sink.topLevel, sink), 0);
}

} // namespace
