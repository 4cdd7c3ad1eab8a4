// Starts and ends the hook thread; the exports call in here from whatever thread the program uses.
#include "hook_thread.h"

#include "callback_timing.h"

#include <atomic>

namespace {

// How long a start or a stop waits for the hook thread. It answers within one callback; the bound only keeps the
// program from hanging should the system never run the thread.
constexpr DWORD kThreadWaitMs = 5000;
// Posted to a hook thread to end it.
constexpr UINT kStopMessage = WM_APP;

HMODULE Module = nullptr;
// Serialises the exports among themselves; the hook callback never takes it.
CRITICAL_SECTION ExportLock;
bool ExportLockReady = false;
// Where each hook thread keeps its router, for the callback to find.
DWORD RouterSlot = TLS_OUT_OF_INDEXES;

HANDLE RunningThread = nullptr;
DWORD RunningThreadId = 0;

std::atomic<DWORD> LastMouseEventTick{0};
std::atomic<bool> EverStarted{false};

// Handed to a new hook thread, which owns and frees it.
struct ThreadStart
{
    RouterConfig m_config;
    HANDLE m_readyEvent = nullptr; // set once the hook is installed; a failed install ends the thread instead
};

LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM data)
{
    auto* router = static_cast<WheelRouter*>(TlsGetValue(RouterSlot));
    if (code < 0 || router == nullptr) {
        return CallNextHookEx(nullptr, code, message, data);
    }
    LastMouseEventTick.store(GetTickCount(), std::memory_order_relaxed);
    if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL) {
        return router->OnMouseEvent(code, message, data);
    }
    LARGE_INTEGER began;
    LARGE_INTEGER ended;
    QueryPerformanceCounter(&began);
    const LRESULT result = router->OnMouseEvent(code, message, data);
    QueryPerformanceCounter(&ended);
    RecordWheelCallback(began.QuadPart, ended.QuadPart);
    return result;
}

// Reads messages until the stop, letting the system call the hook in between: the callback runs inside
// GetMessage. A plain GetMessage loop costs the fewest trips to the window server per event.
void RunUntilStopped()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kStopMessage) {
            return;
        }
        DispatchMessageA(&message);
    }
}

DWORD WINAPI HookThreadMain(void* parameter)
{
    auto* start = static_cast<ThreadStart*>(parameter);
    // On this thread's own stack: should a stopped thread outlive its stop's wait, it still shares nothing with
    // the thread that replaces it.
    WheelRouter router(start->m_config);
    const HANDLE readyEvent = start->m_readyEvent;
    HeapFree(GetProcessHeap(), 0, start);

    // The system waits on this thread for every mouse event of the session, and it sleeps otherwise.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    router.PrepareThread();
    TlsSetValue(RouterSlot, &router);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // the message queue, before a stop is posted to it
    const HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, MouseHookProc, Module, 0);
    if (hook != nullptr) {
        router.SetHook(hook);
        SetEvent(readyEvent);
        RunUntilStopped();
        UnhookWindowsHookEx(hook);
    }
    router.StopSmoothing();
    TlsSetValue(RouterSlot, nullptr);
    // The reference taken for this thread kept the library mapped while its code ran.
    FreeLibraryAndExitThread(Module, 0);
    return 0;
}

void StopLocked()
{
    if (RunningThread == nullptr) {
        return;
    }
    // A thread that does not end in time is left to end by itself; it shares nothing with a successor.
    if (PostThreadMessageA(RunningThreadId, kStopMessage, 0, 0)) {
        WaitForSingleObject(RunningThread, kThreadWaitMs);
    }
    CloseHandle(RunningThread);
    RunningThread = nullptr;
    RunningThreadId = 0;
}

// A reference to this library for a hook thread, so that a FreeLibrary while it runs cannot unmap its code.
bool TakeLibraryReference()
{
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(Module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    path[length] = '\0';
    return LoadLibraryA(path) == Module;
}

void StartLocked(const RouterConfig& config)
{
    StopLocked();
    if (RouterSlot == TLS_OUT_OF_INDEXES) {
        return;
    }
    auto* start = static_cast<ThreadStart*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ThreadStart)));
    if (start == nullptr) {
        return;
    }
    start->m_config = config;
    start->m_readyEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE readyEvent = start->m_readyEvent;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    if (readyEvent != nullptr && TakeLibraryReference()) {
        thread = CreateThread(nullptr, 0, HookThreadMain, start, 0, &threadId);
        if (thread == nullptr) {
            FreeLibrary(Module);
        }
    }
    if (thread == nullptr) {
        HeapFree(GetProcessHeap(), 0, start);
        if (readyEvent != nullptr) {
            CloseHandle(readyEvent);
        }
        return;
    }
    const HANDLE waits[] = {readyEvent, thread};
    const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, kThreadWaitMs);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_TIMEOUT) {
        // Installed, or still on its way: either way this is the running thread now, and a stop will end it.
        RunningThread = thread;
        RunningThreadId = threadId;
    } else {
        // The hook could not be installed and the thread has ended; the watchdog will try again.
        CloseHandle(thread);
    }
    // Set by the thread before anything else it does with it, or never: after the wait it is ours alone. On a
    // time-out the thread may still set it, so it stays open.
    if (woken != WAIT_TIMEOUT) {
        CloseHandle(readyEvent);
    }
}

class ExportGuard
{
  public:
    ExportGuard() { EnterCriticalSection(&ExportLock); }
    ~ExportGuard() { LeaveCriticalSection(&ExportLock); }
    ExportGuard(const ExportGuard&) = delete;
    ExportGuard& operator=(const ExportGuard&) = delete;
};

} // namespace

void AttachHookThreads(HMODULE module)
{
    Module = module;
    // Without a slot no hook can run, but the program still starts: the library is a load-time import.
    RouterSlot = TlsAlloc();
    InitializeCriticalSection(&ExportLock);
    ExportLockReady = true;
}

HMODULE LibraryModule()
{
    return Module;
}

void DetachHookThreads()
{
    // Every hook thread holds a reference to the library, so none runs once it is being unloaded.
    if (ExportLockReady) {
        DeleteCriticalSection(&ExportLock);
        ExportLockReady = false;
    }
    if (RouterSlot != TLS_OUT_OF_INDEXES) {
        TlsFree(RouterSlot);
        RouterSlot = TLS_OUT_OF_INDEXES;
    }
}

void StartHookThread(const RouterConfig& config)
{
    ExportGuard guard;
    // A fresh hook counts as having just seen a message, or the watchdog would re-install it at once.
    LastMouseEventTick.store(GetTickCount(), std::memory_order_relaxed);
    EverStarted.store(true, std::memory_order_release);
    StartLocked(config);
}

void StopHookThread()
{
    ExportGuard guard;
    StopLocked();
}

bool LastMouseTick(DWORD& tick)
{
    if (!EverStarted.load(std::memory_order_acquire)) {
        return false;
    }
    tick = LastMouseEventTick.load(std::memory_order_relaxed);
    return true;
}
