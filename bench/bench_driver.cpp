// RollixBench.exe: measures Rollix Portable against the floor program (RollixFloor.exe) under Wine: start-up until a
// second process finds the main window, CPU time while idle (also against the tick floor, RollixTickFloor.exe),
// and control round trips; prints a Markdown table.
#include "bench_stats.h"
#include "e2e_harness.h"

#include <winternl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// The floor program as the build wrote it; it is copied into a folder of its own, as the program is.
constexpr char kBuiltFloor[] = ROLLIX_BENCH_FLOOR;
constexpr char kFloorName[] = "RollixFloor.exe";
constexpr char kFloorCaption[] = "Rollix Floor";
// The floor with the work of every idle wake that the program cannot leave out.
constexpr char kBuiltTickFloor[] = ROLLIX_BENCH_TICK_FLOOR;
constexpr char kTickFloorName[] = "RollixTickFloor.exe";
constexpr char kTickFloorCaption[] = "Rollix Tick Floor";
constexpr char kMinimalSettings[] = "[config]\r\nFirstTime=0\r\n";

constexpr char kReleaseProgram[] = "RollixPortable.exe";
constexpr char kReleaseHook[] = "RollixHook.dll";
constexpr char kReleaseEditor[] = "RollixConfig.exe";

// What the recording hook library writes for each call (one line each).
constexpr char kHookStopLine[] = "RollixHookStop";
constexpr char kHookStartPrefix[] = "RollixHookStart ";

// Polling a window lookup every millisecond keeps the start-up's resolution far below its length (hundreds of ms)
// without keeping a core busy that the starting process needs.
constexpr DWORD kFindPollMs = 1;
// A change notification wakes the round trip's wait at once; the short timeout only bounds a missed one.
constexpr DWORD kEffectPollMs = 1;
constexpr DWORD kEffectTimeoutMs = 5000;
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kSettleTimeoutMs = 5000;
constexpr int kHighPercentile = 95;
constexpr double kMsPer100ns = 1e-4;
constexpr double kNsPerMs = 1e6;
constexpr size_t kProcessListBytes = 256 * 1024;
constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr char kUnixProcRoot[] = "Z:\\proc\\";
constexpr char kUnixProcesses[] = "Z:\\proc\\*";
constexpr char kPrefixVariable[] = "WINEPREFIX";
constexpr DWORD kMsPerSecond = 1000;

int g_failures = 0;

void Fail(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::fputs("RollixBench: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputs("\n", stderr);
    va_end(arguments);
    ++g_failures;
}

double NowMs()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / kMsPerSecond;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// The top-level window of that caption owned by that process, as a second copy would look for it.
HWND FindOwnWindow(const char* caption, DWORD processId)
{
    HWND window = ::FindWindowA(e2e::kMainWindowClass, caption);
    DWORD owner = 0;
    if (window != nullptr)
        ::GetWindowThreadProcessId(window, &owner);
    return owner == processId ? window : nullptr;
}

std::optional<ULONGLONG> FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Kernel plus user time of the process so far, in milliseconds, from the system's process list. Wine 8 answers
// GetProcessTimes for another process with the caller's own times; its process list has the right ones.
std::optional<double> CpuTimeMs(DWORD processId)
{
    std::vector<unsigned char> buffer(kProcessListBytes);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = ::NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                                static_cast<ULONG>(buffer.size()), &needed)) ==
           kStatusInfoLengthMismatch) {
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
    }
    if (status < 0)
        return std::nullopt;
    for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
        if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == processId)
            return static_cast<double>(entry->KernelTime.QuadPart + entry->UserTime.QuadPart) * kMsPer100ns;
        if (entry->NextEntryOffset == 0)
            return std::nullopt;
        offset += entry->NextEntryOffset;
    }
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The same process as Linux accounts for it: CPU time to the nanosecond and the times it was woken.
struct UnixAccount
{
    double cpuMs = 0;
    double wakeUps = 0;
};

// Wine shows the Linux root as drive Z:, so its /proc is readable like any folder.
std::string LastPathPart(std::string path)
{
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path.substr(path.find_last_of("\\/") + 1);
}

// The /proc folder of the Linux process that runs the program from that folder: its first argument names the
// program file inside the folder, whichever form of the path Wine gave it. Empty when there is none (not Wine).
std::string FindUnixProcess(const std::string& folder, const char* programName)
{
    const std::string folderName = Lower(LastPathPart(folder));
    const std::string fileName = Lower(programName);
    std::optional<std::string> prefix;
    char prefixPath[MAX_PATH * 4];
    DWORD length = ::GetEnvironmentVariableA(kPrefixVariable, prefixPath, sizeof prefixPath);
    if (length > 0 && length < sizeof prefixPath)
        prefix = std::string(prefixPath, length);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(kUnixProcesses, &found);
    if (search == INVALID_HANDLE_VALUE)
        return std::string();
    std::string result;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9')
            continue;
        std::string process = std::string(kUnixProcRoot) + found.cFileName + "\\";
        std::string path = Lower(bench::FirstArgument(e2e::ReadFileText(process + "cmdline")));
        bool namesFile = path.size() >= fileName.size() &&
                         path.compare(path.size() - fileName.size(), fileName.size(), fileName) == 0;
        bool inFolder =
            path.find(folderName + "\\") != std::string::npos || path.find(folderName + "/") != std::string::npos;
        // Other Wine prefixes on the machine use the same Windows paths: the process must be of this one.
        bool samePrefix = bench::EnvironmentValue(e2e::ReadFileText(process + "environ"), kPrefixVariable) == prefix;
        if (namesFile && inFolder && samePrefix) {
            result = process;
            break;
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return result;
}

// The sums over the process's threads; nothing when /proc cannot be read.
std::optional<UnixAccount> ReadUnixAccount(const std::string& process)
{
    if (process.empty())
        return std::nullopt;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((process + "task\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return std::nullopt;
    UnixAccount account;
    bool any = false;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9')
            continue;
        std::string thread = process + "task\\" + found.cFileName + "\\";
        std::optional<unsigned long long> runtime = bench::SchedstatRuntimeNs(e2e::ReadFileText(thread + "schedstat"));
        std::optional<unsigned long long> sleeps = bench::VoluntarySwitches(e2e::ReadFileText(thread + "status"));
        if (runtime && sleeps) {
            account.cpuMs += static_cast<double>(*runtime) / kNsPerMs;
            account.wakeUps += static_cast<double>(*sleeps);
            any = true;
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return any ? std::optional<UnixAccount>(account) : std::nullopt;
}

// One of the two programs compared: where it runs from and how its window is found.
struct Side
{
    const char* name;
    const char* fileName;
    std::string programPath;
    std::string folder;
    const char* caption;
};

// A started copy of a side with its main window, once found.
struct Running
{
    std::unique_ptr<e2e::ProgramRun> run = std::make_unique<e2e::ProgramRun>();
    HWND window = nullptr;
    bool stopped = false;
};

// Starts the side and waits for its main window; the milliseconds from just before the process was created to
// the first lookup that found the window, or nothing.
std::optional<double> Start(const Side& side, Running* running)
{
    double started = NowMs();
    if (!running->run->Start(side.programPath, std::string(), side.folder)) {
        Fail("%s: the process could not be created", side.name);
        return std::nullopt;
    }
    DWORD processId = running->run->ProcessId();
    for (;;) {
        running->window = FindOwnWindow(side.caption, processId);
        if (running->window != nullptr)
            return NowMs() - started;
        if (!running->run->IsRunning()) {
            Fail("%s %s before its window appeared", side.name, running->run->State().c_str());
            return std::nullopt;
        }
        if (NowMs() - started > e2e::kStartTimeoutMs) {
            Fail("%s: no window within %lu ms", side.name, e2e::kStartTimeoutMs);
            return std::nullopt;
        }
        ::Sleep(kFindPollMs);
    }
}

// Closes the side's window as the user's "Exit" does and waits for a clean end (ended by force otherwise).
void Stop(const Side& side, Running* running)
{
    if (running->run->ProcessId() == 0 || running->stopped)
        return;
    running->stopped = true;
    if (running->window != nullptr)
        ::PostMessageA(running->window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    if (!running->run->WaitForExit(&exitCode)) {
        Fail("%s did not end within %lu ms of WM_CLOSE", side.name, e2e::kExitTimeoutMs);
        running->run->Kill();
    } else if (exitCode != 0) {
        Fail("%s ended with code %lu", side.name, exitCode);
    }
}

// Sends WM_NULL and returns the milliseconds until it was answered: the bare cost of reaching that window's
// thread from another process and back.
std::optional<double> MessageRoundTrip(HWND window)
{
    DWORD_PTR result = 0;
    double sent = NowMs();
    if (::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) == 0)
        return std::nullopt;
    return NowMs() - sent;
}

// Start-up of both sides, alternating which goes first so that a busy machine weighs on both alike. The first
// start of each is a warm-up (files into the cache, Wine's services up) and is not counted.
void MeasureStartUp(const Side& program, const Side& floor, int starts, std::vector<double>* programMs,
                    std::vector<double>* floorMs)
{
    for (int round = -1; round < starts; ++round) {
        bool programFirst = round % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            bool isProgram = (turn == 0) == programFirst;
            const Side& side = isProgram ? program : floor;
            Running running;
            std::optional<double> elapsed = Start(side, &running);
            if (elapsed && round >= 0)
                (isProgram ? programMs : floorMs)->push_back(*elapsed);
            Stop(side, &running);
        }
    }
}

// What one side cost while idle. The Linux account is there only under Wine.
struct IdleCost
{
    std::optional<double> cpuMs;
    std::optional<double> unixCpuMs;
    std::optional<double> wakeUps;
};

// The idle cost of one side between two readings.
struct IdleReading
{
    const Side* side;
    DWORD processId;
    std::string unixProcess;
    std::optional<double> cpuMs;
    std::optional<UnixAccount> unix;

    void Read()
    {
        cpuMs = CpuTimeMs(processId);
        unix = ReadUnixAccount(unixProcess);
    }
    IdleCost Since(const IdleReading& start) const
    {
        IdleCost cost;
        if (cpuMs && start.cpuMs)
            cost.cpuMs = *cpuMs - *start.cpuMs;
        else
            Fail("%s: no process times", side->name);
        if (unix && start.unix) {
            cost.unixCpuMs = unix->cpuMs - start.unix->cpuMs;
            cost.wakeUps = unix->wakeUps - start.unix->wakeUps;
        }
        return cost;
    }
};

// One side in the idle window, once its window was found.
struct IdleSide
{
    const Side* side;
    const Running* running;
};

// CPU time of all sides over the same idle window, the pointer left alone; the costs in the sides' order.
std::vector<IdleCost> MeasureIdle(const std::vector<IdleSide>& sides, int idleSeconds, bool* pointerMoved)
{
    std::vector<IdleReading> readings;
    std::vector<HANDLE> processes;
    constexpr DWORD kAccess = SYNCHRONIZE | PROCESS_QUERY_INFORMATION;
    for (const IdleSide& idle : sides) {
        DWORD processId = idle.running->run->ProcessId();
        readings.push_back({idle.side, processId, FindUnixProcess(idle.side->folder, idle.side->fileName), {}, {}});
        HANDLE process = ::OpenProcess(kAccess, FALSE, processId);
        if (process != nullptr)
            processes.push_back(process);
        else
            Fail("%s: the process cannot be waited for", idle.side->name);
    }
    // The window shows before the end of start-up's work; the window of measurement starts once all wait for
    // their messages.
    for (HANDLE process : processes)
        ::WaitForInputIdle(process, kSettleTimeoutMs);
    POINT before{};
    ::GetCursorPos(&before);
    std::vector<IdleReading> starts = readings;
    for (IdleReading& start : starts)
        start.Read();

    // Wait on all processes: the window is the measurement, and an early end of any is a failure.
    DWORD waited = ::WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), FALSE,
                                            static_cast<DWORD>(idleSeconds) * kMsPerSecond);
    for (HANDLE process : processes)
        ::CloseHandle(process);
    if (waited != WAIT_TIMEOUT)
        Fail("a process ended during the idle window (wait result %lu)", waited);

    std::vector<IdleCost> costs;
    for (size_t i = 0; i < readings.size(); ++i) {
        readings[i].Read();
        costs.push_back(readings[i].Since(starts[i]));
    }
    POINT after{};
    ::GetCursorPos(&after);
    *pointerMoved = before.x != after.x || before.y != after.y;
    return costs;
}

// Drops the change notifications that earlier writes left pending.
void DrainChanges(HANDLE changes)
{
    while (::WaitForSingleObject(changes, 0) == WAIT_OBJECT_0) {
        if (!::FindNextChangeNotification(changes))
            return;
    }
}

struct RoundTrips
{
    std::vector<double> control;        // control code posted until the hook call is in the log
    std::vector<double> programMessage; // WM_NULL to the program's main window
    std::vector<double> floorMessage;   // WM_NULL to the floor's window
};

// Alternates control codes 3 (disable) and 2 (enable): each is one round trip, from the post until the hook
// library's call shows in its log. After each, the program is let finish (a first WM_NULL, so that no trip pays
// for the tail of the one before), then a WM_NULL to each window is timed.
void MeasureRoundTrips(const e2e::ProgramFolder& folder, HWND programWindow, HWND floorWindow, int trips,
                       RoundTrips* results)
{
    UINT controlMessage = ::RegisterWindowMessageA(e2e::kControlMessageName);
    std::string log = folder.File(e2e::kHookLogName);
    HANDLE changes = ::FindFirstChangeNotificationA(folder.Path().c_str(), FALSE,
                                                    FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    int stopsBefore = folder.CountHookCalls(kHookStopLine);
    int startsBefore = 0;
    for (const std::string& line : folder.HookLog())
        startsBefore += line.rfind(kHookStartPrefix, 0) == 0 ? 1 : 0;

    for (int trip = 0; trip < trips; ++trip) {
        WPARAM code = trip % 2 == 0 ? e2e::kDisableHook : e2e::kEnableHook;
        if (changes != INVALID_HANDLE_VALUE)
            DrainChanges(changes);
        ULONGLONG sizeBefore = FileSize(log).value_or(0);
        double posted = NowMs();
        if (!::PostMessageA(programWindow, controlMessage, code, 0)) {
            Fail("control code %u could not be posted", static_cast<unsigned>(code));
            break;
        }
        bool seen = false;
        while (!(seen = FileSize(log).value_or(0) > sizeBefore) && NowMs() - posted < kEffectTimeoutMs) {
            if (changes == INVALID_HANDLE_VALUE)
                ::Sleep(kEffectPollMs);
            else if (::WaitForSingleObject(changes, kEffectPollMs) == WAIT_OBJECT_0)
                ::FindNextChangeNotification(changes);
        }
        if (!seen) {
            Fail("control code %u: no hook call within %lu ms", static_cast<unsigned>(code), kEffectTimeoutMs);
            break;
        }
        results->control.push_back(NowMs() - posted);

        // Untimed: answered once the program is back at its messages, after the rest of this code's work.
        if (!MessageRoundTrip(programWindow)) {
            Fail("WM_NULL was not answered within %u ms", kSendTimeoutMs);
            break;
        }
        std::optional<double> program = MessageRoundTrip(programWindow);
        std::optional<double> floor = MessageRoundTrip(floorWindow);
        if (!program || !floor) {
            Fail("WM_NULL was not answered within %u ms", kSendTimeoutMs);
            break;
        }
        results->programMessage.push_back(*program);
        results->floorMessage.push_back(*floor);
    }
    if (changes != INVALID_HANDLE_VALUE)
        ::FindCloseChangeNotification(changes);

    // The log must hold exactly the calls asked for: anything else means the trips measured something else.
    int stops = folder.CountHookCalls(kHookStopLine) - stopsBefore;
    int starts = -startsBefore;
    for (const std::string& line : folder.HookLog())
        starts += line.rfind(kHookStartPrefix, 0) == 0 ? 1 : 0;
    int expectedStops = (static_cast<int>(results->control.size()) + 1) / 2;
    int expectedStarts = static_cast<int>(results->control.size()) / 2;
    if (stops != expectedStops || starts != expectedStarts)
        Fail("the hook log shows %d stops and %d starts for %d stops and %d starts asked", stops, starts, expectedStops,
             expectedStarts);
}

std::optional<double> FileSizeOf(const std::string& folder, const char* name)
{
    if (folder.empty())
        return std::nullopt;
    std::string path = folder;
    if (path.back() != '\\' && path.back() != '/')
        path += '\\';
    std::optional<ULONGLONG> size = FileSize(path + name);
    if (!size) {
        Fail("%s%s is missing", path.c_str(), name);
        return std::nullopt;
    }
    return static_cast<double>(*size);
}

std::optional<double> Value(const std::vector<double>& samples, bool median)
{
    if (samples.empty())
        return std::nullopt;
    return median ? bench::Median(samples) : bench::Percentile(samples, kHighPercentile);
}

std::string Describe(const bench::BenchOptions& options, bool pointerMoved)
{
    using WineVersion = const char*(CDECL*)();
    auto wineVersion = reinterpret_cast<WineVersion>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    SYSTEM_INFO system;
    ::GetNativeSystemInfo(&system);
    char when[32];
    std::time_t now = std::time(nullptr);
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", std::localtime(&now));

    char text[1024];
    std::snprintf(text, sizeof text,
                  "Rollix Portable against its floor (RollixFloor.exe), %s, %s, %lu CPUs; 64-bit builds.\n"
                  "The program runs beside the recording RollixHook.dll (tests/bin) with rollix.ini holding "
                  "FirstTime=0.\nStart-up: %d starts of each after one warm-up each; idle: %d s, all three at once%s; "
                  "round trips: %d.\nWindows process times count in clock ticks (10 ms under Wine); the Linux "
                  "rows (Wine only) count to the nanosecond. Neither counts the work wineserver does for a process.\n",
                  wineVersion != nullptr ? (std::string("Wine ") + wineVersion()).c_str() : "Windows", when,
                  system.dwNumberOfProcessors, options.starts, options.idleSeconds,
                  pointerMoved ? " (the pointer MOVED meanwhile)" : "", options.trips);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::fputs(bench::BenchUsage(), stdout);
        return 0;
    }
    bench::BenchOptions options;
    std::string error;
    if (!bench::ParseBenchOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "RollixBench: %s\n%s", error.c_str(), bench::BenchUsage());
        return 2;
    }
    // Paths may come in the build's Unix form; Wine opens them through drive Z:.
    for (std::string* path : {&options.outPath, &options.releaseDir, &options.releaseFloor}) {
        if (!path->empty())
            *path = e2e::WindowsPath(*path);
    }

    e2e::ProgramFolder programFolder;
    e2e::ScratchFolder floorFolder;
    e2e::ScratchFolder tickFloorFolder;
    std::string floorPath = floorFolder.File(kFloorName);
    std::string tickFloorPath = tickFloorFolder.File(kTickFloorName);
    if (!programFolder.Ready() || !::CopyFileA(e2e::WindowsPath(kBuiltFloor).c_str(), floorPath.c_str(), FALSE) ||
        !::CopyFileA(e2e::WindowsPath(kBuiltTickFloor).c_str(), tickFloorPath.c_str(), FALSE)) {
        std::fprintf(stderr, "RollixBench: could not copy the programs into %s, %s and %s\n",
                     programFolder.Path().c_str(), floorFolder.Path().c_str(), tickFloorFolder.Path().c_str());
        return 2;
    }
    programFolder.WriteSettings(kMinimalSettings);
    // A copy that already runs would take every start for a second one.
    if (!e2e::WaitUntilNoCopyRuns()) {
        std::fprintf(stderr, "RollixBench: a copy of Rollix Portable is running; end it first\n");
        return 2;
    }
    const Side program{"Rollix Portable", e2e::kProgramName, programFolder.ProgramPath(), programFolder.Path(),
                       e2e::kMainWindowCaption};
    const Side floor{"the floor", kFloorName, floorPath, floorFolder.Path(), kFloorCaption};
    const Side tickFloor{"the tick floor", kTickFloorName, tickFloorPath, tickFloorFolder.Path(), kTickFloorCaption};

    std::vector<double> programStart, floorStart;
    MeasureStartUp(program, floor, options.starts, &programStart, &floorStart);

    IdleCost programIdle, floorIdle, tickFloorIdle;
    bool pointerMoved = false;
    RoundTrips trips;
    {
        Running programRun, floorRun, tickFloorRun;
        if (Start(program, &programRun) && Start(floor, &floorRun) && Start(tickFloor, &tickFloorRun)) {
            std::vector<IdleCost> costs = MeasureIdle(
                {{&program, &programRun}, {&floor, &floorRun}, {&tickFloor, &tickFloorRun}}, options.idleSeconds,
                &pointerMoved);
            programIdle = costs[0];
            floorIdle = costs[1];
            tickFloorIdle = costs[2];
            // The round trips compare with the plain floor alone.
            Stop(tickFloor, &tickFloorRun);
            MeasureRoundTrips(programFolder, programRun.window, floorRun.window, options.trips, &trips);
        }
        Stop(program, &programRun);
        Stop(floor, &floorRun);
        Stop(tickFloor, &tickFloorRun);
    }

    bench::ResultTable table;
    char label[128];
    std::snprintf(label, sizeof label, "Start-up until the window is found, median of %d (ms)", options.starts);
    table.Add(label, Value(programStart, true), Value(floorStart, true), 1);
    table.Add("Start-up, 95th percentile (ms)", Value(programStart, false), Value(floorStart, false), 1);
    std::snprintf(label, sizeof label, "Idle CPU time in %d s, Windows process times (ms)", options.idleSeconds);
    table.Add(label, programIdle.cpuMs, floorIdle.cpuMs, 1);
    if (programIdle.unixCpuMs || floorIdle.unixCpuMs) {
        std::snprintf(label, sizeof label, "Idle CPU time in %d s, Linux scheduler (ms)", options.idleSeconds);
        table.Add(label, programIdle.unixCpuMs, floorIdle.unixCpuMs, 2);
        std::snprintf(label, sizeof label, "Idle wake-ups in %d s", options.idleSeconds);
        table.Add(label, programIdle.wakeUps, floorIdle.wakeUps, 0);
    }
    // The same idle window against the tick floor in the floor's column.
    std::snprintf(label, sizeof label, "Idle CPU time in %d s, Windows process times, tick floor (ms)",
                  options.idleSeconds);
    table.Add(label, programIdle.cpuMs, tickFloorIdle.cpuMs, 1);
    if (programIdle.unixCpuMs || tickFloorIdle.unixCpuMs) {
        std::snprintf(label, sizeof label, "Idle CPU time in %d s, Linux scheduler, tick floor (ms)",
                      options.idleSeconds);
        table.Add(label, programIdle.unixCpuMs, tickFloorIdle.unixCpuMs, 2);
        std::snprintf(label, sizeof label, "Idle wake-ups in %d s, tick floor", options.idleSeconds);
        table.Add(label, programIdle.wakeUps, tickFloorIdle.wakeUps, 0);
    }
    std::snprintf(label, sizeof label, "Control round trip, code 3/2 to hook call (floor: WM_NULL), median of %d (ms)",
                  options.trips);
    table.Add(label, Value(trips.control, true), Value(trips.floorMessage, true), 3);
    table.Add("Control round trip, 95th percentile (ms)", Value(trips.control, false), Value(trips.floorMessage, false),
              3);
    table.Add("Message round trip, WM_NULL answered, median (ms)", Value(trips.programMessage, true),
              Value(trips.floorMessage, true), 3);
    if (!options.releaseDir.empty()) {
        std::optional<double> floorSize;
        if (!options.releaseFloor.empty()) {
            std::optional<ULONGLONG> size = FileSize(options.releaseFloor);
            if (size)
                floorSize = static_cast<double>(*size);
            else
                Fail("%s is missing", options.releaseFloor.c_str());
        }
        table.Add("32-bit RollixPortable.exe (bytes)", FileSizeOf(options.releaseDir, kReleaseProgram), floorSize, 0);
        table.Add("32-bit RollixHook.dll (bytes)", FileSizeOf(options.releaseDir, kReleaseHook), std::nullopt, 0);
        table.Add("32-bit RollixConfig.exe (bytes)", FileSizeOf(options.releaseDir, kReleaseEditor), std::nullopt, 0);
    }

    std::string report = Describe(options, pointerMoved) + "\n" + table.Markdown();
    if (g_failures > 0)
        report += "\n" + std::to_string(g_failures) + " measurement(s) FAILED (see the messages above).\n";
    std::fputs(report.c_str(), stdout);
    std::fflush(stdout);
    if (!options.outPath.empty() && !e2e::WriteFileText(options.outPath, report)) {
        std::fprintf(stderr, "RollixBench: could not write %s\n", options.outPath.c_str());
        return 2;
    }
    return g_failures == 0 ? 0 : 1;
}
