// Smooth scrolling measured under Wine in one run, with the real library in this process as the program has it and
// the target window in its own: the latency from a notch to its first partial message, the spacing of the frames,
// the CPU time of this process per second of continuous animation, and the wake-ups of this process over an idle
// window with smoothing off and on.
//   smooth_bench.exe [notches] [idle seconds]
#include "bench_stats.h"
#include "hook_test_driver.h"
#include "smooth_animation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kNotchesDefault = 30;
constexpr int kIdleSecondsDefault = 60;
constexpr int kAnimationSeconds = 5;
// Notches this far apart keep a 200 ms run going without a pause.
constexpr DWORD kContinuousNotchMs = 100;
constexpr DWORD kArrivalTimeoutMs = 5000;
constexpr int kNotch = 120;
constexpr char kUnixProcRoot[] = "Z:\\proc\\";

double CountsPerMs()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
}

double Percentile(std::vector<double> values, int percent)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t index = (values.size() * percent + 99) / 100;
    return values[std::min(values.size() - 1, index == 0 ? 0 : index - 1)];
}

std::string ReadText(const std::string& path)
{
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return text;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
        text.append(buffer, got);
    }
    std::fclose(file);
    return text;
}

// This process as Linux accounts for it, summed over its threads: CPU time and the times a thread was woken.
struct Account
{
    double m_cpuMs = 0;
    double m_wakeUps = 0;
    double m_otherThreadsWakeUps = 0; // all but the main thread, which runs this driver: the hook's threads
};

std::string Lower(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return text;
}

// The /proc folder of the Linux process that runs this program in this Wine prefix (Wine shows the Linux root as
// drive Z:); empty when there is none.
std::string FindOwnUnixProcess()
{
    char prefix[MAX_PATH * 4];
    const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof(prefix));
    const std::string ownPrefix = length > 0 && length < sizeof(prefix) ? std::string(prefix, length) : "";
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((std::string(kUnixProcRoot) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return "";
    }
    std::string result;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9') {
            continue;
        }
        const std::string process = std::string(kUnixProcRoot) + found.cFileName + "\\";
        const std::string path = Lower(bench::FirstArgument(ReadText(process + "cmdline")));
        const bool named = path.find("smooth_bench.exe") != std::string::npos;
        if (named && bench::EnvironmentValue(ReadText(process + "environ"), "WINEPREFIX").value_or("") == ownPrefix) {
            result = process;
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return result;
}

std::string OwnProcess;

Account ReadAccount()
{
    Account account;
    if (OwnProcess.empty()) {
        OwnProcess = FindOwnUnixProcess();
    }
    const std::string threads = OwnProcess + "task\\";
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((threads + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return account;
    }
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9') {
            continue;
        }
        const std::string thread = threads + found.cFileName + "\\";
        const auto runtime = bench::SchedstatRuntimeNs(ReadText(thread + "schedstat"));
        const auto sleeps = bench::VoluntarySwitches(ReadText(thread + "status"));
        account.m_cpuMs += runtime ? static_cast<double>(*runtime) / 1e6 : 0;
        account.m_wakeUps += sleeps ? static_cast<double>(*sleeps) : 0;
        // The main thread's id is the process's own.
        if (OwnProcess.find(std::string("\\") + found.cFileName + "\\") == std::string::npos) {
            account.m_otherThreadsWakeUps += sleeps ? static_cast<double>(*sleeps) : 0;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return account;
}

void SendNotch()
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(-kNotch);
    SendInput(1, &input, sizeof(input));
}

bool WriteSettings(const WorkFolder& folder, bool smooth)
{
    const std::string text =
        std::string("[router]\r\nSmoothDuration=200\r\nSmoothScroll=") + (smooth ? "1" : "0") + "\r\n";
    FILE* file = std::fopen(folder.WindowsPath("rollix.ini").c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file != nullptr) {
        std::fclose(file);
    }
    return written;
}

// The CPU time of this process per second while notches keep an animation (or, unsmoothed, the wheel) going.
double CpuMsPerSecond()
{
    const Account before = ReadAccount();
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kAnimationSeconds * 1000u) {
        SendNotch();
        Sleep(kContinuousNotchMs); // the input's own cadence, not a wait for a result
    }
    Sleep(500); // the last run ends
    return (ReadAccount().m_cpuMs - before.m_cpuMs) / kAnimationSeconds;
}

Account Between(const Account& from, const Account& to)
{
    Account spent;
    spent.m_cpuMs = to.m_cpuMs - from.m_cpuMs;
    spent.m_wakeUps = to.m_wakeUps - from.m_wakeUps;
    spent.m_otherThreadsWakeUps = to.m_otherThreadsWakeUps - from.m_otherThreadsWakeUps;
    return spent;
}

// Reading the account wakes the reading thread itself, once a file for each thread: two readings back to back
// measure that, and it is taken off the window's count.
Account IdleWindow(int seconds)
{
    const Account first = ReadAccount();
    const Account before = ReadAccount();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const Account window = Between(before, ReadAccount());
    const Account reading = Between(first, before);
    Account spent = window;
    spent.m_wakeUps -= reading.m_wakeUps;
    spent.m_otherThreadsWakeUps -= reading.m_otherThreadsWakeUps;
    return spent;
}

} // namespace

int main(int argc, char** argv)
{
    const int notches = argc > 1 ? std::max(1, std::atoi(argv[1])) : kNotchesDefault;
    const int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : kIdleSecondsDefault;
    WorkFolder folder;
    TargetWindowProcess target(folder);
    HookLibrary hook;
    FakeProgramWindow program;
    const std::string library = folder.WindowsPath("RollixHook.dll");
    if (!WriteSettings(folder, true) || !CopyFileA(ROLLIX_HOOK_DLL, library.c_str(), FALSE) || !program.Create() ||
        !target.Start("") || !hook.Load(library)) {
        std::fprintf(stderr, "setup failed\n");
        return 1;
    }
    const POINT center = CenterOf(target.m_child);
    SetCursorPos(center.x, center.y);
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    const int hz =
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) ? static_cast<int>(mode.dmDisplayFrequency) : 0;
    const FramePlan plan = PlanFrames(hz, 200);
    const double period = plan.m_periodUs / 1000.0;

    // Latency and spacing: one notch at a time, each run to its end.
    hook.Start(0, 3, 0);
    std::vector<double> latency;
    std::vector<double> spacing;
    std::vector<double> messages;
    int lost = 0;
    for (int notch = 0; notch < notches; ++notch) {
        const std::size_t before = target.Count("child", "wheel");
        LARGE_INTEGER sent;
        QueryPerformanceCounter(&sent);
        SendNotch();
        auto runSum = [&] {
            const std::vector<int> deltas = target.Deltas("child", "wheel");
            int sum = 0;
            for (std::size_t i = before; i < deltas.size(); ++i) {
                sum += deltas[i];
            }
            return sum;
        };
        if (!PumpUntil([&] { return runSum() == -kNotch; }, kArrivalTimeoutMs, 1)) {
            ++lost;
            continue;
        }
        const std::vector<LoggedMessage> run = target.Of("child", "wheel");
        latency.push_back(static_cast<double>(run[before].m_time - sent.QuadPart) / CountsPerMs());
        for (std::size_t i = before + 1; i < run.size(); ++i) {
            spacing.push_back(static_cast<double>(run[i].m_time - run[i - 1].m_time) / CountsPerMs());
        }
        messages.push_back(static_cast<double>(run.size() - before));
    }
    const double smoothCpu = CpuMsPerSecond();
    hook.Stop();
    WriteSettings(folder, false);
    hook.Start(0, 3, 0);
    const double wholeCpu = CpuMsPerSecond();
    hook.Stop();
    // Idle: the pointer and the wheel at rest, smoothing off and on in turn, twice, so that the difference between
    // two windows of the same side shows the run's noise.
    Account idle[2][2];
    for (int round = 0; round < 2; ++round) {
        for (const bool smooth : {false, true}) {
            WriteSettings(folder, smooth);
            hook.Start(0, 3, 0);
            Sleep(1000); // the hook's threads settle after their start
            idle[round][smooth ? 1 : 0] = IdleWindow(idleSeconds);
            hook.Stop();
        }
    }

    std::printf("display %d Hz: frame period %.2f ms, %d frames a notch of 200 ms\n", hz, period, plan.m_frames);
    std::printf("latency notch to first message   n=%-3zu median %6.2f ms  p99 %6.2f ms  (budget %.2f ms)\n",
                latency.size(), Percentile(latency, 50), Percentile(latency, 99), period + 2);
    std::printf("frame spacing                     n=%-3zu median %6.2f ms  p99 %6.2f ms  (budget %.2f ms)\n",
                spacing.size(), Percentile(spacing, 50), Percentile(spacing, 99), 1.5 * period);
    std::printf("messages a notch                  median %.0f  min %.0f\n", Percentile(messages, 50),
                Percentile(messages, 0));
    std::printf("CPU of this process, notches every %lu ms: smoothed %.2f ms/s, whole %.2f ms/s, animation %.2f ms/s\n",
                kContinuousNotchMs, smoothCpu, wholeCpu, smoothCpu - wholeCpu);
    for (int round = 0; round < 2; ++round) {
        for (int smooth = 0; smooth < 2; ++smooth) {
            const Account& spent = idle[round][smooth];
            std::printf(
                "idle %d s, smoothing %-3s (round %d): %.0f wake-ups (%.0f of the hook's threads), %.2f ms CPU\n",
                idleSeconds, smooth ? "on" : "off", round + 1, spent.m_wakeUps, spent.m_otherThreadsWakeUps,
                spent.m_cpuMs);
        }
    }
    std::printf("notches whose run did not add up %d\n", lost);
    return lost == 0 ? 0 : 2;
}
