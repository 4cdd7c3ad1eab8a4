// The window picker control: a box with a crosshair that follows the mouse while its button is held.
#include "window_picker.h"

#include "editor_ids.h"

namespace {

// GWLP_USERDATA: 1 while the crosshair is being dragged.
constexpr LONG_PTR kDragging = 1;

// The window the dragged crosshair was last over: one drag at a time in a process.
HWND g_hovered = nullptr;

bool Dragging(HWND picker)
{
    return GetWindowLongPtrA(picker, GWLP_USERDATA) == kDragging;
}

void SetDragging(HWND picker, bool dragging)
{
    SetWindowLongPtrA(picker, GWLP_USERDATA, dragging ? kDragging : 0);
    InvalidateRect(picker, nullptr, TRUE); // the crosshair leaves its box while it is dragged
}

void ShowCrosshairCursor()
{
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32515))); // IDC_CROSS
}

void Paint(HWND picker)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(picker, &paint);
    RECT box;
    GetClientRect(picker, &box);
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (!Dragging(picker)) {
        // A ring with a cross through it, in the text colour, as large as the box allows.
        const int size = (box.right - box.left < box.bottom - box.top ? box.right - box.left : box.bottom - box.top);
        const int radius = size * 3 / 10;
        const int x = (box.left + box.right) / 2;
        const int y = (box.top + box.bottom) / 2;
        const HPEN pen = CreatePen(PS_SOLID, size >= 32 ? 2 : 1, GetSysColor(COLOR_WINDOWTEXT));
        const HGDIOBJ oldPen = SelectObject(dc, pen);
        const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
        const int arm = size * 4 / 10;
        MoveToEx(dc, x - arm, y, nullptr);
        LineTo(dc, x + arm + 1, y);
        MoveToEx(dc, x, y - arm, nullptr);
        LineTo(dc, x, y + arm + 1);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    EndPaint(picker, &paint);
}

LRESULT CALLBACK PickerProc(HWND picker, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        // Captured while the button is held, the mouse keeps coming here over other programs' windows too; a
        // capture taken without a held button would not reach past this program's own windows.
        SetCapture(picker);
        SetDragging(picker, true);
        ShowCrosshairCursor();
        return 0;
    case WM_MOUSEMOVE:
        if (Dragging(picker)) {
            ShowCrosshairCursor(); // no WM_SETCURSOR comes while the mouse is captured
            POINT point;
            GetCursorPos(&point);
            const HWND window = WindowFromPoint(point);
            if (window != g_hovered) {
                g_hovered = window;
                SendMessageA(GetParent(picker), kWindowHovered, 0, reinterpret_cast<LPARAM>(window));
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (Dragging(picker)) {
            POINT point;
            GetCursorPos(&point);
            ReleaseCapture(); // before the dialog acts: it may show a message
            SendMessageA(GetParent(picker), kWindowPicked, 0, reinterpret_cast<LPARAM>(WindowFromPoint(point)));
        }
        return 0;
    case WM_CAPTURECHANGED: // released above, or taken by the system (a switch to another program)
        SetDragging(picker, false);
        g_hovered = nullptr;
        return 0;
    case WM_PAINT:
        Paint(picker);
        return 0;
    default:
        return DefWindowProcA(picker, message, wParam, lParam);
    }
}

} // namespace

bool RegisterWindowPicker(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PickerProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.lpszClassName = ROLLIX_PICKER_CLASS;
    return RegisterClassExA(&windowClass) != 0;
}

bool ProgramOfWindow(HWND window, char (&path)[MAX_PATH])
{
    // The program of the top-level window: a child may be another program's window embedded in it.
    const HWND root = GetAncestor(window, GA_ROOT);
    DWORD processId = 0;
    GetWindowThreadProcessId(root != nullptr ? root : window, &processId);
    if (processId == 0 || processId == GetCurrentProcessId()) {
        return false;
    }
    // QueryFullProcessImageNameA exists from Vista on, as does the limited access right it needs.
    using QueryImageNameProc = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    const auto queryImageName = reinterpret_cast<QueryImageNameProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
    if (queryImageName == nullptr) {
        return false;
    }
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    DWORD size = MAX_PATH;
    const bool found = queryImageName(process, 0, path, &size) != FALSE;
    CloseHandle(process);
    return found;
}
