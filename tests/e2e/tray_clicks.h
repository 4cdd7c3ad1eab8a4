// Real pointer input and real screen pixels for the end-to-end runs of the tray icon and its menu: X clicks
// through xdotool, the notification-area icons that Wine shows, popup menu windows and screen captures.
#pragma once

#include "e2e_harness.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Wine's stand-in notification area (used when no X system tray runs) and the window of each icon in it.
constexpr char kStandaloneTrayClass[] = "__winex11_standalone_tray";
constexpr char kTrayIconClass[] = "__winex11_tray_icon";
// The class of every popup menu window.
constexpr char kMenuWindowClass[] = "#32768";

// X pointer buttons as xdotool numbers them.
enum class Button
{
    kLeft = 1,
    kRight = 3,
};

// Runs X tools (xdotool, ImageMagick's import) from this Windows process: Wine starts Unix programs through
// CreateProcess but gives no handle to wait on, so each command writes its exit status to a marker file that
// is polled for.
class XTools
{
public:
    XTools();

    // True under Wine with xdotool installed; otherwise Problem() says what is missing.
    bool Available() const { return m_problem.empty(); }
    const std::string& Problem() const { return m_problem; }
    static bool UnderWine();

    // Runs a shell script with /bin/sh and waits for it to end; true when it ended with status 0.
    bool RunScript(const std::string& script);
    // Moves the pointer to the screen point and clicks the button there.
    bool ClickAt(POINT point, Button button);
    // Starts the same click without waiting for it, so that the caller can watch what it causes meanwhile;
    // FinishTimedClick waits for it and gives the moment the click had been sent (on the clock of WallClockNs).
    bool BeginTimedClick(POINT point, Button button);
    bool FinishTimedClick(long long* clickedNs);
    // Saves the screen rectangle as a PNG file (a Windows path).
    bool SaveScreenshot(const RECT& area, const std::string& windowsPath);

    // What the commands printed, for failure messages.
    std::string CommandLog() const;

    // The Unix path of an existing Windows path; empty when Wine cannot map it.
    static std::string UnixPath(const std::string& windowsPath);

private:
    static std::string ClickCommand(POINT point, Button button, bool pauseAfter);
    std::string UnixScratchFolder() const;
    // Starts the script; its status file's name goes to statusName. AwaitScript waits for it to end.
    bool LaunchScript(const std::string& script, std::string* statusName);
    bool AwaitScript(const std::string& statusName);

    // Status files and the log of the commands.
    ScratchFolder m_scratch;
    std::string m_problem;
    int m_commands = 0;
    // The status file of a timed click under way.
    std::string m_pendingClick;
};

// Screen pixels as 0x00RRGGBB, row by row from the top.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    bool Empty() const { return pixels.empty(); }
    bool operator==(const Picture& other) const
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
    bool operator!=(const Picture& other) const { return !(*this == other); }
    // Pixels whose channels differ by more than a grey tint: the coloured parts of an image.
    int CountColoured() const;
    // Whether more than one colour appears: a window that has been painted, not just cleared.
    bool HasDetail() const;
    // Writes a 32-bit BMP file, for looking at a failure.
    bool SaveBmp(const std::string& path) const;
};

// What the screen shows in the rectangle now (all processes' windows).
Picture CaptureScreen(const RECT& area);
RECT WindowRectOf(HWND window);
POINT CentreOf(const RECT& rect);

// Icon windows of the notification area, of every process, docked or in Wine's stand-alone tray.
std::vector<HWND> TrayIconWindows();
// Waits for an icon window that was not among the earlier ones; null after the time.
HWND WaitForNewTrayIcon(const std::vector<HWND>& earlier, DWORD timeoutMs);
// Makes sure a click at the icon's centre lands on the icon, lifting its tray above other windows if needed.
bool MakeClickable(HWND icon);

// An icon of this process in the notification area while the object lives. Wine hides its stand-alone tray when
// the last icon leaves it and waits up to 2 s for X to confirm, inside the Shell_NotifyIcon call of the program
// that removed it; while this icon stays, removing another costs about what it costs on Windows.
class OwnTrayIcon
{
public:
    OwnTrayIcon();
    ~OwnTrayIcon();
    OwnTrayIcon(const OwnTrayIcon&) = delete;
    OwnTrayIcon& operator=(const OwnTrayIcon&) = delete;

    // The icon's window in the notification area; null when the icon could not be added.
    HWND IconWindow() const { return m_iconWindow; }

private:
    HWND m_owner = nullptr;
    HWND m_iconWindow = nullptr;
};

// The visible popup menu window of the process; null when none is open.
HWND OpenMenuWindow(DWORD processId);
// A screen point where nothing of any process is shown, so that a click there reaches no window; false when
// the screen has no such corner free.
bool FindBareDesktopPoint(POINT* point);

// One item of a menu as the user should see it.
struct ExpectedItem
{
    const char* text; // nullptr for a separator
    bool checked;
    bool isDefault;
};

// A menu built by this process from the expected items, shown at the pointer as a tray menu is, captured and
// closed again: what the same menu must look like, pixel for pixel, and where its items are.
struct ReferenceMenu
{
    Picture picture;
    // Item rectangles relative to the menu window's top left corner, in item order.
    std::vector<RECT> items;

    bool Valid() const { return !picture.Empty() && !items.empty(); }
    // The screen point at the centre of an item of a menu window that looks like this one.
    POINT ItemCentre(HWND menuWindow, size_t index) const;
};

ReferenceMenu RenderReferenceMenu(const std::vector<ExpectedItem>& items);

} // namespace e2e
