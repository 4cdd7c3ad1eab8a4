// The window procedure of every toolkit window and the chain of handlers a message passes through.
#include "message_loop.h"
#include "window_object.h"

namespace {
constexpr UINT kKeyMessageFirst = WM_KEYDOWN;
constexpr UINT kKeyMessageLast = 0x109;
int g_focusReentry = 0;

bool KeyHeld(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}

// A window object being destroyed may have freed what its handlers use, its handler record included.
bool HandlersQuiet(const WindowObject* window)
{
    return window->RefCount < 0 || window->HasFlag(kWindowObjectDestroying);
}

// Calls the window's OnMessage unless it has none (no routine) or its handlers are quiet.
bool DispatchOnMessage(WindowObject* window, MessageRecord& message, LRESULT& result)
{
    if (HandlersQuiet(window) || !window->Events->OnMessage)
        return false;
    result = 0;
    return window->Events->OnMessage(message, result);
}

// Runs the attached routines newest first; the first that answers true ends the dispatch.
bool DispatchAttached(WindowObject* window, MessageRecord& message, LRESULT& result)
{
    if (window->AttachedHandlers == nullptr || HandlersQuiet(window))
        return false;
    AddRef(window);
    bool handled = false;
    ObjectList<AttachedHandler>* handlers = window->AttachedHandlers;
    for (int i = handlers->Count() - 1; i >= 0 && !handled; --i) {
        if (i >= handlers->Count())
            continue;
        AttachedHandler handler = (*handlers)[i];
        if (Terminated && !handler.keepAfterTermination)
            continue;
        handled = handler.routine(window, message, result);
    }
    Release(window);
    return handled;
}

bool IsOwnThreadWindow(HWND window)
{
    return window != nullptr && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

LRESULT BuiltInHandling(WindowObject* window, MessageRecord& message)
{
    UINT number = LOWORD(message.message);
    switch (number) {
    case WM_CLOSE: {
        // Only the main window's own close ends the loop, not a message routed here for a window whose object is gone.
        bool isMain = MainWindow != nullptr ? window == MainWindow : !window->HasFlag(kWindowIsChild);
        if (isMain && message.hwnd == window->Handle)
            ::PostQuitMessage(0);
        return DefaultProcessing(window, message);
    }
    case WM_DESTROY:
        if (message.hwnd == window->Handle)
            window->Flags |= kWindowDestroyed;
        return DefaultProcessing(window, message);
    case WM_NCDESTROY:
        return 0;
    case WM_SIZE: {
        LRESULT result = DefaultProcessing(window, message);
        LayoutChildren(window);
        return result;
    }
    case WM_SETFOCUS:
        if (g_focusReentry > 0)
            return DefaultProcessing(window, message);
        if (::IsWindowEnabled(window->Handle) && (window->Style & WS_TABSTOP) != 0) {
            ++g_focusReentry;
            ::SetFocus(window->Handle);
            LRESULT result = DefaultProcessing(window, message);
            --g_focusReentry;
            return result;
        }
        return 0;
    case WM_COMMAND: {
        // Notifications go back to the toolkit control that sent them; only controls of this thread qualify.
        auto control = reinterpret_cast<HWND>(message.lParam);
        if (IsOwnThreadWindow(control) && ::GetWindowLongPtrA(control, GWLP_USERDATA) != 0)
            return ::SendMessageA(control, kReflectedCommand, message.wParam, message.lParam);
        return DefaultProcessing(window, message);
    }
    default:
        break;
    }
    if (number >= WM_CTLCOLORMSGBOX && number <= WM_CTLCOLORSTATIC) {
        auto control = reinterpret_cast<HWND>(message.lParam);
        if (IsOwnThreadWindow(control))
            return ::SendMessageA(control, number + kReflectedColorBase, message.wParam, message.lParam);
        return DefaultProcessing(window, message);
    }
    if (number >= kKeyMessageFirst && number <= kKeyMessageLast) {
        if (::GetFocus() != window->Handle)
            return 0;
        if (KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU))
            return DefaultProcessing(window, message);
        if (number == WM_CHAR && message.wParam == VK_TAB) {
            message.wParam = 0;
            return 0;
        }
        // No form of this program has tab navigation of its own.
        return DefaultProcessing(window, message);
    }
    return DefaultProcessing(window, message);
}
} // namespace

LRESULT DefaultProcessing(WindowObject* window, const MessageRecord& message)
{
    if (window->PreviousWindowProc != nullptr)
        return ::CallWindowProcA(window->PreviousWindowProc, window->Handle, message.message, message.wParam,
                                 message.lParam);
    return ::DefWindowProcA(message.hwnd, message.message, message.wParam, message.lParam);
}

LRESULT WindowObject::HandleMessage(MessageRecord& message)
{
    if (message.hwnd != nullptr && Handle == nullptr)
        Handle = message.hwnd;

    LRESULT result = 0;
    if (LoopActive != 0 && MainWindow != nullptr && MainWindow != this &&
        DispatchOnMessage(MainWindow, message, result))
        return result;
    if (DispatchOnMessage(this, message, result))
        return result;
    result = 0;
    if (DispatchAttached(this, message, result))
        return result;
    return BuiltInHandling(this, message);
}

LRESULT CALLBACK WindowMessageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageRecord record = {hwnd, message, wParam, lParam};
    WindowObject* window = nullptr;
    if (hwnd != nullptr) {
        if (CreatingObject != nullptr) {
            // The first message of a window under creation binds it to its object.
            window = CreatingObject;
            window->Handle = hwnd;
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
            CreatingObject = nullptr;
        } else {
            window = reinterpret_cast<WindowObject*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        }
    }
    if (window == nullptr) {
        if (MainWindow != nullptr)
            return MainWindow->HandleMessage(record);
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }

    ++window->MessageNesting;
    LRESULT result = window->HandleMessage(record);
    --window->MessageNesting;
    // A window that Windows destroyed (its parent went) takes its unreferenced object with it,
    // but never while one of its own messages is still being handled.
    if (window->RefCount == 0 && window->MessageNesting <= 0 && window->HasFlag(kWindowDestroyed) &&
        window != MainWindow)
        Release(window);
    return result;
}
