// The built program's tray icon and menu, used as a person uses them: real clicks on the icon in Wine's
// notification area, what the open menu shows on screen, and what each choice does.
#include "tray_clicks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace e2e;

namespace {

const char kHookStart[] = "RollixHookStart 0 3 0";
const char kHookStop[] = "RollixHookStop";
const char kNoFirstStart[] = "[config]\r\nFirstTime=0\r\n";
const char kScreenshotFolder[] = ROLLIX_E2E_SCREENSHOTS;

// The tray menu's items by index.
enum : size_t
{
    kProductItem = 0,
    kSettingsItem = 2,
    kEnabledItem = 3,
    kExitItem = 6,
    kCloseItem = 8,
};

std::vector<ExpectedItem> TrayMenuItems(bool enabledChecked)
{
    return {
        {"Rollix Portable 1.7.0.3", false, false},
        {nullptr, false, false},
        {"Settings", false, true},
        {"Enabled", enabledChecked, false},
        {"Donate", false, false},
        {nullptr, false, false},
        {"Exit Rollix", false, false},
        {nullptr, false, false},
        {"Close Menu", false, false},
    };
}

// The icon images: the enabled one is coloured, the disabled one grey.
constexpr int kMinColouredPixelsWhenEnabled = 8;
constexpr int kMaxColouredPixelsWhenDisabled = 0;
// Besides the menu, a screenshot shows the tray and this much around both.
constexpr int kScreenshotMargin = 8;
// How far inside the icon's lower right corner a click lands that should leave the icon in sight.
constexpr int kCornerInset = 2;

// Added to the screenshot's name: "-150" when a run at another scale takes it (scripts/scaled-screenshots.sh).
std::string ScreenshotSuffix()
{
    char suffix[16] = "";
    ::GetEnvironmentVariableA("ROLLIX_SCREENSHOT_SUFFIX", suffix, sizeof suffix);
    return suffix;
}

class TrayMenuE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!XTools::UnderWine())
            GTEST_SKIP() << "real clicks on the notification area need Wine's X11 driver";
        ASSERT_TRUE(tools.Available()) << tools.Problem();
        const std::string iconFault = IconLoadFault();
        ASSERT_TRUE(iconFault.empty()) << iconFault;
        ASSERT_TRUE(folder.Ready()) << "could not copy the program and the doubles into " << folder.Path();
        ASSERT_TRUE(WaitUntilNoCopyRuns()) << "another copy of the program is still running";
        // What the menu must look like, drawn by this process before the program runs.
        checkedMenu = RenderReferenceMenu(TrayMenuItems(true));
        uncheckedMenu = RenderReferenceMenu(TrayMenuItems(false));
        ASSERT_TRUE(checkedMenu.Valid() && uncheckedMenu.Valid()) << "could not draw the reference menus";
        // Were they alike, no comparison could tell a missing check mark.
        ASSERT_NE(checkedMenu.picture, uncheckedMenu.picture);
        ::CreateDirectoryA(WindowsPath(kScreenshotFolder).c_str(), nullptr);
    }

    // Starts the program with the extra settings lines and waits until its icon shows the enabled image.
    void StartProgram(const std::string& extraSettings = std::string())
    {
        folder.WriteSettings(kNoFirstStart + extraSettings);
        // Each start counts its own hook calls.
        ::DeleteFileA(folder.File(kHookLogName).c_str());
        std::vector<HWND> earlierIcons = TrayIconWindows();
        ASSERT_TRUE(run.Start(folder, ""));
        ASSERT_NE(run.WaitForMainWindow(), nullptr) << "no main window; the program is " << run.State();
        ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kHookStart) == 1; })) << "the hook was not started";
        icon = WaitForNewTrayIcon(earlierIcons, kStartTimeoutMs);
        ASSERT_NE(icon, nullptr) << "no icon appeared in the notification area";
        ASSERT_TRUE(WaitFor([&] { return IconColouredPixels() >= kMinColouredPixelsWhenEnabled; }))
            << "the icon does not show the enabled image; coloured pixels: " << IconColouredPixels();
    }

    int IconColouredPixels() const { return CaptureScreen(WindowRectOf(icon)).CountColoured(); }

    // Clicks the icon at its centre, or near its lower right corner: the menu opens at the pointer, and there
    // it leaves the icon in sight.
    void ClickIcon(Button button, bool nearCorner = false)
    {
        ASSERT_TRUE(MakeClickable(icon)) << "the tray icon stays covered by another window";
        RECT rect = WindowRectOf(icon);
        POINT point = nearCorner ? POINT{rect.right - kCornerInset, rect.bottom - kCornerInset} : CentreOf(rect);
        ASSERT_TRUE(tools.ClickAt(point, button)) << tools.CommandLog();
    }

    // Clicks the icon and waits for the program's menu; menuWindow holds it.
    void OpenMenu(Button button = Button::kRight, bool nearCorner = false)
    {
        ASSERT_EQ(OpenMenuWindow(run.ProcessId()), nullptr) << "a menu was already open";
        ASSERT_NO_FATAL_FAILURE(ClickIcon(button, nearCorner));
        ASSERT_TRUE(WaitFor([&] { return (menuWindow = OpenMenuWindow(run.ProcessId())) != nullptr; }))
            << "no menu opened; the program is " << run.State();
    }

    // The open menu shows exactly what the reference shows; both pictures are kept when they differ.
    void ExpectMenuLooksLike(const ReferenceMenu& reference, const std::string& name)
    {
        Picture shown;
        bool same = WaitFor(
            [&] {
                shown = CaptureScreen(WindowRectOf(menuWindow));
                return shown == reference.picture;
            },
            kExitTimeoutMs);
        if (!same) {
            std::string base = WindowsPath(kScreenshotFolder) + "\\" + name;
            shown.SaveBmp(base + "-shown.bmp");
            reference.picture.SaveBmp(base + "-expected.bmp");
            ADD_FAILURE() << "the menu does not look as expected; see " << base << "-shown.bmp and -expected.bmp";
        }
    }

    // Clicks an item of the open menu and waits for the menu to close.
    void Choose(size_t index)
    {
        ASSERT_NE(menuWindow, nullptr);
        ASSERT_TRUE(tools.ClickAt(checkedMenu.ItemCentre(menuWindow, index), Button::kLeft)) << tools.CommandLog();
        ASSERT_TRUE(WaitFor([&] { return OpenMenuWindow(run.ProcessId()) == nullptr; }))
            << "the menu stayed open after choosing item " << index;
        menuWindow = nullptr;
    }

    // Hook calls in order, without the watchdog's queries.
    std::vector<std::string> HookStartsAndStops() const
    {
        std::vector<std::string> calls = folder.HookLog();
        calls.erase(std::remove_if(calls.begin(), calls.end(),
                                   [](const std::string& call) { return call != kHookStart && call != kHookStop; }),
                    calls.end());
        return calls;
    }

    void CloseProgram()
    {
        ASSERT_TRUE(run.PostClose());
        DWORD code = kKilledExitCode;
        ASSERT_TRUE(run.WaitForExit(&code)) << "the program did not end after being asked to";
        EXPECT_EQ(code, 0u);
        ASSERT_TRUE(folder.WaitUntilIdle());
    }

    XTools tools;
    ProgramFolder folder;
    ProgramRun run;
    ReferenceMenu checkedMenu;
    ReferenceMenu uncheckedMenu;
    HWND icon = nullptr;
    HWND menuWindow = nullptr;
};

TEST_F(TrayMenuE2e, RightClickOpensTheMenuWithEnabledCheckedAndSettingsBold)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenMenu(Button::kRight, true));
    ExpectMenuLooksLike(checkedMenu, "right-click");

    // The picture for people: the tray with the icon and the open menu.
    RECT area;
    RECT tray = WindowRectOf(::GetAncestor(icon, GA_ROOT)), menu = WindowRectOf(menuWindow);
    ::UnionRect(&area, &tray, &menu);
    ::InflateRect(&area, kScreenshotMargin, kScreenshotMargin);
    area.left = std::max(area.left, 0L);
    area.top = std::max(area.top, 0L);
    std::string screenshot = WindowsPath(kScreenshotFolder) + "\\tray-menu" + ScreenshotSuffix() + ".png";
    ::DeleteFileA(screenshot.c_str());
    EXPECT_TRUE(tools.SaveScreenshot(area, screenshot)) << tools.CommandLog();
    EXPECT_NE(::GetFileAttributesA(screenshot.c_str()), INVALID_FILE_ATTRIBUTES);

    // "Close Menu" only closes the menu.
    ASSERT_NO_FATAL_FAILURE(Choose(kCloseItem));
    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    EXPECT_EQ(HookStartsAndStops(), (std::vector<std::string>{kHookStart}));
    EXPECT_TRUE(folder.EditorLaunches().empty());
}

TEST_F(TrayMenuE2e, LeftClickOpensTheSameMenuWhileLeftClickEnableToggleIsOff)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram("LeftClickEnableToggle=0\r\n"));
    ASSERT_NO_FATAL_FAILURE(OpenMenu(Button::kLeft));
    ExpectMenuLooksLike(checkedMenu, "left-click");
    ASSERT_NO_FATAL_FAILURE(Choose(kCloseItem));
    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    EXPECT_EQ(HookStartsAndStops(), (std::vector<std::string>{kHookStart}));
}

TEST_F(TrayMenuE2e, EnabledStopsTheHookGreysTheIconAndUnchecksThenStartsItAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ASSERT_NO_FATAL_FAILURE(Choose(kEnabledItem));
    ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kHookStop) == 1; })) << "the hook was not stopped";
    EXPECT_TRUE(WaitFor([&] { return IconColouredPixels() <= kMaxColouredPixelsWhenDisabled; }))
        << "the icon does not show the disabled image; coloured pixels: " << IconColouredPixels();

    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ExpectMenuLooksLike(uncheckedMenu, "after-disable");
    ASSERT_NO_FATAL_FAILURE(Choose(kEnabledItem));
    ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kHookStart) == 2; })) << "the hook was not restarted";
    EXPECT_TRUE(WaitFor([&] { return IconColouredPixels() >= kMinColouredPixelsWhenEnabled; }))
        << "the icon does not show the enabled image again; coloured pixels: " << IconColouredPixels();

    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ExpectMenuLooksLike(checkedMenu, "after-enable");
    ASSERT_NO_FATAL_FAILURE(Choose(kCloseItem));
    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    EXPECT_EQ(HookStartsAndStops(), (std::vector<std::string>{kHookStart, kHookStop, kHookStart}));
}

TEST_F(TrayMenuE2e, SettingsAndTheProductNameRowBothOpenTheEditor)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ASSERT_NO_FATAL_FAILURE(Choose(kSettingsItem));
    ASSERT_TRUE(WaitFor([&] { return folder.EditorLaunches().size() == 1; })) << "\"Settings\" opened no editor";

    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ASSERT_NO_FATAL_FAILURE(Choose(kProductItem));
    ASSERT_TRUE(WaitFor([&] { return folder.EditorLaunches().size() == 2; }))
        << "the product-name row opened no editor";

    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    std::vector<EditorLaunch> launches = folder.EditorLaunches();
    ASSERT_EQ(launches.size(), 2u);
    for (const EditorLaunch& launch : launches)
        EXPECT_TRUE(SamePath(launch.directory, folder.Path())) << launch.directory;
    EXPECT_EQ(HookStartsAndStops(), (std::vector<std::string>{kHookStart}));
}

TEST_F(TrayMenuE2e, ExitRollixEndsWithCodeZeroRemovesTheIconAndLeavesTheHookRunning)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ASSERT_NO_FATAL_FAILURE(Choose(kExitItem));

    DWORD code = kKilledExitCode;
    ASSERT_TRUE(run.WaitForExit(&code)) << "the program did not end after \"Exit Rollix\"";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] {
        std::vector<HWND> icons = TrayIconWindows();
        return std::find(icons.begin(), icons.end(), icon) == icons.end();
    })) << "the icon is still in the notification area";
    EXPECT_EQ(folder.CountHookCalls(kHookStop), 0);
    ASSERT_TRUE(folder.WaitUntilIdle());
    EXPECT_TRUE(folder.EditorLaunches().empty());
}

// Milliseconds between two wall-clock moments.
double MsBetween(long long earlierNs, long long laterNs)
{
    return static_cast<double>(laterNs - earlierNs) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Listed(const std::vector<double>& values)
{
    std::string text;
    for (double value : values) {
        char one[32];
        std::snprintf(one, sizeof one, "%s%.0f", text.empty() ? "" : " ", value);
        text += one;
    }
    return text;
}

// "Exit Rollix" ends the program as soon as control code 4 does: from the click on the item to the end of the
// process against from posting the code to the end; both remove the icon. An icon of the test's own keeps Wine's
// tray up: were the program's the last, its removal would block the program inside Shell_NotifyIcon for 2 s,
// which swamps the difference and lets the watchdog's timer come due meanwhile, waking any wait of the loop's
// own. Medians of several rounds, each round one run of each kind, since a loaded machine stretches single runs.
TEST_F(TrayMenuE2e, ExitRollixEndsAsSoonAsControlCodeFour)
{
    constexpr int kRounds = 5;
    constexpr double kMaxExtraMs = 100;
    OwnTrayIcon keepTrayShown;
    ASSERT_NE(keepTrayShown.IconWindow(), nullptr) << "the test's own icon did not appear";
    std::vector<double> codeMs;
    std::vector<double> menuMs;
    for (int round = 0; round < kRounds; ++round) {
        long long ended = 0;
        ASSERT_NO_FATAL_FAILURE(StartProgram());
        HWND mainWindow = run.MainWindow();
        long long posted = WallClockNs();
        ASSERT_TRUE(PostControlTo(mainWindow, kQuit));
        ASSERT_TRUE(run.WaitForExitMoment(&ended)) << "control code 4 did not end the program";
        codeMs.push_back(MsBetween(posted, ended));
        ASSERT_TRUE(folder.WaitUntilIdle());

        ASSERT_NO_FATAL_FAILURE(StartProgram());
        ASSERT_NO_FATAL_FAILURE(OpenMenu());
        ASSERT_TRUE(tools.BeginTimedClick(checkedMenu.ItemCentre(menuWindow, kExitItem), Button::kLeft));
        ASSERT_TRUE(run.WaitForExitMoment(&ended)) << "\"Exit Rollix\" did not end the program";
        long long clicked = 0;
        ASSERT_TRUE(tools.FinishTimedClick(&clicked)) << tools.CommandLog();
        menuMs.push_back(MsBetween(clicked, ended));
        ASSERT_TRUE(folder.WaitUntilIdle());
        menuWindow = nullptr;
    }
    RecordProperty("code4_ms", Listed(codeMs));
    RecordProperty("exit_rollix_ms", Listed(menuMs));
    EXPECT_LE(Median(menuMs), Median(codeMs) + kMaxExtraMs)
        << "from the click to the end (ms): " << Listed(menuMs) << "; from code 4 to the end (ms): " << Listed(codeMs);
}

TEST_F(TrayMenuE2e, LeftClickTogglesTheHookWithoutAMenuWhileLeftClickEnableToggleIsOn)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram("LeftClickEnableToggle=1\r\n"));
    ASSERT_NO_FATAL_FAILURE(ClickIcon(Button::kLeft));
    ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kHookStop) == 1; })) << "a left click did not disable";
    EXPECT_EQ(OpenMenuWindow(run.ProcessId()), nullptr) << "a left click opened the menu";
    EXPECT_TRUE(WaitFor([&] { return IconColouredPixels() <= kMaxColouredPixelsWhenDisabled; }))
        << "the icon does not show the disabled image; coloured pixels: " << IconColouredPixels();

    // The right button still opens the menu (OpenMenu first makes sure that none is open from the left click),
    // and its check mark follows the toggle.
    ASSERT_NO_FATAL_FAILURE(OpenMenu(Button::kRight));
    ExpectMenuLooksLike(uncheckedMenu, "after-left-toggle");
    ASSERT_NO_FATAL_FAILURE(Choose(kCloseItem));

    ASSERT_NO_FATAL_FAILURE(ClickIcon(Button::kLeft));
    ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kHookStart) == 2; })) << "a left click did not enable";
    EXPECT_EQ(OpenMenuWindow(run.ProcessId()), nullptr) << "a left click opened the menu";
    EXPECT_TRUE(WaitFor([&] { return IconColouredPixels() >= kMinColouredPixelsWhenEnabled; }))
        << "the icon does not show the enabled image again; coloured pixels: " << IconColouredPixels();

    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    EXPECT_EQ(HookStartsAndStops(), (std::vector<std::string>{kHookStart, kHookStop, kHookStart}));
}

TEST_F(TrayMenuE2e, ClickOnTheBareDesktopClosesTheMenuWithoutChoosing)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    POINT outside{};
    ASSERT_TRUE(FindBareDesktopPoint(&outside)) << "every corner of the screen is covered by some window";
    ASSERT_TRUE(tools.ClickAt(outside, Button::kLeft)) << tools.CommandLog();
    ASSERT_TRUE(WaitFor([&] { return OpenMenuWindow(run.ProcessId()) == nullptr; }))
        << "the menu stayed open after a click outside it";

    // The menu's tracking has ended: the icon answers again, with the same menu.
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ExpectMenuLooksLike(checkedMenu, "after-outside-click");
    ASSERT_NO_FATAL_FAILURE(Choose(kCloseItem));
    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    EXPECT_EQ(HookStartsAndStops(), (std::vector<std::string>{kHookStart}));
    EXPECT_TRUE(folder.EditorLaunches().empty());
}

} // namespace
