// The windows the wheel is aimed at in the hook tests, run in a process of its own: a top-level window with scroll
// bars, a child without, a stand-in of a system-routed framework window, a list box framed by a group box, a
// drop-down combo box, and a second top-level window that takes the focus. Every wheel and scroll message they
// receive is appended to a log with its time. Messages to the top-level window make it stall, open a popup menu
// or drop its combo box down.
// Asked for, it also shows look-alikes of other programs' window trees: Excel's XLMAIN, XLDESK and EXCEL7, and a
// XAML island's host with its content bridge. With "modal" the second window is a dialog the first owns, open
// modally: the first is disabled.
//   hook_target_window.exe <log file> [capture] [fullscreen|maximized|ownframe] [tooltip] [lookalikes] [modal]
// Once up, it writes "<name> <handle>" lines to "<log file>.ready".
#include "hook_target_commands.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

HANDLE LogFile = INVALID_HANDLE_VALUE;
HWND Top;
HWND Child;
HWND Core;
HWND Focus;
HWND Group;
HWND List;
HWND Combo;
HWND DropList;
HWND Tooltip;
HWND XlMain;
HWND XlDesk;
HWND Excel7;
HWND XamlHost;
HWND XamlBridge;
WNDPROC ListProc;
WNDPROC GroupProc;
WNDPROC DropListProc;
bool OwnFrame = false;

const char* NameOf(HWND window)
{
    const struct
    {
        HWND m_window;
        const char* m_name;
    } names[] = {{Top, "top"},     {Child, "child"}, {Core, "core"},         {Focus, "focus"},
                 {Group, "group"}, {List, "list"},   {DropList, "droplist"}, {Combo, "combo"},
                 {XlMain, "xlmain"}, {XlDesk, "xldesk"}, {Excel7, "excel7"}, {XamlHost, "xamlhost"},
                 {XamlBridge, "xamlbridge"}};
    for (const auto& entry : names) {
        if (entry.m_window == window && window != nullptr) {
            return entry.m_name;
        }
    }
    return "?";
}

const char* MessageName(UINT message)
{
    switch (message) {
    case WM_MOUSEWHEEL:
        return "wheel";
    case WM_MOUSEHWHEEL:
        return "hwheel";
    case WM_VSCROLL:
        return "vscroll";
    case WM_HSCROLL:
        return "hscroll";
    default:
        return nullptr;
    }
}

bool Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const char* name = MessageName(message);
    if (name == nullptr) {
        return false;
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char line[160];
    const int length = std::snprintf(line, sizeof(line), "%lld %s %s %08lx %08lx\n", now.QuadPart, NameOf(window), name,
                                     static_cast<unsigned long>(wParam & 0xFFFFFFFFu),
                                     static_cast<unsigned long>(lParam & 0xFFFFFFFF));
    DWORD written = 0;
    WriteFile(LogFile, line, static_cast<DWORD>(length), &written, nullptr);
    return true;
}

void OpenMenu(LPARAM where)
{
    HMENU menu = CreatePopupMenu();
    for (int item = 1; item <= 5; ++item) {
        char text[16];
        std::snprintf(text, sizeof(text), "Item %d", item);
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(item), text);
    }
    // A menu's owner must be in the foreground, or the menu does not close when the user clicks elsewhere.
    SetForegroundWindow(Top);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, static_cast<short>(LOWORD(where)),
                   static_cast<short>(HIWORD(where)), 0, Top, nullptr);
    DestroyMenu(menu);
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Record(window, message, wParam, lParam)) {
        // Handled here, so that DefWindowProc does not hand a child's wheel on to its parent as well.
        return 0;
    }
    if (window == Top) {
        switch (message) {
        case kTargetStall:
            // Stops reading messages, as a program busy with something else does.
            Sleep(static_cast<DWORD>(wParam));
            return 0;
        case kTargetOpenMenu:
            OpenMenu(lParam);
            return 0;
        case kTargetDropDown:
            // As a user's click on it would, the drop-down comes with its window in the foreground.
            SetForegroundWindow(Top);
            SendMessageA(Combo, CB_SHOWDROPDOWN, TRUE, 0);
            return 0;
        default:
            break;
        }
    }
    if (message == WM_NCCALCSIZE && window == Focus && OwnFrame && wParam != 0) {
        // Like a browser that draws its own title bar: the client area takes the whole window.
        return 0;
    }
    if (message == WM_DESTROY && window == Focus) {
        PostQuitMessage(0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The controls of the system's own classes are logged through a subclass that passes everything on.
LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Record(window, message, wParam, lParam);
    const WNDPROC original = window == List ? ListProc : window == Group ? GroupProc : DropListProc;
    return CallWindowProcA(original, window, message, wParam, lParam);
}

WNDPROC Subclass(HWND window)
{
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
}

void Register(const char* className)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
}

void CreateControls()
{
    // The group box goes on top of the list it frames, as in a dialog whose group box comes first.
    List = CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                           40, 215, 170, 110, Top, nullptr, nullptr, nullptr);
    for (int item = 1; item <= 30; ++item) {
        char text[16];
        std::snprintf(text, sizeof(text), "Line %d", item);
        SendMessageA(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    Group = CreateWindowExA(0, "Button", "Group", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 25, 195, 200, 145, Top, nullptr,
                            nullptr, nullptr);
    SetWindowPos(Group, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Combo = CreateWindowExA(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 250, 200, 140,
                            160, Top, nullptr, nullptr, nullptr);
    for (int item = 1; item <= 30; ++item) {
        char text[16];
        std::snprintf(text, sizeof(text), "Choice %d", item);
        SendMessageA(Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(Combo, &info)) {
        DropList = info.hwndList;
    }
    ListProc = Subclass(List);
    GroupProc = Subclass(Group);
    if (DropList != nullptr) {
        DropListProc = Subclass(DropList);
    }
}

// A tooltip of the common controls, shown over the middle of the child as a tracking tooltip.
void ShowTooltip()
{
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&init);
    Tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                              0, Top, nullptr, nullptr, nullptr);
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = Top;
    tool.lpszText = const_cast<char*>("A tooltip over the child window");
    SendMessageA(Tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    RECT child{};
    GetWindowRect(Child, &child);
    SendMessageA(Tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(child.left + 20, (child.top + child.bottom) / 2 - 8));
    SendMessageA(Tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void WriteReady(const char* logPath)
{
    const struct
    {
        const char* m_name;
        HWND m_window;
    } windows[] = {{"top", Top},   {"child", Child}, {"core", Core},         {"focus", Focus},    {"group", Group},
                   {"list", List}, {"combo", Combo}, {"droplist", DropList}, {"tooltip", Tooltip},
                   {"xlmain", XlMain}, {"xldesk", XlDesk}, {"excel7", Excel7}, {"xamlhost", XamlHost},
                   {"xamlbridge", XamlBridge}};
    char ready[1000];
    int length = 0;
    for (const auto& entry : windows) {
        length +=
            std::snprintf(ready + length, sizeof(ready) - static_cast<std::size_t>(length), "%s %llu\n", entry.m_name,
                          static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(entry.m_window)));
    }
    char readyPath[MAX_PATH + 8];
    std::snprintf(readyPath, sizeof(readyPath), "%s.ready", logPath);
    // Written whole under another name first, so the driver never reads half of it.
    char partPath[MAX_PATH + 16];
    std::snprintf(partPath, sizeof(partPath), "%s.part", readyPath);
    HANDLE readyFile = CreateFileA(partPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(readyFile, ready, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(readyFile);
    MoveFileA(partPath, readyPath);
}

// Window trees shaped like Excel's workbook (XLMAIN, XLDESK, EXCEL7) and a XAML island's host, beside the target.
void CreateLookalikes()
{
    for (const char* name : {"XLMAIN", "XLDESK", "EXCEL7", "RollixXamlHost",
                             "Windows.UI.Composition.DesktopWindowContentBridge"}) {
        Register(name);
    }
    XlMain = CreateWindowExA(0, "XLMAIN", "Book1", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560, 330, 300, 190, nullptr,
                             nullptr, nullptr, nullptr);
    XlDesk = CreateWindowExA(0, "XLDESK", "", WS_CHILD | WS_VISIBLE, 5, 5, 270, 130, XlMain, nullptr, nullptr, nullptr);
    Excel7 = CreateWindowExA(0, "EXCEL7", "Book1", WS_CHILD | WS_VISIBLE, 5, 5, 250, 110, XlDesk, nullptr, nullptr,
                             nullptr);
    XamlHost = CreateWindowExA(0, "RollixXamlHost", "XAML", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560, 540, 300, 170,
                               nullptr, nullptr, nullptr, nullptr);
    XamlBridge = CreateWindowExA(0, "Windows.UI.Composition.DesktopWindowContentBridge", "", WS_CHILD | WS_VISIBLE, 5, 5,
                                 260, 110, XamlHost, nullptr, nullptr, nullptr);
}

bool HasOption(int argc, char** argv, const char* option)
{
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    const bool capture = HasOption(argc, argv, "capture");
    const bool fullScreen = HasOption(argc, argv, "fullscreen");
    OwnFrame = HasOption(argc, argv, "ownframe");
    const bool maximized = OwnFrame || HasOption(argc, argv, "maximized");
    LogFile = CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (LogFile == INVALID_HANDLE_VALUE) {
        return 3;
    }
    Register("RollixTargetTop");
    Register("RollixTargetChild");
    Register("Windows.UI.Core.CoreWindow");
    Register("RollixTargetFocus");
    Top = CreateWindowExA(0, "RollixTargetTop", "Target", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE,
                          100, 100, 420, 400, nullptr, nullptr, nullptr, nullptr);
    Child = CreateWindowExA(0, "RollixTargetChild", "", WS_CHILD | WS_BORDER | WS_VISIBLE, 30, 30, 200, 150, Top,
                            nullptr, nullptr, nullptr);
    Core = CreateWindowExA(0, "Windows.UI.Core.CoreWindow", "", WS_CHILD | WS_BORDER | WS_VISIBLE, 250, 30, 100, 150,
                           Top, nullptr, nullptr, nullptr);
    CreateControls();
    if (HasOption(argc, argv, "lookalikes")) {
        CreateLookalikes();
    }
    if (fullScreen) {
        Focus = CreateWindowExA(WS_EX_TOPMOST, "RollixTargetFocus", "Full screen", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr,
                                nullptr);
    } else {
        const bool modal = HasOption(argc, argv, "modal");
        Focus = CreateWindowExA(0, "RollixTargetFocus", "Focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100, 300, 200,
                                modal ? Top : nullptr, nullptr, nullptr, nullptr);
        if (modal) {
            EnableWindow(Top, FALSE);
        }
        if (maximized) {
            ShowWindow(Focus, SW_MAXIMIZE);
        }
    }
    SetForegroundWindow(Focus);
    SetFocus(Focus);
    if (fullScreen || maximized) {
        // Over a window that covers the screen the targets must stay in sight; the big one keeps the foreground.
        SetWindowPos(Top, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (HasOption(argc, argv, "tooltip")) {
        ShowTooltip();
    }

    if (capture) {
        // Wine itself routes the wheel to the window under the pointer; with the capture on the focused window the
        // system hands the wheel to that window instead, as Windows does to the focus, so the hook's routing shows.
        SetCapture(Focus);
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    WriteReady(argv[1]);

    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CloseHandle(LogFile);
    return 0;
}
