// Starts and ends the hook thread; the exports call in here from whatever thread the program uses.
#include "hook_thread.h"

#include "callback_timing.h"
#include "system_functions.h"

#include <atomic>
#include <initializer_list>
#include <new>

namespace {

// How long a start or a stop waits for the hook thread. It answers within one callback; the bound only keeps the
// program from hanging should the system never run the thread.
constexpr DWORD kThreadWaitMs = 5000;

HMODULE Module = nullptr;
// Serialises the exports among themselves; the hook callback never takes it.
CRITICAL_SECTION ExportLock;
bool ExportLockReady = false;
// Where each hook thread keeps its router, for the callback to find.
DWORD RouterSlot = TLS_OUT_OF_INDEXES;

HANDLE RunningThread = nullptr;
HANDLE RunningStopEvent = nullptr; // set to end the running thread, which waits on its own duplicate

std::atomic<DWORD> LastMouseEventTick{0};
std::atomic<bool> EverStarted{false};

// Handed to a new hook thread, which owns and frees it, and closes its events.
struct ThreadStart
{
    RouterConfig m_config;
    HANDLE m_readyEvent = nullptr; // set once the hook is installed; a failed install ends the thread instead
    HANDLE m_stopEvent = nullptr;  // set by a stop, whether or not the thread has a message queue yet
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

// Reads messages until the stop, letting the system call the hook in between: the callback runs inside the wait.
// The stop is an event rather than a posted message, which would fail before the thread has a queue.
void RunUntilStopped(HANDLE stopEvent)
{
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &stopEvent, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) {
            return; // stopped, or the wait failed
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return;
            }
            DispatchMessageA(&message);
        }
    }
}

// Installs the hook and routes until the stop. The router lives on this thread's stack, and in this scope only:
// the thread ends in FreeLibraryAndExitThread, which never returns, so whatever it holds (open process handles)
// must be given back before.
void RouteUntilStopped(ThreadStart& start)
{
    WheelRouter router(start.m_config);
    router.PrepareThread();
    TlsSetValue(RouterSlot, &router);
    // The message queue, before the hook: the system may call the hook the moment it is installed.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    const HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, MouseHookProc, Module, 0);
    if (hook != nullptr) {
        router.SetHook(hook);
        SetEvent(start.m_readyEvent);
        RunUntilStopped(start.m_stopEvent);
        UnhookWindowsHookEx(hook);
    }
    router.StopSmoothing();
    TlsSetValue(RouterSlot, nullptr);
}

DWORD WINAPI HookThreadMain(void* parameter)
{
    auto* start = static_cast<ThreadStart*>(parameter);
    // The system waits on this thread for every mouse event of the session, and it sleeps otherwise.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    // A stop that came before this thread ran (a start that timed out) leaves no hook behind.
    if (WaitForSingleObject(start->m_stopEvent, 0) == WAIT_TIMEOUT) {
        RouteUntilStopped(*start);
    }
    CloseHandle(start->m_readyEvent);
    CloseHandle(start->m_stopEvent);
    start->~ThreadStart();
    HeapFree(GetProcessHeap(), 0, start);
    // The reference taken for this thread kept the library mapped while its code ran.
    FreeLibraryAndExitThread(Module, 0);
    return 0;
}

void StopLocked()
{
    if (RunningThread == nullptr) {
        return;
    }
    // A thread that does not end in time ends by itself once it runs: its stop event is set.
    SetEvent(RunningStopEvent);
    WaitForSingleObject(RunningThread, kThreadWaitMs);
    CloseHandle(RunningThread);
    CloseHandle(RunningStopEvent);
    RunningThread = nullptr;
    RunningStopEvent = nullptr;
}

// A reference to this library for a hook thread, so that a FreeLibrary while it runs cannot unmap its code. Taken
// by address: a path through the ANSI functions may hold '?' for a folder outside the code page. Before XP, where
// only the path can do it, no folder lies outside the code page.
bool TakeLibraryReference()
{
    const GetModuleHandleExProc byAddress = Functions().m_getModuleHandleEx;
    if (byAddress != nullptr) {
        HMODULE module = nullptr;
        return byAddress(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&MouseHookProc), &module) &&
               module == Module;
    }
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(Module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    path[length] = '\0';
    return LoadLibraryA(path) == Module;
}

HANDLE DuplicateForThread(HANDLE event)
{
    HANDLE copy = nullptr;
    const HANDLE process = GetCurrentProcess();
    return DuplicateHandle(process, event, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS) ? copy : nullptr;
}

// Closes whichever handles are not null.
void CloseAll(std::initializer_list<HANDLE> handles)
{
    for (HANDLE handle : handles) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
}

void StartLocked(const RouterConfig& config)
{
    StopLocked();
    if (RouterSlot == TLS_OUT_OF_INDEXES) {
        return;
    }
    FindSystemFunctions();
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(ThreadStart));
    if (memory == nullptr) {
        return;
    }
    auto* start = new (memory) ThreadStart();
    start->m_config = config;
    // Each side holds its own handle of both events: neither closes one the other still waits on.
    const HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    start->m_readyEvent = readyEvent != nullptr ? DuplicateForThread(readyEvent) : nullptr;
    start->m_stopEvent = stopEvent != nullptr ? DuplicateForThread(stopEvent) : nullptr;
    HANDLE thread = nullptr;
    if (start->m_readyEvent != nullptr && start->m_stopEvent != nullptr && TakeLibraryReference()) {
        thread = CreateThread(nullptr, 0, HookThreadMain, start, 0, nullptr);
        if (thread == nullptr) {
            FreeLibrary(Module);
        }
    }
    if (thread == nullptr) {
        CloseAll({start->m_readyEvent, start->m_stopEvent, readyEvent, stopEvent});
        start->~ThreadStart();
        HeapFree(GetProcessHeap(), 0, start);
        return;
    }
    const HANDLE waits[] = {readyEvent, thread};
    const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, kThreadWaitMs);
    CloseHandle(readyEvent);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_TIMEOUT) {
        // Installed, or still on its way: either way this is the running thread now, and a stop will end it.
        RunningThread = thread;
        RunningStopEvent = stopEvent;
    } else {
        // The hook could not be installed and the thread has ended; the watchdog will try again.
        CloseAll({thread, stopEvent});
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

void FailHookStart()
{
    ExportGuard guard;
    LastMouseEventTick.store(GetTickCount(), std::memory_order_relaxed);
    EverStarted.store(true, std::memory_order_release);
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
