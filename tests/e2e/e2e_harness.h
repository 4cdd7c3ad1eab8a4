// End-to-end harness: runs the built program as a real process in a fresh folder beside the recording hook
// library and the stand-in settings editor, talks to it as other processes do, and reads what it left behind.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Process starts under Wine take seconds on a busy machine; these bound every wait, they are not pauses.
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;
constexpr DWORD kPollIntervalMs = 20;
// Exit code given to a process that the harness had to end.
constexpr UINT kKilledExitCode = 0xDEAD;

constexpr char kMainWindowClass[] = "obj_Form";
// The hidden window that carries the program's timers.
constexpr char kTimerWindowClass[] = "obj_";
constexpr char kMainWindowCaption[] = "Rollix Portable";
constexpr char kControlMessageName[] = "WM_ROLLIX_MSG";
constexpr char kErrorBoxCaption[] = "Application Error";

constexpr char kProgramName[] = "RollixPortable.exe";
constexpr char kHookLibraryName[] = "RollixHook.dll";
constexpr char kEditorName[] = "RollixConfig.exe";
constexpr char kSettingsName[] = "rollix.ini";
constexpr char kHookLogName[] = "hooklog.txt";
constexpr char kHookTimeName[] = "hooktime.txt";
constexpr char kEditorLogName[] = "editor-launches.txt";

// The control codes other processes post with WM_ROLLIX_MSG.
enum ControlCode : WPARAM
{
    kReloadSettings = 1,
    kEnableHook = 2,
    kDisableHook = 3,
    kQuit = 4,
    kOpenSettings = 5,
    kRestart = 6,
    kRestartElevated = 7,
    kActivateWindow = 8,
    kReloadTrayIconSetting = 9,
};

// Polls the condition until it holds or the time runs out, pumping this thread's messages meanwhile.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kStartTimeoutMs);

// Nanoseconds since 1970 on the wall clock, which Wine and Unix tools read alike: a moment that a Unix tool
// took compares with one taken here.
long long WallClockNs();

// A path as the build wrote it ("/tmp/b/x.exe" under Wine, "C:/b/x.exe" on Windows) as Windows opens it.
std::string WindowsPath(const std::string& builtPath);
// Case-insensitive, as Windows compares paths; trailing backslashes do not count.
bool SamePath(const std::string& a, const std::string& b);
// Lines of a text, without line ends; a last empty line is dropped.
std::vector<std::string> Lines(const std::string& text);
// The whole file, read while another process may be writing it; empty when missing.
std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
std::string WindowText(HWND window);
// Empty when this process can load an icon, else why not. In a 32-bit process of Wine 8.0's WoW64 mode none loads,
// nor in the program beside it, which has the same width: tests of the tray icon then fail at once, saying why,
// instead of waiting out their time.
std::string IconLoadFault();

// A fresh empty folder, removed with everything in it when the object goes.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Full long path with a trailing backslash.
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }
    bool Exists(const std::string& name) const;

private:
    std::string m_path;
};

// One line of the stand-in editor's log.
struct EditorLaunch
{
    std::string directory;
    std::string commandLine;
};

// A folder holding the program, the recording RollixHook.dll and the stand-in editor as RollixConfig.exe.
// Whatever still runs from it is ended before it is removed.
class ProgramFolder
{
public:
    ProgramFolder();
    ~ProgramFolder();

    const std::string& Path() const { return m_folder.Path(); }
    std::string File(const std::string& name) const { return m_folder.File(name); }
    std::string ProgramPath() const { return File(kProgramName); }
    bool Ready() const { return m_ready; }

    void WriteSettings(const std::string& text) const;
    std::string ReadSettings() const;
    bool SettingsExist() const { return m_folder.Exists(kSettingsName); }
    // Non-blank lines of rollix.ini with their blanks trimmed.
    std::vector<std::string> SettingsLines() const;
    // A folder in place of rollix.ini, so that no write to it can succeed.
    bool MakeSettingsUnwritable() const;

    // The recording hook library's calls, one line each ("RollixHookStart 0 3 0").
    std::vector<std::string> HookLog() const;
    int CountHookCalls(const std::string& line) const;
    // What GetLastMouseMessageTime reports: "age <seconds>" or an absolute date; removed, it reports now.
    void SetHookTime(const std::string& text) const;

    std::vector<EditorLaunch> EditorLaunches() const;

    // Ids of the live processes whose program file lies in this folder.
    std::vector<DWORD> RunningProcesses() const;
    // Waits until no process runs from this folder (editors started by the program included).
    bool WaitUntilIdle(DWORD timeoutMs = kExitTimeoutMs) const;
    // Ends every process that runs from this folder, each through its own handle.
    void KillLeftovers() const;

private:
    ScratchFolder m_folder;
    bool m_ready = false;
};

// One run of the program as a real process. Ended through its handle when the object goes, if still running.
class ProgramRun
{
public:
    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Starts the program file with the arguments (may be empty) in the working folder (the program's own
    // folder when empty). False when the process could not be created or the last one still runs.
    bool Start(const std::string& programPath, const std::string& arguments,
               const std::string& workingFolder = std::string());
    bool Start(const ProgramFolder& folder, const std::string& arguments,
               const std::string& workingFolder = std::string())
    {
        return Start(folder.ProgramPath(), arguments, workingFolder.empty() ? folder.Path() : workingFolder);
    }

    // Takes over a copy that was not started here (one the program started itself), by its process id.
    bool Attach(DWORD processId);

    DWORD ProcessId() const { return m_processId; }
    bool IsRunning() const;
    // "running", "ended with code N" or "not started", for failure messages.
    std::string State() const;
    // True once the process has ended within the time; its exit code goes to exitCode.
    bool WaitForExit(DWORD* exitCode, DWORD timeoutMs = kExitTimeoutMs);
    // True once the process has ended within the time; the moment it ended goes to endedNs (WallClockNs).
    bool WaitForExitMoment(long long* endedNs, DWORD timeoutMs = kExitTimeoutMs);
    void Kill();

    // The program's hidden main window, found as a second copy finds it; null when it has none (yet).
    HWND MainWindow() const;
    HWND WaitForMainWindow(DWORD timeoutMs = kStartTimeoutMs) const;
    bool PostControl(WPARAM code, LPARAM lParam = 0) const;
    bool PostClose() const;
    // The hidden top-level window of class "obj_" that holds the program's timers; null when it has none.
    HWND TimerWindow() const;
    // The command line the process was started with, read from the process itself; empty when unreadable.
    std::string CommandLine() const;

    // A message box titled "Application Error" belonging to this process.
    HWND ErrorBox() const;
    HWND WaitForErrorBox(DWORD timeoutMs = kStartTimeoutMs) const;

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

// Main windows of the program ("obj_Form", "Rollix Portable") of any process.
std::vector<HWND> RunningCopies();
// Waits until no copy of the program runs anywhere, so that a start is not taken for a second one.
bool WaitUntilNoCopyRuns(DWORD timeoutMs = kExitTimeoutMs);
// Waits for a running copy whose process is not the one given (0: any copy) and returns its process id, or 0.
DWORD WaitForCopyOtherThan(DWORD processId, DWORD timeoutMs = kStartTimeoutMs);
DWORD WindowProcess(HWND window);
// The top-level window of the class that belongs to the process; null when there is none.
HWND TopLevelWindowOf(DWORD processId, const std::string& className);
// Posts WM_ROLLIX_MSG with the control code to any window, as another program would.
bool PostControlTo(HWND window, WPARAM code, LPARAM lParam = 0);
// The first parameter after the program's name in a command line, without its enclosing quotes.
std::string FirstParameter(const std::string& commandLine);

// Moves the pointer and reports whether it arrived there.
bool PlacePointer(POINT where);

// Icons shown in the notification area. Without a virtual desktop Wine's explorer shows each one as a child
// window of class "__winex11_tray_icon" inside its top-level "__winex11_standalone_tray" window (an icon docked
// into an X tray is a top-level window of that class). Nothing outside explorer tells whose icon it is, so a
// test compares the count before and after the program shows or removes its own.
int TrayIconCount();

// The message text of a message box (its longest static text).
std::string MessageBoxText(HWND box);
// Presses the box's OK button.
bool DismissMessageBox(HWND box);

} // namespace e2e
