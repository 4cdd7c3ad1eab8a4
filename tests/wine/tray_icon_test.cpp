// Tray icons against real windows, with the shell traffic observed through the recording machine.
#include "message_loop.h"
#include "recording_machine.h"
#include "tray_icon.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Ops = std::vector<DWORD>;
using MouseCalls = std::vector<std::pair<TrayIcon*, WORD>>;

HICON NewIcon()
{
    return ::CopyIcon(::LoadIconA(nullptr, IDI_APPLICATION));
}

// A hidden form, as the program's main window is.
WindowObject* MakeOwner()
{
    WindowObject* window = CreateFormWindow(nullptr, "Owner");
    HideWindowObject(window);
    return window;
}

void RecordMouse(void* calls, TrayIcon* icon, WORD message)
{
    static_cast<MouseCalls*>(calls)->emplace_back(icon, message);
}

void ListenToMouse(TrayIcon* icon, MouseCalls* calls)
{
    icon->MouseHandler.routine = &RecordMouse;
    icon->MouseHandler.owner = calls;
}

int g_spyCalls = 0;
bool SpyOnCallback(WindowObject* /*window*/, MessageRecord& message, LRESULT& /*result*/)
{
    g_spyCalls += message.message == kTrayCallbackMessage ? 1 : 0;
    return false;
}

class TrayIconTest : public ::testing::Test
{
protected:
    RecordingMachine machine;

    void ForgetShellTraffic()
    {
        machine.shellOperations.clear();
        machine.shellRecords.clear();
    }
    const NOTIFYICONDATAA& Last() const { return machine.shellRecords.back(); }

    // Posts the message as the shell would and waits until it has been dispatched: posted messages leave the
    // queue in order, so once a thread message posted after it is gone, so is the message.
    static void Post(HWND window, WPARAM id, LPARAM mouse)
    {
        constexpr UINT kSentinel = WM_APP + 0x3F1;
        ASSERT_TRUE(::PostMessageA(window, kTrayCallbackMessage, id, mouse));
        ASSERT_TRUE(::PostThreadMessageA(::GetCurrentThreadId(), kSentinel, 0, 0));
        MSG peeked;
        ASSERT_TRUE(WaitFor([&] { return !::PeekMessageA(&peeked, nullptr, kSentinel, kSentinel, PM_NOREMOVE); }));
    }
};

TEST_F(TrayIconTest, ShownAtOnceWithFirstVersionRecord)
{
    WindowObject* owner = MakeOwner();
    HICON image = NewIcon();
    TrayIcon* icon = MakeTrayIcon(owner, image);
    TrayIcon* second = MakeTrayIcon(owner, NewIcon());

    ASSERT_EQ(machine.shellOperations, (Ops{NIM_ADD, NIM_ADD}));
    const NOTIFYICONDATAA& record = machine.shellRecords[0];
    EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    ASSERT_NE(owner->Handle, nullptr);
    EXPECT_EQ(record.hWnd, owner->Handle);
    EXPECT_FALSE(::IsWindowVisible(owner->Handle));
    EXPECT_EQ(record.uID, icon->Id);
    EXPECT_NE(icon->Id, 0u);
    EXPECT_NE(icon->Id, second->Id);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, 0xB008u);
    EXPECT_EQ(record.hIcon, image);
    EXPECT_STREQ(record.szTip, "");
}

TEST_F(TrayIconTest, TooltipIsCutAt63Characters)
{
    const std::string seventy(70, 'x');
    const std::string sixtyThree = std::string(62, 'y') + "z";
    const std::pair<std::string, std::string> cases[] = {
        {seventy, seventy.substr(0, 63)}, {sixtyThree, sixtyThree}, {"Rollix Portable", "Rollix Portable"}, {"", ""}};
    TrayIcon* icon = MakeTrayIcon(MakeOwner(), NewIcon());
    SetTrayTooltip(icon, "something else first");
    for (const auto& [text, sent] : cases) {
        ForgetShellTraffic();
        SetTrayTooltip(icon, text.c_str());
        ASSERT_EQ(machine.shellOperations, Ops{NIM_MODIFY}) << text;
        EXPECT_EQ(std::string(Last().szTip), sent);
        // The object keeps the whole text.
        EXPECT_EQ(std::string(icon->Tooltip != nullptr ? icon->Tooltip : ""), text);
    }
}

TEST_F(TrayIconTest, UnchangedOrHiddenChangesWaitForNextActivation)
{
    TrayIcon* icon = MakeTrayIcon(MakeOwner(), NewIcon());
    SetTrayTooltip(icon, "Rollix Portable");
    ForgetShellTraffic();
    SetTrayImage(icon, icon->Icon);
    SetTrayTooltip(icon, "Rollix Portable");
    SetTrayActive(icon, true);
    EXPECT_TRUE(machine.shellOperations.empty());

    SetTrayActive(icon, false);
    ASSERT_EQ(machine.shellOperations, Ops{NIM_DELETE});
    EXPECT_EQ(Last().uFlags, 0u);
    ForgetShellTraffic();
    HICON latest = NewIcon();
    SetTrayImage(icon, NewIcon());
    SetTrayImage(icon, latest);
    SetTrayTooltip(icon, "latest");
    EXPECT_TRUE(machine.shellOperations.empty());

    SetTrayActive(icon, true);
    ASSERT_EQ(machine.shellOperations, Ops{NIM_ADD});
    EXPECT_EQ(Last().hIcon, latest);
    EXPECT_STREQ(Last().szTip, "latest");
}

TEST_F(TrayIconTest, WithoutIconOrOwnerStaysHidden)
{
    TrayIcon* noImage = MakeTrayIcon(MakeOwner(), nullptr);
    TrayIcon* noOwner = MakeTrayIcon(nullptr, NewIcon());
    SetTrayActive(noOwner, true);
    SetTrayImage(noImage, NewIcon());
    EXPECT_FALSE(noOwner->Active);
    EXPECT_FALSE(noImage->Active);
    EXPECT_TRUE(machine.shellOperations.empty());
    SetTrayActive(noImage, true);
    EXPECT_EQ(machine.shellOperations, Ops{NIM_ADD});
}

TEST_F(TrayIconTest, TaskbarCreatedReAddsOnlyActiveMarkedIcons)
{
    WindowObject* form = MakeOwner();
    WindowObject* panel = CreatePanelWindow(form, 2);
    TrayIcon* marked = MakeTrayIcon(panel, NewIcon());
    TrayIcon* hiddenMarked = MakeTrayIcon(form, NewIcon());
    TrayIcon* unmarked = MakeTrayIcon(form, NewIcon());
    SetTrayReAddOnTaskbar(marked, true);
    SetTrayReAddOnTaskbar(hiddenMarked, true);
    SetTrayReAddOnTaskbar(unmarked, false);
    SetTrayTooltip(marked, "current");
    SetTrayActive(hiddenMarked, false);
    ASSERT_NE(TaskbarCreatedMsg, 0u);
    ForgetShellTraffic();

    // The shell broadcasts to top-level windows: the panel's icon comes back through its form.
    ::SendMessageA(form->Handle, TaskbarCreatedMsg, 0, 0);

    ASSERT_EQ(machine.shellOperations, Ops{NIM_ADD});
    EXPECT_EQ(Last().uID, marked->Id);
    EXPECT_EQ(Last().hWnd, panel->Handle);
    EXPECT_STREQ(Last().szTip, "current");
    EXPECT_TRUE(marked->Active);
    EXPECT_FALSE(hiddenMarked->Active);
    EXPECT_TRUE(unmarked->Active);
}

TEST_F(TrayIconTest, CloseRemovesOnlyThatWindowsIconsAndStillCloses)
{
    WindowObject* closing = MakeOwner();
    WindowObject* staying = MakeOwner();
    TrayIcon* closingIcon = MakeTrayIcon(closing, NewIcon());
    TrayIcon* stayingIcon = MakeTrayIcon(staying, NewIcon());
    HWND closingHandle = closing->Handle;
    ForgetShellTraffic();

    ::SendMessageA(closingHandle, WM_CLOSE, 0, 0);

    ASSERT_EQ(machine.shellOperations, Ops{NIM_DELETE});
    EXPECT_EQ(Last().uID, closingIcon->Id);
    EXPECT_EQ(Last().hWnd, closingHandle);
    EXPECT_FALSE(closingIcon->Active);
    EXPECT_TRUE(stayingIcon->Active);
    EXPECT_FALSE(::IsWindow(closingHandle));
    EXPECT_TRUE(::IsWindow(staying->Handle));
    // The closed window's object went with its window; its icon no longer points at it.
    EXPECT_EQ(closingIcon->Owner, nullptr);
    SetTrayActive(closingIcon, true);
    EXPECT_FALSE(closingIcon->Active);
}

TEST_F(TrayIconTest, OwnerWhoseWindowIsGoneGetsNoIconButLosesOneStillShown)
{
    // The main window's object outlives its window until the end of the run, with the stale handle.
    WindowObject* owner = MakeOwner();
    MainWindow = owner;
    TrayIcon* icon = MakeTrayIcon(owner, NewIcon());
    HWND gone = owner->Handle;
    ::DestroyWindow(gone);
    ASSERT_TRUE(owner->HasFlag(kWindowDestroyed));
    ForgetShellTraffic();

    SetTrayImage(icon, NewIcon());
    SetTrayActive(icon, false);
    SetTrayActive(icon, true);

    // An icon for a dead window would stay in the notification area after the process; the one it still had
    // is removed.
    ASSERT_EQ(machine.shellOperations, Ops{NIM_DELETE});
    EXPECT_EQ(Last().hWnd, gone);
    EXPECT_FALSE(icon->Active);
    MainWindow = nullptr;
}

TEST_F(TrayIconTest, TerminationTurnsEveryShellCallIntoDelete)
{
    WindowObject* owner = MakeOwner();
    TrayIcon* icon = MakeTrayIcon(owner, NewIcon());
    TrayIcon* hidden = MakeTrayIcon(owner, NewIcon());
    SetTrayActive(hidden, false);
    ForgetShellTraffic();

    Terminated = true;
    SetTrayImage(icon, NewIcon());
    SetTrayTooltip(icon, "changed");
    SetTrayActive(hidden, true);
    Terminated = false;

    EXPECT_EQ(machine.shellOperations, (Ops{NIM_DELETE, NIM_DELETE, NIM_DELETE}));
    for (const NOTIFYICONDATAA& record : machine.shellRecords)
        EXPECT_EQ(record.uFlags, 0u);
}

TEST_F(TrayIconTest, MouseMessageReachesHandlerAsSixteenBits)
{
    WindowObject* owner = MakeOwner();
    GetWindowHandle(owner);
    AttachHandler(owner, &SpyOnCallback, false);
    TrayIcon* icon = MakeTrayIcon(owner, NewIcon());
    MouseCalls calls;
    ListenToMouse(icon, &calls);

    Post(owner->Handle, icon->Id, static_cast<LPARAM>(0x7FFF0000 | WM_RBUTTONUP));
    EXPECT_EQ(calls, (MouseCalls{{icon, WM_RBUTTONUP}}));

    // Handled with an empty slot too: a handler attached before the icon's never sees the callback.
    icon->MouseHandler.Clear();
    EXPECT_EQ(::SendMessageA(owner->Handle, kTrayCallbackMessage, icon->Id, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(g_spyCalls, 0);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(TrayIconTest, ForgedCallbackIdentifierIsIgnored)
{
    WindowObject* owner = MakeOwner();
    TrayIcon* icon = MakeTrayIcon(owner, NewIcon());
    TrayIcon* othersIcon = MakeTrayIcon(MakeOwner(), NewIcon());
    TrayIcon* released = MakeTrayIcon(owner, NewIcon());
    UINT releasedId = released->Id;
    ForgetShellTraffic();
    Release(released);
    EXPECT_EQ(machine.shellOperations, Ops{NIM_DELETE});
    MouseCalls calls;
    ListenToMouse(icon, &calls);
    ListenToMouse(othersIcon, &calls);

    // Unknown, released, another window's, and the icon's address as an older scheme would have sent it.
    const WPARAM forged[] = {0, icon->Id + 1000, releasedId, othersIcon->Id, reinterpret_cast<WPARAM>(icon)};
    for (WPARAM id : forged)
        Post(owner->Handle, id, WM_RBUTTONUP);
    EXPECT_TRUE(calls.empty());

    Post(owner->Handle, icon->Id, WM_LBUTTONUP);
    EXPECT_EQ(calls, (MouseCalls{{icon, WM_LBUTTONUP}}));

    // With every icon gone the handlers stay attached and find nothing.
    UINT lastId = icon->Id;
    Release(icon);
    Release(othersIcon);
    EXPECT_EQ(TrayIconList, nullptr);
    Post(owner->Handle, lastId, WM_LBUTTONUP);
    EXPECT_EQ(calls.size(), 1u);
}

} // namespace
