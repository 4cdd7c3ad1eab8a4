// The smoothing thread's timing and delivery. Frames are timed against the performance counter from the first one,
// so that late wakes do not add up; each frame asks again whether its window still answers.
#include "smooth_scroller.h"

#include <initializer_list>
#include <new>

namespace {

// How long a stop waits for the thread: it never blocks for long, the bound only keeps a stop from hanging.
constexpr DWORD kStopWaitMs = 5000;
// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, Windows 10 1803 and later; older headers lack it.
constexpr DWORD kHighResolutionTimer = 0x00000002;
constexpr long long kHundredNsPerUs = 10;
constexpr int kMaxInjectedWheels = 16;

using CreateTimerExProc = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
using TimePeriodProc = UINT(WINAPI*)(UINT);
using GetModuleHandleExProc = BOOL(WINAPI*)(DWORD, LPCSTR, HMODULE*);

template <class Proc> Proc Lookup(HMODULE module, const char* name)
{
    return module == nullptr ? nullptr : reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

long long Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

} // namespace

struct SmoothScroller::Shared
{
    NotchQueue m_queue;
    HANDLE m_stopEvent = nullptr;
    HANDLE m_notchEvent = nullptr;
    HANDLE m_timer = nullptr;
    HMODULE m_library = nullptr; // the reference that keeps this code mapped while the thread runs
    int m_durationMs = 0;
    // Where the system has no high-resolution timer, the timer period is raised while frames run, and only then.
    HMODULE m_winmm = nullptr;
    TimePeriodProc m_beginPeriod = nullptr;
    TimePeriodProc m_endPeriod = nullptr;
    bool m_periodRaised = false;

    SmoothAnimations m_animations;
    FramePlan m_plan;
    long long m_frequency = 1;
    long long m_firstFrame = 0;
    long long m_frameIndex = 0;
    HMONITOR m_monitor = nullptr;
    int m_monitorHz = 0;

    void Run();
    void TakeNotches();
    void DeliverFrame();
    void Deliver(const SmoothFrame& frame);
    void ArmTimer();
    void Rest();
    int RefreshRateAt(int x, int y);
    void CloseHandles();
};

int SmoothScroller::Shared::RefreshRateAt(int x, int y)
{
    const POINT point = {x, y};
    const HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (monitor == m_monitor && m_monitorHz != 0) {
        return m_monitorHz;
    }
    m_monitor = monitor;
    m_monitorHz = kDefaultRefreshHz;
    MONITORINFOEXA info;
    info.cbSize = sizeof(info);
    DEVMODEA mode;
    mode.dmSize = sizeof(mode);
    mode.dmDriverExtra = 0;
    if (GetMonitorInfoA(monitor, &info) && EnumDisplaySettingsA(info.szDevice, ENUM_CURRENT_SETTINGS, &mode)) {
        m_monitorHz = static_cast<int>(mode.dmDisplayFrequency);
    }
    return m_monitorHz;
}

void SmoothScroller::Shared::TakeNotches()
{
    SmoothNotch notch;
    while (m_queue.Pop(notch)) {
        if (!m_animations.Running()) {
            // A new run takes the frame rate of the monitor under the pointer; the frames start with it.
            m_plan = PlanFrames(RefreshRateAt(notch.m_x, notch.m_y), m_durationMs);
            m_firstFrame = Now();
            m_frameIndex = 0;
        }
        if (!m_animations.AddNotch(notch.m_target, notch.m_distance, m_plan.m_frames)) {
            // Every slot in motion for other windows: this notch goes whole rather than not at all.
            SmoothFrame whole;
            whole.m_target = notch.m_target;
            whole.m_delta = notch.m_distance;
            whole.m_slot = -1;
            Deliver(whole);
        }
    }
}

void SmoothScroller::Shared::Deliver(const SmoothFrame& frame)
{
    const SmoothTarget& target = frame.m_target;
    const auto window = reinterpret_cast<HWND>(target.m_window);
    // A window that stopped answering gets no pile of posts; one that refuses them (a process of higher integrity)
    // or is gone gets no more of this run.
    if (IsHungAppWindow(window)) {
        m_animations.Drop(frame.m_slot);
        return;
    }
    const bool horizontal = target.m_axis == WheelAxis::Horizontal;
    bool delivered = false;
    if (target.m_delivery == SmoothDelivery::Inject) {
        delivered = InjectWheels(horizontal, frame.m_delta, 1);
    } else {
        const WPARAM wParam = MAKEWPARAM(target.m_keyFlags, static_cast<WORD>(static_cast<short>(frame.m_delta)));
        delivered = PostMessageA(window, horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL, wParam,
                                 static_cast<LPARAM>(static_cast<LONG>(target.m_point))) != FALSE;
    }
    if (!delivered) {
        m_animations.Drop(frame.m_slot);
    }
}

void SmoothScroller::Shared::DeliverFrame()
{
    SmoothFrame frames[kMaxAnimations];
    const int count = m_animations.NextFrame(frames);
    for (int i = 0; i < count; ++i) {
        Deliver(frames[i]);
    }
    ++m_frameIndex;
}

void SmoothScroller::Shared::ArmTimer()
{
    const long long periodTicks = m_plan.m_periodUs * m_frequency / 1000000;
    long long due = m_firstFrame + m_frameIndex * periodTicks;
    const long long now = Now();
    if (due <= now) {
        // Woken late (a busy machine): the frames go on from now rather than catching up in a burst.
        m_firstFrame = now;
        m_frameIndex = 1;
        due = now + periodTicks;
    }
    LARGE_INTEGER relative;
    relative.QuadPart = -((due - now) * 1000000 / m_frequency) * kHundredNsPerUs;
    if (relative.QuadPart == 0) {
        relative.QuadPart = -1;
    }
    if (m_beginPeriod != nullptr && !m_periodRaised) {
        m_periodRaised = m_beginPeriod(1) == 0; // TIMERR_NOERROR
    }
    SetWaitableTimer(m_timer, &relative, 0, nullptr, nullptr, FALSE);
}

void SmoothScroller::Shared::Rest()
{
    CancelWaitableTimer(m_timer);
    if (m_periodRaised) {
        m_endPeriod(1);
        m_periodRaised = false;
    }
}

void SmoothScroller::Shared::Run()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    m_frequency = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    // Frames late by a time slice would show as judder.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    const HANDLE waits[] = {m_stopEvent, m_notchEvent, m_timer};
    bool ticking = false;
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(ticking ? 3 : 2, waits, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0 + 1 && woken != WAIT_OBJECT_0 + 2) {
            break; // stopped, or the wait failed
        }
        const bool wasRunning = m_animations.Running();
        TakeNotches();
        // The first frame of a run goes at once; later notches join the run at its next frame.
        if (woken == WAIT_OBJECT_0 + 2 || (!wasRunning && m_animations.Running())) {
            DeliverFrame();
            if (m_animations.Running()) {
                ArmTimer();
            }
        }
        ticking = m_animations.Running();
        if (!ticking) {
            Rest();
        }
    }
    Rest();
}

void SmoothScroller::Shared::CloseHandles()
{
    for (HANDLE handle : {m_stopEvent, m_notchEvent, m_timer}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
    if (m_winmm != nullptr) {
        FreeLibrary(m_winmm);
    }
}

namespace {

DWORD WINAPI SmoothThreadMain(void* parameter)
{
    auto* shared = static_cast<SmoothScroller::Shared*>(parameter);
    shared->Run();
    const HMODULE library = shared->m_library;
    shared->CloseHandles();
    shared->~Shared();
    HeapFree(GetProcessHeap(), 0, shared);
    if (library != nullptr) {
        FreeLibraryAndExitThread(library, 0);
    }
    return 0;
}

// A reference to this library for the thread, taken by address, so that it outlives a FreeLibrary of the library.
HMODULE TakeReference()
{
    const auto byAddress = Lookup<GetModuleHandleExProc>(GetModuleHandleA("kernel32.dll"), "GetModuleHandleExA");
    HMODULE module = nullptr;
    if (byAddress == nullptr ||
        !byAddress(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&SmoothThreadMain), &module)) {
        return nullptr;
    }
    return module;
}

HANDLE CreateFrameTimer(bool& highResolution)
{
    const auto createEx = Lookup<CreateTimerExProc>(GetModuleHandleA("kernel32.dll"), "CreateWaitableTimerExW");
    if (createEx != nullptr) {
        const HANDLE timer = createEx(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
        if (timer != nullptr) {
            highResolution = true;
            return timer;
        }
    }
    highResolution = false;
    return CreateWaitableTimerA(nullptr, FALSE, nullptr);
}

} // namespace

bool SmoothScroller::Start(int durationMs)
{
    Stop();
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(Shared));
    if (memory == nullptr) {
        return false;
    }
    auto* shared = new (memory) Shared();
    shared->m_durationMs = durationMs;
    shared->m_stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    shared->m_notchEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    bool highResolution = false;
    shared->m_timer = CreateFrameTimer(highResolution);
    if (!highResolution) {
        shared->m_winmm = LoadLibraryA("winmm.dll");
        shared->m_beginPeriod = Lookup<TimePeriodProc>(shared->m_winmm, "timeBeginPeriod");
        shared->m_endPeriod = Lookup<TimePeriodProc>(shared->m_winmm, "timeEndPeriod");
        if (shared->m_beginPeriod == nullptr || shared->m_endPeriod == nullptr) {
            shared->m_beginPeriod = nullptr;
        }
    }
    HANDLE thread = nullptr;
    if (shared->m_stopEvent != nullptr && shared->m_notchEvent != nullptr && shared->m_timer != nullptr) {
        shared->m_library = TakeReference();
        thread = CreateThread(nullptr, 0, SmoothThreadMain, shared, 0, nullptr);
        if (thread == nullptr && shared->m_library != nullptr) {
            FreeLibrary(shared->m_library);
        }
    }
    if (thread == nullptr) {
        shared->CloseHandles();
        shared->~Shared();
        HeapFree(GetProcessHeap(), 0, shared);
        return false;
    }
    m_shared = shared;
    m_thread = thread;
    return true;
}

void SmoothScroller::Stop()
{
    if (m_shared == nullptr) {
        return;
    }
    // From here on the thread owns the shared state and gives it back as it ends.
    SetEvent(m_shared->m_stopEvent);
    m_shared = nullptr;
    WaitForSingleObject(m_thread, kStopWaitMs);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

bool SmoothScroller::Hand(const SmoothNotch& notch)
{
    if (m_shared == nullptr || !m_shared->m_queue.Push(notch)) {
        return false;
    }
    SetEvent(m_shared->m_notchEvent);
    return true;
}

bool InjectWheels(bool horizontal, int delta, int count)
{
    INPUT inputs[kMaxInjectedWheels];
    if (count > kMaxInjectedWheels) {
        count = kMaxInjectedWheels;
    }
    for (int i = 0; i < count; ++i) {
        INPUT& input = inputs[i];
        input = INPUT{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL;
        input.mi.mouseData = static_cast<DWORD>(delta);
        input.mi.dwExtraInfo = kRollixInjectedMarker;
    }
    return count > 0 && SendInput(static_cast<UINT>(count), inputs, sizeof(INPUT)) == static_cast<UINT>(count);
}
