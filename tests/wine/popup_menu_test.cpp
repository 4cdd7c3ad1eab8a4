// Menus against real Windows menus: items and states read back with GetMenuItemInfoA, choices delivered
// as real WM_COMMAND messages, menu bars of forms, and release with the owner.
#include "message_loop.h"
#include "popup_menu.h"
#include "recording_machine.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

const char* const kTrayTexts[] = {
    "Rollix Portable 1.7.0.3", "-", "Settings", "Enabled", "Donate", "-", "Exit Rollix", "-", "Close Menu"};
constexpr int kTrayLast = 8;

struct Choice
{
    MenuNode* menu;
    int index;
    bool checkedDuringCall;
};

void RecordChoice(std::vector<Choice>* choices, MenuNode* menu, int index)
{
    choices->push_back(Choice{menu, index, GetItemChecked(menu, index)});
}

int g_frameChanges = 0;
bool CountFrameChanges(void* /*owner*/, MessageRecord& message, LRESULT& /*result*/)
{
    if (message.message == WM_NCCALCSIZE)
        ++g_frameChanges;
    return false;
}

// What Windows itself holds for the item at a position.
MENUITEMINFOA ReadItem(HMENU menu, int position, char* text = nullptr, UINT capacity = 0)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = capacity;
    EXPECT_TRUE(::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) << "item " << position;
    return info;
}

bool CheckedAt(HMENU menu, int position)
{
    return (ReadItem(menu, position).fState & MFS_CHECKED) != 0;
}

std::string TextAt(HMENU menu, int position)
{
    char text[128] = {};
    ReadItem(menu, position, text, sizeof text);
    return text;
}

class PopupMenuTest : public ::testing::Test
{
protected:
    RecordingMachine machine;
    std::vector<Choice> choices;
    WindowObject* form = nullptr;

    // A hidden form with a panel in it, both with their windows: the program's main window and menu host.
    WindowObject* MakePanel()
    {
        WindowObject* panel = CreatePanelWindow(MakeForm(), 2);
        EXPECT_NE(GetWindowHandle(form), nullptr);
        return panel;
    }
    WindowObject* MakeForm()
    {
        form = CreateFormWindow(nullptr, "Menu Owner");
        HideWindowObject(form);
        return form;
    }
    MenuNode* Make(WindowObject* owner, const std::vector<const char*>& texts)
    {
        return MakeMenu(owner, texts.data(), static_cast<int>(texts.size()) - 1, BindHandler<&RecordChoice>(&choices));
    }
    static LRESULT Command(WindowObject* owner, WPARAM wParam, LPARAM lParam = 0)
    {
        return ::SendMessageA(owner->Handle, WM_COMMAND, wParam, lParam);
    }
    static LRESULT Choose(WindowObject* owner, MenuNode* root, int index)
    {
        return Command(owner, FindMenuItem(root, index)->CommandId);
    }
    std::vector<bool> Checks(HMENU menu)
    {
        std::vector<bool> checks;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
            checks.push_back(CheckedAt(menu, i));
        return checks;
    }

    // Releasing the form takes the panel, its menus and the windows with it.
    void TearDown() override { Release(form); }
};

TEST_F(PopupMenuTest, TrayTextsGiveNineItemsWithConsecutiveIdentifiersAndSeparatorsInPlace)
{
    WindowObject* panel = MakePanel();
    MenuNode* root = MakeMenu(panel, kTrayTexts, kTrayLast, MenuItemHandler{});
    ASSERT_EQ(::GetMenuItemCount(root->MenuHandle), 9);
    for (int i = 0; i <= kTrayLast; ++i) {
        MENUITEMINFOA item = ReadItem(root->MenuHandle, i);
        bool separator = i == 1 || i == 5 || i == 7;
        EXPECT_EQ(item.wID, kFirstMenuItemId + static_cast<UINT>(i)) << i;
        EXPECT_EQ((item.fType & MFT_SEPARATOR) != 0, separator) << i;
        EXPECT_EQ(TextAt(root->MenuHandle, i), separator ? "" : kTrayTexts[i]);
        MenuNode* node = FindMenuItem(root, i);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->CommandId, item.wID);
        EXPECT_EQ(MenuItemIndex(root, node), i);
    }
    // A child window's menu pops up: the panel keeps its control identifier and gets no menu bar.
    EXPECT_EQ(panel->FirstMenu, root);
    EXPECT_NE(panel->ControlId, reinterpret_cast<UINT_PTR>(root->MenuHandle));
    EXPECT_EQ(::GetMenu(form->Handle), nullptr);
}

TEST_F(PopupMenuTest, SubMenuIsNumberedDepthFirstAndItsChoicesReachTheHandler)
{
    WindowObject* panel = MakePanel();
    MenuNode* root = Make(panel, {"File", "(", "Open", "Save", ")", "Help"});
    ASSERT_EQ(::GetMenuItemCount(root->MenuHandle), 2);
    HMENU sub = ::GetSubMenu(root->MenuHandle, 0);
    ASSERT_EQ(::GetMenuItemCount(sub), 2);
    EXPECT_EQ(FindMenuItem(root, 2)->CommandId, ReadItem(sub, 1).wID);
    EXPECT_EQ(FindMenuItem(root, 3)->CommandId, ReadItem(root->MenuHandle, 1).wID);
    EXPECT_EQ(FindMenuItem(root, 4), nullptr);

    EXPECT_EQ(Command(panel, ReadItem(sub, 1).wID), 0);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].menu, root);
    EXPECT_EQ(choices[0].index, 2);
}

TEST_F(PopupMenuTest, CheckItemFlipsBeforeTheHandlerRunsAndPlainItemNeverChanges)
{
    WindowObject* panel = MakePanel();
    MenuNode* root = Make(panel, {"+Enabled", "Donate"});
    HMENU menu = root->MenuHandle;
    EXPECT_EQ(TextAt(menu, 0), "Enabled");
    EXPECT_EQ(Checks(menu), (std::vector<bool>{true, false}));

    Choose(panel, root, 0);
    EXPECT_EQ(Checks(menu), (std::vector<bool>{false, false}));
    Choose(panel, root, 0);
    EXPECT_EQ(Checks(menu), (std::vector<bool>{true, false}));
    Choose(panel, root, 1);
    SetItemChecked(root, 1, true);
    Choose(panel, root, 1);
    EXPECT_EQ(Checks(menu), (std::vector<bool>{true, true}));

    ASSERT_EQ(choices.size(), 4u);
    EXPECT_FALSE(choices[0].checkedDuringCall);
    EXPECT_TRUE(choices[1].checkedDuringCall);
    EXPECT_FALSE(choices[2].checkedDuringCall);
    EXPECT_EQ(choices[3].index, 1);
}

TEST_F(PopupMenuTest, RadioChoiceChecksItsGroupOnlyAndDoubleMarkStartsAnotherGroup)
{
    WindowObject* panel = MakePanel();
    MenuNode* root = Make(panel, {"-!Low", "+!Mid", "-!High", "-!!Left", "-!Right", "-", "-!Alone"});
    HMENU menu = root->MenuHandle;
    using Marks = std::vector<bool>;
    EXPECT_EQ(Checks(menu), (Marks{false, true, false, false, false, false, false}));
    EXPECT_NE(ReadItem(menu, 0).fType & MFT_RADIOCHECK, 0u);

    Choose(panel, root, 0);
    EXPECT_EQ(Checks(menu), (Marks{true, false, false, false, false, false, false}));
    EXPECT_TRUE(choices.back().checkedDuringCall);
    Choose(panel, root, 4);
    EXPECT_EQ(Checks(menu), (Marks{true, false, false, false, true, false, false}));
    Choose(panel, root, 3);
    EXPECT_EQ(Checks(menu), (Marks{true, false, false, true, false, false, false}));
    // A group of one is checked on its own, and choosing it again keeps it checked.
    Choose(panel, root, 6);
    Choose(panel, root, 6);
    EXPECT_EQ(Checks(menu), (Marks{true, false, false, true, false, false, true}));
}

TEST_F(PopupMenuTest, EmptyFirstEntryGivesMenuWithoutItemsAndEmptyEntryLaterEndsIt)
{
    WindowObject* panel = MakePanel();
    MenuNode* empty = Make(panel, {"", "A"});
    ASSERT_TRUE(::IsMenu(empty->MenuHandle));
    EXPECT_EQ(::GetMenuItemCount(empty->MenuHandle), 0);
    EXPECT_EQ(Make(panel, {nullptr, "A"})->MenuHandle, nullptr);
    EXPECT_EQ(NextMenuItemId, kFirstMenuItemId);

    EXPECT_EQ(::GetMenuItemCount(Make(panel, {"A", "B", nullptr, "C"})->MenuHandle), 2);
    EXPECT_EQ(::GetMenuItemCount(Make(panel, {"A", "", "B"})->MenuHandle), 1);
    EXPECT_EQ(NextMenuItemId, kFirstMenuItemId + 3);
}

TEST_F(PopupMenuTest, FindMenuItemTakesIndexesCommandIdentifiersAndMinusOneForTheRoot)
{
    WindowObject* panel = MakePanel();
    MenuNode* root = MakeMenu(panel, kTrayTexts, kTrayLast, MenuItemHandler{});
    MenuNode* other = Make(panel, {"X"});
    MenuNode* enabled = FindMenuItem(root, 3);
    EXPECT_EQ(FindMenuItem(root, kRootItemIndex), root);
    EXPECT_EQ(MenuItemIndex(root, root), kRootItemIndex);
    EXPECT_EQ(FindMenuItem(root, static_cast<int>(enabled->CommandId)), enabled);
    EXPECT_EQ(FindMenuItem(root, 9), nullptr);
    EXPECT_EQ(FindMenuItem(root, static_cast<int>(FindMenuItem(other, 0)->CommandId)), nullptr);
    EXPECT_EQ(MenuItemIndex(root, FindMenuItem(other, 0)), kNoItemIndex);
}

TEST_F(PopupMenuTest, CommandsThatDoNotComeFromAMenuItemAreLeftAlone)
{
    WindowObject* panel = MakePanel();
    MenuNode* root = Make(panel, {"+Enabled"});
    WPARAM id = FindMenuItem(root, 0)->CommandId;
    struct Case
    {
        const char* name;
        WPARAM wParam;
        LPARAM lParam;
    } const ignored[] = {
        {"ControlNotification", id, reinterpret_cast<LPARAM>(panel->Handle)},
        {"NotificationCode", MAKEWPARAM(id, BN_DBLCLK), 0},
        {"ItemIndexInsteadOfIdentifier", 0, 0},
        {"UnknownIdentifier", id + 100, 0},
    };
    for (const Case& c : ignored) {
        Command(panel, c.wParam, c.lParam);
        EXPECT_TRUE(choices.empty()) << c.name;
        EXPECT_TRUE(CheckedAt(root->MenuHandle, 0)) << c.name;
    }
    // An accelerator's command counts like a menu's.
    Command(panel, MAKEWPARAM(id, 1));
    EXPECT_EQ(choices.size(), 1u);
    EXPECT_FALSE(CheckedAt(root->MenuHandle, 0));
}

TEST_F(PopupMenuTest, StatesAreReadFromWindowsAndWrittenToIt)
{
    WindowObject* panel = MakePanel();
    MenuNode* root = MakeMenu(panel, kTrayTexts, kTrayLast, MenuItemHandler{});
    HMENU menu = root->MenuHandle;
    SetItemChecked(root, 3, true);
    SetItemState(FindMenuItem(root, 2), MFS_DEFAULT, true);
    EXPECT_TRUE(CheckedAt(menu, 3));
    EXPECT_EQ(::GetMenuDefaultItem(menu, FALSE, 0), FindMenuItem(root, 2)->CommandId);
    EXPECT_TRUE(GetItemChecked(root, 3));

    // Changed behind the menu's back: the next read asks Windows again.
    ::CheckMenuItem(menu, FindMenuItem(root, 3)->CommandId, MF_BYCOMMAND | MF_UNCHECKED);
    EXPECT_FALSE(GetItemChecked(root, 3));

    // Indexes that name no item (the root included) read as unchecked and change nothing.
    for (int index : {9, 4095, kRootItemIndex, -7}) {
        SetItemChecked(root, index, true);
        EXPECT_FALSE(GetItemChecked(root, index)) << index;
    }
    SetItemState(nullptr, MFS_CHECKED, true);
    EXPECT_EQ(Checks(menu), std::vector<bool>(9, false));
}

TEST_F(PopupMenuTest, FirstMenuOfAFormIsItsMenuBarAndFurtherMenusPopUp)
{
    MakeForm();
    MenuNode* root = Make(form, {"File", "Help"});
    EXPECT_EQ(form->ControlId, reinterpret_cast<UINT_PTR>(root->MenuHandle));
    // The window made afterwards gets the bar from the start.
    ASSERT_NE(GetWindowHandle(form), nullptr);
    EXPECT_EQ(::GetMenu(form->Handle), root->MenuHandle);

    MenuNode* second = Make(form, {"Copy"});
    EXPECT_EQ(root->NextMenu, second);
    EXPECT_EQ(::GetMenu(form->Handle), root->MenuHandle);
    Choose(form, second, 0);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].menu, second);
}

TEST_F(PopupMenuTest, TopLevelStateChangeRedrawsTheMenuBarUntilTermination)
{
    ASSERT_NE(GetWindowHandle(MakeForm()), nullptr);
    SetOnMessage(form, MessageHandler{&CountFrameChanges, nullptr});
    MenuNode* root = Make(form, {"File", "(", "+Open", ")", "Help"});
    EXPECT_EQ(::GetMenu(form->Handle), root->MenuHandle);

    // Redrawing the bar recomputes the window's frame, which Windows announces with WM_NCCALCSIZE.
    g_frameChanges = 0;
    SetItemState(FindMenuItem(root, 2), MFS_DEFAULT, true);
    EXPECT_GT(g_frameChanges, 0);

    // An item of a sub-menu is not on the bar.
    g_frameChanges = 0;
    SetItemChecked(root, 1, false);
    EXPECT_FALSE(CheckedAt(::GetSubMenu(root->MenuHandle, 0), 0));
    EXPECT_EQ(g_frameChanges, 0);

    Terminated = true;
    SetItemChecked(root, 2, true);
    EXPECT_TRUE(CheckedAt(root->MenuHandle, 1));
    EXPECT_EQ(g_frameChanges, 0);
    Terminated = false;
}

TEST_F(PopupMenuTest, MenusAndTheirSubMenusGoWithTheirOwner)
{
    WindowObject* panel = MakePanel();
    MenuNode* first = Make(panel, {"A", "(", "B", ")"});
    MenuNode* second = Make(panel, {"C"});
    HMENU menus[] = {first->MenuHandle, FindMenuItem(first, 0)->MenuHandle, second->MenuHandle};
    Release(form);
    form = nullptr;
    for (HMENU menu : menus)
        EXPECT_FALSE(::IsMenu(menu));
}

TEST_F(PopupMenuTest, MenuReleasedBeforeItsOwnerLeavesTheOwnerWithoutIt)
{
    MakeForm();
    MenuNode* bar = Make(form, {"File"});
    MenuNode* second = Make(form, {"B"});
    MenuNode* third = Make(form, {"C"});
    ASSERT_NE(GetWindowHandle(form), nullptr);

    // A further menu leaves the chain; the others go on working.
    Release(second);
    EXPECT_EQ(bar->NextMenu, third);
    Choose(form, third, 0);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].menu, third);

    // The first menu takes the bar and the rest of the chain; the form will not release it a second time.
    HMENU barMenu = bar->MenuHandle;
    HMENU thirdMenu = third->MenuHandle;
    Release(bar);
    EXPECT_EQ(::GetMenu(form->Handle), nullptr);
    EXPECT_EQ(form->ControlId, 0u);
    EXPECT_EQ(form->FirstMenu, nullptr);
    EXPECT_FALSE(::IsMenu(barMenu));
    EXPECT_FALSE(::IsMenu(thirdMenu));
    for (int i = 0; form->OwnedList != nullptr && i < form->OwnedList->Count(); ++i)
        EXPECT_NE((*form->OwnedList)[i].argument, static_cast<void*>(bar));
}

// Closes a menu that is still open after a while, so that a test never hangs in the menu's own loop.
void CALLBACK CloseStrayMenu(HWND, UINT, UINT_PTR, DWORD)
{
    ::EndMenu();
}

TEST_F(PopupMenuTest, ChoiceMadeInTheShownMenuReachesTheItemHandler)
{
    WindowObject* panel = MakePanel();
    MenuNode* root = Make(panel, {"First", "+Second", "Third"});
    UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, &CloseStrayMenu);
    // The menu's own loop takes the keys from the queue: down twice to "Second", then Enter.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        ::PostMessageA(panel->Handle, WM_KEYDOWN, key, 0);
    EXPECT_TRUE(PopupMenuAt(root, 100, 100));
    ::KillTimer(nullptr, guard);

    // Without TPM_RETURNCMD the choice arrives afterwards as a posted WM_COMMAND.
    ASSERT_TRUE(WaitFor([&] { return !choices.empty(); }));
    EXPECT_EQ(choices[0].index, 1);
    EXPECT_FALSE(choices[0].checkedDuringCall);

    MenuNode* orphan = Make(nullptr, {"A"});
    EXPECT_FALSE(PopupMenuAt(orphan, 10, 10));
    Release(orphan);
}

TEST(MenuItemInfoSize, RecordWithoutBitmapOnlyForWin95NT4AndOlder)
{
    for (int v = Win32sOrOlder; v <= WinNTOther; ++v) {
        bool shortRecord = v == Win32sOrOlder || v == Win95 || v == WinNT4;
        EXPECT_EQ(MenuItemInfoSize(static_cast<WindowsVersion>(v)),
                  shortRecord ? offsetof(MENUITEMINFOA, hbmpItem) : sizeof(MENUITEMINFOA))
            << v;
    }
}

TEST_F(PopupMenuTest, ShortRecordOfWindows95BuildsAndReadsMenusToo)
{
    machine.PlayWindows95();
    WindowObject* panel = MakePanel();
    MenuNode* root = Make(panel, {"+Enabled", "-", "Exit"});
    ASSERT_EQ(GetWindowsVersion(), Win95);
    EXPECT_EQ(TextAt(root->MenuHandle, 2), "Exit");
    EXPECT_TRUE(GetItemChecked(root, 0));
    Choose(panel, root, 0);
    EXPECT_FALSE(CheckedAt(root->MenuHandle, 0));
}

} // namespace
