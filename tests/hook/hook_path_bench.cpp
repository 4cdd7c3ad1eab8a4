// The whole path from a wheel event to the target window under Wine in one run: without any hook, with an empty
// low-level hook that only passes events on (the floor of any design built on such a hook), and with the router;
// and the cost of each hook's callback, timed by a second hook installed in front of it.
//   hook_path_bench.exe [rounds] [user rules]
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

std::vector<double>* CallbackMicroseconds = nullptr;
HHOOK TimingHook;

// Installed after the hook under test, so it runs first and times the rest of the chain: that hook's callback,
// called on its own thread.
LRESULT CALLBACK TimingProc(int code, WPARAM message, LPARAM data)
{
    if (code < 0 || message != WM_MOUSEWHEEL || CallbackMicroseconds == nullptr) {
        return CallNextHookEx(TimingHook, code, message, data);
    }
    LARGE_INTEGER before;
    LARGE_INTEGER after;
    QueryPerformanceCounter(&before);
    const LRESULT result = CallNextHookEx(TimingHook, code, message, data);
    QueryPerformanceCounter(&after);
    CallbackMicroseconds->push_back(static_cast<double>(after.QuadPart - before.QuadPart) / TicksPerMicrosecond());
    return result;
}

// The empty hook: on a thread of its own at the router's priority, it passes every event straight on.
HHOOK EmptyHook;

LRESULT CALLBACK EmptyProc(int code, WPARAM message, LPARAM data)
{
    return CallNextHookEx(EmptyHook, code, message, data);
}

DWORD WINAPI EmptyHookThread(void* ready)
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    EmptyHook = SetWindowsHookExA(WH_MOUSE_LL, EmptyProc, GetModuleHandleA(nullptr), 0);
    SetEvent(static_cast<HANDLE>(ready));
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    UnhookWindowsHookEx(EmptyHook);
    return 0;
}

class EmptyHookOnItsThread
{
  public:
    EmptyHookOnItsThread()
    {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, EmptyHookThread, ready, 0, &m_threadId);
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
    }
    ~EmptyHookOnItsThread()
    {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    EmptyHookOnItsThread(const EmptyHookOnItsThread&) = delete;
    EmptyHookOnItsThread& operator=(const EmptyHookOnItsThread&) = delete;

  private:
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
};

void TimeCallbacksInto(std::vector<double>& values)
{
    CallbackMicroseconds = &values;
    TimingHook = SetWindowsHookExA(WH_MOUSE_LL, TimingProc, GetModuleHandleA(nullptr), 0);
}

void StopTiming()
{
    UnhookWindowsHookEx(TimingHook);
    CallbackMicroseconds = nullptr;
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
    std::printf("%-42s n=%-4zu median %9.1f us   p99 %9.1f us\n", name, values.size(), Percentile(values, 50),
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
    // A copy of the library with a rollix.ini that excludes 20 programs, none of them the target's: each new
    // window under the pointer has its program looked up and compared.
    const std::string library = folder.WindowsPath("RollixHook.dll");
    std::string settings = "[router]\r\nExcludedPrograms=mstsc.exe;msrdc.exe;osk.exe";
    for (int i = 4; i <= 20; ++i) {
        settings += ";excluded-program-" + std::to_string(i) + ".exe";
    }
    settings += "\r\n";
    // User rules for other programs and classes, looked up for every window the wheel meets.
    const int rules = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;
    for (int i = 0; i < rules; ++i) {
        settings += (i % 2 ? "[class OtherClass" : "[program other-program-") + std::to_string(i) +
                    (i % 2 ? "]\r\n" : ".exe]\r\n") + "ReverseScroll=0\r\nSideways=hscroll\r\n";
    }
    FILE* file = std::fopen(folder.WindowsPath("rollix.ini").c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(settings.data(), 1, settings.size(), file) == settings.size();
    if (file != nullptr) {
        std::fclose(file);
    }
    if (!written || !CopyFileA(ROLLIX_HOOK_DLL, library.c_str(), FALSE) || !program.Create() || !target.Start("") ||
        !hook.Load(library)) {
        std::fprintf(stderr, "setup failed\n");
        return 1;
    }
    const POINT center = CenterOf(target.m_child);
    SetCursorPos(center.x, center.y);

    std::vector<double> without;
    std::vector<double> empty;
    std::vector<double> with;
    std::vector<double> emptyCallback;
    std::vector<double> routerCallback;
    std::vector<double> routerOwnCallback;
    int failures = 0;
    auto block = [&](std::vector<double>& into) {
        for (int event = 0; event < kEventsPerBlock; ++event) {
            const double elapsed = OneEvent(target, event % 2 == 0 ? 120 : -120);
            elapsed < 0 ? ++failures : (into.push_back(elapsed), 0);
        }
    };
    // Blocks alternate so that a busy machine weighs on all sides alike.
    for (int round = 0; round < rounds; ++round) {
        block(without);
        {
            EmptyHookOnItsThread floor;
            TimeCallbacksInto(emptyCallback);
            block(empty);
            StopTiming();
        }
        hook.Start(0, 3, 0);
        TimeCallbacksInto(routerCallback);
        block(with);
        StopTiming();
        hook.Stop();
        const std::vector<double> own = hook.CallbackTimes(kEventsPerBlock);
        routerOwnCallback.insert(routerOwnCallback.end(), own.begin(), own.end());
    }
    // Seen from a hook installed in front, a callback includes Wine's call across to the hook's own thread.
    Report("callback via a hook in front, empty hook", emptyCallback);
    Report("callback via a hook in front, RollixHook", routerCallback);
    Report("callback (RollixHook, on its thread)", routerOwnCallback);
    Report("path without hook", without);
    Report("path with empty hook", empty);
    Report("path with RollixHook", with);
    std::printf("ratio RollixHook/empty hook (median) %.2f\n",
                Percentile(with, 50) / std::max(1e-9, Percentile(empty, 50)));
    std::printf("ratio RollixHook/no hook (median) %.2f\n",
                Percentile(with, 50) / std::max(1e-9, Percentile(without, 50)));
    std::printf("lost events %d\n", failures);
    return failures == 0 ? 0 : 2;
}
