// Real pointer input and screen captures for the tray end-to-end runs: X tools started from Windows code, the
// icon windows of Wine's notification area, popup menu windows, and a reference menu drawn by this process.
#include "tray_clicks.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

// Wine's own exports for moving between Windows and Unix paths; absent on Windows.
using UnixNameRoutine = char*(CDECL*)(const WCHAR*);
using DosNameRoutine = WCHAR*(CDECL*)(const char*);

constexpr char kShell[] = "/bin/sh";
constexpr char kFallbackShell[] = "Z:\\bin\\sh";
constexpr char kScriptOkStatus[] = "0";
constexpr char kClickMomentName[] = "click-moment";
// A channel spread above this tells a coloured pixel from a grey or anti-aliased one.
constexpr int kColouredSpread = 48;
constexpr uint32_t kRgbMask = 0x00FFFFFF;
constexpr int kBitsPerPixel = 32;
// Distance from the screen edge of the points tried for a click on the bare desktop.
constexpr int kEdgeInset = 4;

template <typename Routine> Routine WineExport(const char* module, const char* name)
{
    HMODULE handle = ::GetModuleHandleA(module);
    return handle == nullptr ? nullptr
                             : reinterpret_cast<Routine>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

std::string Folder(const std::string& path)
{
    size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string Name(const std::string& path)
{
    size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Quoted for the shell; the paths here never hold a quote themselves.
std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}

// The reference menu being captured from inside its own tracking loop (a timer runs there, so a static is the
// only way in).
struct ReferenceCapture
{
    HMENU menu = nullptr;
    size_t itemCount = 0;
    DWORD started = 0;
    Picture previous;
    ReferenceMenu result;
    bool finished = false;
};
ReferenceCapture* g_capture = nullptr;

void CALLBACK ReferenceCaptureTick(HWND, UINT, UINT_PTR, DWORD)
{
    ReferenceCapture& capture = *g_capture;
    if (capture.finished)
        return;
    HWND window = OpenMenuWindow(::GetCurrentProcessId());
    if (window != nullptr) {
        RECT frame = WindowRectOf(window);
        Picture now = CaptureScreen(frame);
        // Painted once two looks in a row agree.
        if (now.HasDetail() && now == capture.previous) {
            for (size_t i = 0; i < capture.itemCount; ++i) {
                RECT item{};
                if (!::GetMenuItemRect(nullptr, capture.menu, static_cast<UINT>(i), &item)) {
                    capture.result.items.clear();
                    break;
                }
                ::OffsetRect(&item, -frame.left, -frame.top);
                capture.result.items.push_back(item);
            }
            capture.result.picture = now;
            capture.finished = true;
            ::EndMenu();
            return;
        }
        capture.previous = now;
    }
    if (::GetTickCount() - capture.started > kStartTimeoutMs) {
        capture.finished = true;
        ::EndMenu();
    }
}

} // namespace

XTools::XTools()
{
    if (!UnderWine()) {
        m_problem = "not running under Wine, so there is no X display to click on";
        return;
    }
    if (UnixPath(m_scratch.Path()).empty()) {
        m_problem = "Wine cannot map " + m_scratch.Path() + " to a Unix path";
        return;
    }
    if (!RunScript("command -v xdotool && command -v import"))
        m_problem = "xdotool or ImageMagick's import is missing (scripts/setup.sh installs both)";
}

bool XTools::UnderWine()
{
    return WineExport<void*>("ntdll.dll", "wine_get_version") != nullptr;
}

std::string XTools::UnixPath(const std::string& windowsPath)
{
    auto toUnix = WineExport<UnixNameRoutine>("kernel32.dll", "wine_get_unix_file_name");
    if (toUnix == nullptr)
        return std::string();
    int length = ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::string();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, &wide[0], length);
    char* unixName = toUnix(wide.c_str());
    if (unixName == nullptr)
        return std::string();
    std::string result = unixName;
    ::HeapFree(::GetProcessHeap(), 0, unixName);
    return result;
}

std::string XTools::UnixScratchFolder() const
{
    std::string folder = UnixPath(m_scratch.Path());
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

bool XTools::RunScript(const std::string& script)
{
    std::string name;
    return LaunchScript(script, &name) && AwaitScript(name);
}

bool XTools::LaunchScript(const std::string& script, std::string* statusName)
{
    // The script travels inside one double-quoted argument.
    if (script.find('"') != std::string::npos)
        return false;
    char name[32];
    std::snprintf(name, sizeof name, "status-%d", ++m_commands);
    *statusName = name;
    std::string unixFolder = UnixScratchFolder();
    if (unixFolder.empty())
        return false;
    std::string status = unixFolder + name;
    std::string log = unixFolder + "commands.log";
    // The status appears whole, by a rename, once the script has ended.
    std::string wrapped = "( " + script + " ) >> " + Quoted(log) + " 2>&1; echo $? > " + Quoted(status + ".tmp") +
                          "; mv " + Quoted(status + ".tmp") + " " + Quoted(status);

    std::string shell = kFallbackShell;
    auto toDos = WineExport<DosNameRoutine>("kernel32.dll", "wine_get_dos_file_name");
    if (WCHAR* dosName = toDos != nullptr ? toDos(kShell) : nullptr) {
        char converted[MAX_PATH];
        if (::WideCharToMultiByte(CP_ACP, 0, dosName, -1, converted, sizeof converted, nullptr, nullptr) > 0)
            shell = converted;
        ::HeapFree(::GetProcessHeap(), 0, dosName);
    }
    std::string commandLine = std::string(kShell) + " -c \"" + wrapped + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(shell.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started))
        return false;
    // Wine hands back no handles for a Unix process; close whatever it did give.
    if (started.hThread != nullptr)
        ::CloseHandle(started.hThread);
    if (started.hProcess != nullptr)
        ::CloseHandle(started.hProcess);
    return true;
}

bool XTools::AwaitScript(const std::string& statusName)
{
    std::string statusFile = m_scratch.File(statusName);
    if (!WaitFor([&] { return m_scratch.Exists(statusName); }, kStartTimeoutMs))
        return false;
    std::vector<std::string> result = Lines(ReadFileText(statusFile));
    ::DeleteFileA(statusFile.c_str());
    return result.size() == 1 && result[0] == kScriptOkStatus;
}

std::string XTools::ClickCommand(POINT point, Button button, bool pauseAfter)
{
    // One xdotool run keeps the move and the click in order. No "--sync": it waits for a motion event, and when
    // the pointer already rests on the point none comes, which stalls the run for many seconds. xdotool pauses
    // 100 ms after a click unless told "--delay 0".
    char command[96];
    std::snprintf(command, sizeof command, "xdotool mousemove %ld %ld click %s%d", point.x, point.y,
                  pauseAfter ? "" : "--delay 0 ", static_cast<int>(button));
    return command;
}

bool XTools::ClickAt(POINT point, Button button)
{
    return RunScript(ClickCommand(point, button, true));
}

bool XTools::BeginTimedClick(POINT point, Button button)
{
    std::string unixFolder = UnixScratchFolder();
    if (unixFolder.empty() || !m_pendingClick.empty())
        return false;
    // The shell notes the moment as soon as xdotool has sent the click (without its pause after it); taken here,
    // it would include the start of a Unix process from Wine, which costs more than the differences measured.
    ::DeleteFileA(m_scratch.File(kClickMomentName).c_str());
    return LaunchScript(ClickCommand(point, button, false) + " && date +%s%N > " +
                            Quoted(unixFolder + kClickMomentName),
                        &m_pendingClick);
}

bool XTools::FinishTimedClick(long long* clickedNs)
{
    std::string status = m_pendingClick;
    m_pendingClick.clear();
    if (status.empty() || !AwaitScript(status))
        return false;
    std::vector<std::string> lines = Lines(ReadFileText(m_scratch.File(kClickMomentName)));
    if (lines.size() != 1 || lines[0].empty())
        return false;
    char* end = nullptr;
    *clickedNs = std::strtoll(lines[0].c_str(), &end, 10);
    return *end == '\0' && *clickedNs > 0;
}

bool XTools::SaveScreenshot(const RECT& area, const std::string& windowsPath)
{
    std::string folder = UnixPath(Folder(windowsPath));
    if (folder.empty())
        return false;
    if (folder.back() != '/')
        folder += '/';
    char crop[64];
    std::snprintf(crop, sizeof crop, "%ldx%ld+%ld+%ld", area.right - area.left, area.bottom - area.top, area.left,
                  area.top);
    return RunScript("import -window root -crop " + std::string(crop) + " +repage " +
                     Quoted(folder + Name(windowsPath)));
}

std::string XTools::CommandLog() const
{
    return ReadFileText(m_scratch.File("commands.log"));
}

int Picture::CountColoured() const
{
    int coloured = 0;
    for (uint32_t pixel : pixels) {
        int red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
        int spread = std::max({red, green, blue}) - std::min({red, green, blue});
        if (spread > kColouredSpread)
            ++coloured;
    }
    return coloured;
}

bool Picture::HasDetail() const
{
    return std::any_of(pixels.begin(), pixels.end(), [this](uint32_t pixel) { return pixel != pixels.front(); });
}

bool Picture::SaveBmp(const std::string& path) const
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height; // rows from the top, as stored
    header.biPlanes = 1;
    header.biBitCount = kBitsPerPixel;
    header.biCompression = BI_RGB;
    DWORD dataSize = static_cast<DWORD>(pixels.size() * sizeof(uint32_t));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + dataSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(pixels.data()), dataSize);
    return WriteFileText(path, bytes);
}

Picture CaptureScreen(const RECT& area)
{
    Picture picture;
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return picture;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
        HGDIOBJ previous = ::SelectObject(memory, bitmap);
        if (::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT)) {
            ::GdiFlush();
            const auto* source = static_cast<const uint32_t*>(bits);
            picture.width = width;
            picture.height = height;
            picture.pixels.reserve(static_cast<size_t>(width) * height);
            for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
                picture.pixels.push_back(source[i] & kRgbMask);
        }
        ::SelectObject(memory, previous);
    }
    if (bitmap != nullptr)
        ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return picture;
}

RECT WindowRectOf(HWND window)
{
    RECT rect{};
    if (window != nullptr)
        ::GetWindowRect(window, &rect);
    return rect;
}

POINT CentreOf(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::vector<HWND> TrayIconWindows()
{
    std::vector<HWND> icons;
    for (HWND tray = ::FindWindowExA(nullptr, nullptr, kStandaloneTrayClass, nullptr); tray != nullptr;
         tray = ::FindWindowExA(nullptr, tray, kStandaloneTrayClass, nullptr)) {
        for (HWND icon = ::FindWindowExA(tray, nullptr, kTrayIconClass, nullptr); icon != nullptr;
             icon = ::FindWindowExA(tray, icon, kTrayIconClass, nullptr))
            if (::IsWindowVisible(icon))
                icons.push_back(icon);
    }
    // Docked into an X system tray, each icon is a top-level window of its own.
    for (HWND icon = ::FindWindowExA(nullptr, nullptr, kTrayIconClass, nullptr); icon != nullptr;
         icon = ::FindWindowExA(nullptr, icon, kTrayIconClass, nullptr))
        if (::IsWindowVisible(icon))
            icons.push_back(icon);
    return icons;
}

OwnTrayIcon::OwnTrayIcon()
{
    m_owner =
        ::CreateWindowExA(0, "STATIC", "tray icon of the test", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (m_owner == nullptr)
        return;
    std::vector<HWND> earlier = TrayIconWindows();
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_owner;
    data.uID = 1;
    data.uFlags = NIF_ICON;
    data.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    if (::Shell_NotifyIconA(NIM_ADD, &data))
        m_iconWindow = WaitForNewTrayIcon(earlier, kStartTimeoutMs);
}

OwnTrayIcon::~OwnTrayIcon()
{
    if (m_owner == nullptr)
        return;
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_owner;
    data.uID = 1;
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    ::DestroyWindow(m_owner);
}

HWND WaitForNewTrayIcon(const std::vector<HWND>& earlier, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND icon : TrayIconWindows())
                if (std::find(earlier.begin(), earlier.end(), icon) == earlier.end()) {
                    found = icon;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

bool MakeClickable(HWND icon)
{
    auto onTop = [icon] { return ::IsWindow(icon) && ::WindowFromPoint(CentreOf(WindowRectOf(icon))) == icon; };
    if (onTop())
        return true;
    // Another test's window may cover the tray; keeping the tray above all others is harmless to it.
    ::SetWindowPos(::GetAncestor(icon, GA_ROOT), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return WaitFor(onTop, kExitTimeoutMs);
}

HWND OpenMenuWindow(DWORD processId)
{
    for (HWND window = ::FindWindowExA(nullptr, nullptr, kMenuWindowClass, nullptr); window != nullptr;
         window = ::FindWindowExA(nullptr, window, kMenuWindowClass, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId && ::IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

bool FindBareDesktopPoint(POINT* point)
{
    int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    const POINT candidates[] = {
        {width - kEdgeInset, height - kEdgeInset}, {width - kEdgeInset, height / 2}, {width / 2, height - kEdgeInset},
        {kEdgeInset, height - kEdgeInset},         {width - kEdgeInset, kEdgeInset},
    };
    for (const POINT& candidate : candidates) {
        HWND below = ::WindowFromPoint(candidate);
        if (below == nullptr || below == ::GetDesktopWindow()) {
            *point = candidate;
            return true;
        }
    }
    return false;
}

POINT ReferenceMenu::ItemCentre(HWND menuWindow, size_t index) const
{
    RECT frame = WindowRectOf(menuWindow);
    RECT item = index < items.size() ? items[index] : RECT{};
    ::OffsetRect(&item, frame.left, frame.top);
    return CentreOf(item);
}

ReferenceMenu RenderReferenceMenu(const std::vector<ExpectedItem>& items)
{
    HMENU menu = ::CreatePopupMenu();
    for (const ExpectedItem& expected : items) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        item.wID = static_cast<UINT>(::GetMenuItemCount(menu) + 1);
        if (expected.text == nullptr) {
            item.fMask = MIIM_FTYPE | MIIM_ID;
            item.fType = MFT_SEPARATOR;
        } else {
            item.fType = MFT_STRING;
            item.fState = (expected.checked ? MFS_CHECKED : 0) | (expected.isDefault ? MFS_DEFAULT : 0);
            item.dwTypeData = const_cast<char*>(expected.text);
        }
        ::InsertMenuItemA(menu, static_cast<UINT>(::GetMenuItemCount(menu)), TRUE, &item);
    }
    // A hidden window of this thread owns the menu, as the program's hidden window owns its own.
    HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);

    ReferenceCapture capture;
    capture.menu = menu;
    capture.itemCount = items.size();
    capture.started = ::GetTickCount();
    g_capture = &capture;
    UINT_PTR timer = ::SetTimer(nullptr, 0, kPollIntervalMs, ReferenceCaptureTick);
    // Opened at the pointer with the program's flags (none), so that the pointer rests where it does on the tray
    // menu: on the menu's frame, above no item.
    POINT pointer{};
    ::GetCursorPos(&pointer);
    ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, pointer.x, pointer.y, 0, owner, nullptr);
    ::KillTimer(nullptr, timer);
    g_capture = nullptr;
    ::DestroyWindow(owner);
    ::DestroyMenu(menu);
    if (capture.result.items.size() != items.size())
        capture.result = ReferenceMenu{};
    return capture.result;
}

} // namespace e2e
