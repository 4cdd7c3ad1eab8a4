// The whole path from a wheel event to the target window under Wine, with and without the hook, in one run; and
// the cost of the hook's callback itself, timed by a second hook installed in front of it.
//   hook_path_bench.exe [rounds]
#include "hook_test_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRoundsDefault = 10;
constexpr int kEventsPerBlock = 20;
constexpr DWORD kArrivalTimeoutMs = 5000;

double TicksPerMicrosecond()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1e6;
}

std::vector<double> CallbackMicroseconds;
HHOOK TimingHook;

// Installed after RollixHook's, so it runs first and times the rest of the chain, which is RollixHook's callback.
LRESULT CALLBACK TimingProc(int code, WPARAM message, LPARAM data)
{
    if (code < 0 || message != WM_MOUSEWHEEL) {
        return CallNextHookEx(TimingHook, code, message, data);
    }
    LARGE_INTEGER before;
    LARGE_INTEGER after;
    QueryPerformanceCounter(&before);
    const LRESULT result = CallNextHookEx(TimingHook, code, message, data);
    QueryPerformanceCounter(&after);
    CallbackMicroseconds.push_back(static_cast<double>(after.QuadPart - before.QuadPart) / TicksPerMicrosecond());
    return result;
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

// Sends one notch and returns microseconds until the child logged it, or a negative value.
double OneEvent(const TargetWindowProcess& target, int delta)
{
    const std::size_t before = target.Count("child", "wheel");
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(delta);
    LARGE_INTEGER sent;
    QueryPerformanceCounter(&sent);
    SendInput(1, &input, sizeof(input));
    if (!PumpUntil([&] { return target.Count("child", "wheel") > before; }, kArrivalTimeoutMs, 1)) {
        return -1;
    }
    const std::vector<LoggedMessage> log = target.Log();
    for (auto entry = log.rbegin(); entry != log.rend(); ++entry) {
        if (entry->m_window == "child" && entry->m_message == "wheel") {
            return static_cast<double>(entry->m_time - sent.QuadPart) / TicksPerMicrosecond();
        }
    }
    return -1;
}

void Report(const char* name, const std::vector<double>& values)
{
    std::printf("%-28s n=%-4zu median %9.1f us   p99 %9.1f us\n", name, values.size(), Percentile(values, 50),
                Percentile(values, 99));
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kRoundsDefault;
    WorkFolder folder;
    TargetWindowProcess target(folder);
    HookLibrary hook;
    FakeProgramWindow program;
    if (!program.Create() || !target.Start("") || !hook.Load()) {
        std::fprintf(stderr, "setup failed\n");
        return 1;
    }
    const POINT center = CenterOf(target.m_child);
    SetCursorPos(center.x, center.y);

    std::vector<double> without;
    std::vector<double> with;
    int failures = 0;
    // Blocks alternate so that a busy machine weighs on both sides alike.
    for (int round = 0; round < rounds; ++round) {
        for (int event = 0; event < kEventsPerBlock; ++event) {
            const double elapsed = OneEvent(target, event % 2 == 0 ? 120 : -120);
            elapsed < 0 ? ++failures : (without.push_back(elapsed), 0);
        }
        hook.Start(0, 3, 0);
        TimingHook = SetWindowsHookExA(WH_MOUSE_LL, TimingProc, GetModuleHandleA(nullptr), 0);
        for (int event = 0; event < kEventsPerBlock; ++event) {
            const double elapsed = OneEvent(target, event % 2 == 0 ? 120 : -120);
            elapsed < 0 ? ++failures : (with.push_back(elapsed), 0);
        }
        UnhookWindowsHookEx(TimingHook);
        hook.Stop();
    }
    Report("callback (RollixHook, wine)", CallbackMicroseconds);
    Report("path without hook", without);
    Report("path with hook", with);
    const double ratio = Percentile(with, 50) / std::max(1e-9, Percentile(without, 50));
    std::printf("ratio with/without (median) %.2f\n", ratio);
    std::printf("lost events %d\n", failures);
    return failures == 0 ? 0 : 2;
}
