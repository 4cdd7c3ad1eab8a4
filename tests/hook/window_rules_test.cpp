// The class and style rules: full screen, windows to look past, windows never to activate.
#include "window_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kVisible = WindowStyle::kVisible;
constexpr std::uint32_t kOverlappedWindow = 0x00CF0000 | kVisible; // caption, system menu, sizing frame, buttons
constexpr std::uint32_t kPopup = 0x80000000 | kVisible;
constexpr std::uint32_t kMaximized = WindowStyle::kMaximize;

const ScreenRect kMonitor = ScreenRect{0, 0, 1920, 1080};

struct FullScreenCase
{
    const char* m_name;
    const char* m_className;
    std::uint32_t m_style;
    ScreenRect m_window;
    ScreenRect m_monitor;
    bool m_ownProcess;
    bool m_fullScreen;
};

void PrintTo(const FullScreenCase& c, std::ostream* os)
{
    *os << c.m_name;
}

const FullScreenCase kFullScreenCases[] = {
    {"GameCoveringItsMonitor", "UnityWndClass", kPopup, kMonitor, kMonitor, false, true},
    {"BorderlessWindowLargerThanItsMonitor", "Game", kPopup, ScreenRect{-3, -3, 1923, 1083}, kMonitor, false, true},
    {"PresentationOnAMonitorLeftOfThePrimary", "screenClass", kPopup, ScreenRect{-1920, -200, 0, 880},
     ScreenRect{-1920, -200, 0, 880}, false, true},
    {"BrowserInItsOwnFullScreenModeHasNoFrame", "Chrome_WidgetWin_1", kPopup | kMaximized, kMonitor, kMonitor, false,
     true},
    // A maximized window's frame hangs over the monitor's edges; without a taskbar on that monitor its window
    // rectangle covers the monitor whole.
    {"MaximizedCaptionedWindowOnAMonitorWithoutTaskbar", "Notepad", kOverlappedWindow | kMaximized,
     ScreenRect{-8, -8, 1928, 1088}, kMonitor, false, false},
    {"MaximizedCaptionedWindowWithTaskbar", "Notepad", kOverlappedWindow | kMaximized, ScreenRect{-8, -8, 1928, 1048},
     kMonitor, false, false},
    // Browsers and editors on web frameworks keep the caption style and draw their own title bar over it.
    {"MaximizedWindowDrawingItsOwnTitleBar", "Chrome_WidgetWin_1", kOverlappedWindow | kMaximized,
     ScreenRect{-8, -8, 1928, 1088}, kMonitor, false, false},
    {"MaximizedFramelessWindowWithSizingBorder", "Electron", kPopup | WindowStyle::kThickFrame | kMaximized,
     ScreenRect{-8, -8, 1928, 1088}, ScreenRect{0, 0, 1920, 1080}, false, false},
    {"MaximizedOnTheSecondMonitor", "Notepad", kOverlappedWindow | kMaximized, ScreenRect{1912, -8, 3848, 1088},
     ScreenRect{1920, 0, 3840, 1080}, false, false},
    {"BorderlessWindowSmallerThanItsMonitor", "Game", kPopup, ScreenRect{0, 0, 1280, 720}, kMonitor, false, false},
    {"WindowOnTheOtherMonitor", "Game", kPopup, kMonitor, ScreenRect{1920, 0, 3840, 1080}, false, false},
    {"TheDesktopCoversTheScreenButIsNoProgram", "Progman", kPopup, kMonitor, kMonitor, false, false},
    {"TheProgramsOwnWindowDoesNotCount", "Game", kPopup, kMonitor, kMonitor, true, false},
    {"UnknownMonitorDoesNotCount", "Game", kPopup, kMonitor, ScreenRect{0, 0, 0, 0}, false, false},
};

class FullScreenForeground : public testing::TestWithParam<FullScreenCase>
{
};

TEST_P(FullScreenForeground, Detects)
{
    const FullScreenCase& c = GetParam();
    ForegroundFacts foreground;
    foreground.m_present = true;
    foreground.m_ownProcess = c.m_ownProcess;
    foreground.m_window = {c.m_className, c.m_style, 0};
    foreground.m_windowRect = c.m_window;
    foreground.m_monitorRect = c.m_monitor;
    EXPECT_EQ(IsFullScreenForeground(foreground), c.m_fullScreen);
}

INSTANTIATE_TEST_SUITE_P(Cases, FullScreenForeground, testing::ValuesIn(kFullScreenCases),
                         [](const testing::TestParamInfo<FullScreenCase>& info) { return info.param.m_name; });

TEST(FullScreenForegroundFacts, NoForegroundWindowIsNoFullScreen)
{
    EXPECT_FALSE(IsFullScreenForeground(ForegroundFacts()));
}

TEST(WheelObstacles, GroupBoxesTooltipsAndTransparentHiddenOrDisabledWindows)
{
    const std::uint32_t child = WindowStyle::kChild | kVisible;
    EXPECT_TRUE(IsWheelObstacle({"Button", child | WindowStyle::kGroupBox, 0}));
    EXPECT_TRUE(IsWheelObstacle({"BUTTON", child | WindowStyle::kGroupBox, 0})) << "class names ignore case";
    EXPECT_FALSE(IsWheelObstacle({"Button", child | 0x0, 0})) << "a push button takes the wheel";
    EXPECT_FALSE(IsWheelObstacle({"Button", child | 0xB, 0})) << "owner-drawn (0xB) only shares bits with 7";
    EXPECT_FALSE(IsWheelObstacle({"Static", child | WindowStyle::kGroupBox, 0})) << "style 7 means more in Static";
    EXPECT_TRUE(IsWheelObstacle({"tooltips_class32", kPopup, 0}));
    const std::uint32_t seeThrough = WindowExStyle::kTransparent | WindowExStyle::kLayered;
    EXPECT_TRUE(IsWheelObstacle({"Panel", child, seeThrough}));
    EXPECT_FALSE(IsWheelObstacle({"Panel", child, WindowExStyle::kTransparent})) << "the hit test stops there";
    EXPECT_FALSE(IsWheelObstacle({"Panel", child, WindowExStyle::kLayered}));
    EXPECT_TRUE(IsWheelObstacle({"Notepad", kOverlappedWindow, 0, true})) << "cloaked";
    EXPECT_TRUE(IsWheelObstacle({"ListBox", WindowStyle::kChild, 0})) << "hidden";
    EXPECT_TRUE(IsWheelObstacle({"ListBox", child | WindowStyle::kDisabled, 0}));
    EXPECT_FALSE(IsWheelObstacle({"ListBox", child, 0}));
    EXPECT_FALSE(IsWheelObstacle({nullptr, child, 0}));
}

TEST(Activation, OnlyVisibleTopLevelWindowsThatAreNoToolWindowsNorShellNorPopups)
{
    auto owner = [](const char* className, std::uint32_t style, std::uint32_t exStyle) {
        ActivationFacts facts;
        facts.m_present = true;
        facts.m_window = {className, style, exStyle};
        return facts;
    };
    EXPECT_TRUE(IsActivatable(owner("Notepad", kOverlappedWindow, 0)));
    EXPECT_TRUE(IsActivatable(owner("#32770", kPopup, 0)));
    EXPECT_FALSE(IsActivatable(owner("Notepad", kOverlappedWindow & ~kVisible, 0)));
    EXPECT_FALSE(IsActivatable(owner("Palette", kPopup, WindowExStyle::kToolWindow)));
    EXPECT_FALSE(IsActivatable(owner("Edit", WindowStyle::kChild | kVisible, 0)));
    EXPECT_FALSE(IsActivatable(owner("Progman", kPopup, 0)));
    EXPECT_FALSE(IsActivatable(owner("Shell_SecondaryTrayWnd", kPopup, 0)));
    EXPECT_FALSE(IsActivatable(owner("#32768", kPopup, 0)));
    EXPECT_FALSE(IsActivatable(owner("ComboLBox", kPopup, 0)));
    EXPECT_FALSE(IsActivatable(ActivationFacts()));
}

TEST(WindowClasses, PopupAndSystemRoutedTables)
{
    EXPECT_TRUE(IsTransientPopupClass("comboLbox"));
    EXPECT_TRUE(IsTransientPopupClass("#32768"));
    EXPECT_FALSE(IsTransientPopupClass("ComboBox"));
    EXPECT_FALSE(IsTransientPopupClass("#3276"));
    EXPECT_FALSE(IsTransientPopupClass(nullptr));
    EXPECT_TRUE(IsSystemRoutedClass("#32768"));
    EXPECT_FALSE(IsSystemRoutedClass("ComboLBox")) << "a drop-down list scrolls from a posted wheel";
}

TEST(WindowClasses, TheXamlFamilyAnywhereOnTheChain)
{
    const char* const family[] = {"Windows.UI.Core.CoreWindow",
                                  "Windows.UI.Input.InputSite.WindowClass",
                                  "Windows.UI.Composition.DesktopWindowContentBridge",
                                  "Microsoft.UI.Content.DesktopChildSiteBridge",
                                  "InputSiteWindowClass",
                                  "Xaml_WindowedPopupClass",
                                  "Microsoft.UI.Content.PopupWindowSiteBridge"};
    for (const char* name : family) {
        for (int at = 0; at < 3; ++at) {
            const char* chain[] = {"Control", "Host", "TopLevel"};
            chain[at] = name;
            EXPECT_TRUE(IsSystemRoutedChain(chain, 3)) << name << " at " << at;
            EXPECT_FALSE(IsSystemRoutedChain(chain, at)) << "only the chain's count is read";
        }
    }
}

} // namespace
