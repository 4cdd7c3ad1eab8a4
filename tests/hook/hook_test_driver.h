// Drives the real RollixHook.dll under Wine: the target window's process, real pointer events from xdotool, and a
// pump that keeps this thread, which holds the hook, answering while the tests wait.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// Pumps this thread's messages until done() holds or the time is up; pollMs is the longest sleep between checks.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = 10);

// Local time now in days since 30 December 1899, as the program's watchdog reads it.
double LocalNowOle();

// A folder for this process's files, under /tmp so that shell commands reach it by its Unix name.
class WorkFolder
{
  public:
    WorkFolder();
    ~WorkFolder();
    std::string WindowsPath(const std::string& name) const { return m_windowsPath + "\\" + name; }
    std::string UnixPath(const std::string& name) const { return m_unixPath + "/" + name; }

  private:
    std::string m_windowsPath;
    std::string m_unixPath;
};

// Runs xdotool with the given arguments ("mousemove 200 200 click 4") and pumps until it has finished.
bool RunXdotool(const WorkFolder& folder, const std::string& arguments);

struct LoggedMessage
{
    long long m_time = 0;  // performance counter
    std::string m_window;  // top, child, core, focus
    std::string m_message; // wheel, hwheel, vscroll, hscroll
    unsigned m_wParam = 0;
    unsigned m_lParam = 0;

    int Delta() const { return static_cast<short>(m_wParam >> 16); }
    int Code() const { return static_cast<int>(m_wParam & 0xFFFFu); }
};

class TargetWindowProcess
{
  public:
    explicit TargetWindowProcess(const WorkFolder& folder) : m_folder(folder) {}
    ~TargetWindowProcess() { Stop(); }
    // options: "capture", "fullscreen", "maximized", "ownframe", "tooltip", "modal"; returns once the windows are up.
    // exe: the target program, by default the one built beside the tests (a copy may give it another name).
    bool Start(const std::string& options, const std::string& exe = ROLLIX_TARGET_EXE);
    void Stop();
    std::vector<LoggedMessage> Log() const;
    // Pumps until the log holds at least count messages for window and message.
    bool WaitFor(const std::string& window, const std::string& message, std::size_t count) const;
    std::size_t Count(const std::string& window, const std::string& message) const;
    // The log's entries for one window and message, in arrival order, and their wheel deltas or scroll codes.
    std::vector<LoggedMessage> Of(const std::string& window, const std::string& message) const;
    std::vector<int> Deltas(const std::string& window, const std::string& message) const;
    std::vector<int> Codes(const std::string& window, const std::string& message) const;

    // A window of the process by its name in the log ("list", "group", "droplist", "tooltip"...), or null.
    HWND Window(const std::string& name) const;

    HWND m_top = nullptr;
    HWND m_child = nullptr;
    HWND m_core = nullptr;
    HWND m_focus = nullptr;

  private:
    const WorkFolder& m_folder;
    HANDLE m_process = nullptr;
    std::map<std::string, HWND> m_windows;
};

// Another program's low-level mouse hook, installed before the library's; it logs the wheel deltas it sees.
class OtherHookProcess
{
  public:
    explicit OtherHookProcess(const WorkFolder& folder) : m_folder(folder) {}
    ~OtherHookProcess();
    // options: "", "swallow-up" or "reverse"; returns once the hook is installed.
    bool Start(const std::string& options);
    std::vector<int> WheelDeltas() const;

  private:
    const WorkFolder& m_folder;
    HANDLE m_process = nullptr;
};

POINT CenterOf(HWND window);
std::string MoveAndClick(POINT point, int button);

// A wheel left to the system reaches the focused window through the input queue, which keeps its order and is read
// only after the posted messages: once this notch, aimed at the system-routed window, has reached the focus,
// everything the earlier events caused has arrived.
bool WheelFence(const WorkFolder& folder, const TargetWindowProcess& target);

// The real library, loaded by its full path: the test folder holds the recording double under the same name.
class HookLibrary
{
  public:
    ~HookLibrary();
    // The library built beside the tests, or a copy of it (which reads the rollix.ini beside itself).
    bool Load(const std::string& path = ROLLIX_HOOK_DLL);
    bool Load(const std::wstring& path);
    void Start(int convertToScroll, int linesToScroll, int flags) { m_start(convertToScroll, linesToScroll, flags); }
    void Stop() { m_stop(); }
    double LastMouseMessageTime() { return m_lastTime(); }
    // The latest wheel callbacks' durations as the library times them on its hook thread (microseconds).
    std::vector<double> CallbackTimes(int latest);
    // Another export of the loaded library, or null.
    FARPROC Export(const char* name) const { return m_module != nullptr ? GetProcAddress(m_module, name) : nullptr; }

  private:
    bool FindExports();

    HMODULE m_module = nullptr;
    void(WINAPI* m_start)(int, int, int) = nullptr;
    void(WINAPI* m_stop)() = nullptr;
    double(WINAPI* m_lastTime)() = nullptr;
    int(WINAPI* m_callbackTimes)(double*, int) = nullptr;
};

// Stands in for the program's hidden main window and records the control codes it receives.
class FakeProgramWindow
{
  public:
    bool Create();
    ~FakeProgramWindow();

    struct Control
    {
        WPARAM m_code;
        LPARAM m_lParam;
    };
    std::vector<Control> m_controls;

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window = nullptr;
    UINT m_controlMessage = 0;
};
