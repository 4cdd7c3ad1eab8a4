// The settings dialog's window logic: every decision is the functional core's; this file moves
// values between the core, the controls and rollix.ini.
#include "settings_dialog.h"

#include "dialog_font.h"
#include "editor_ids.h"
#include "lines_field.h"
#include "program_link.h"
#include "settings_file.h"
#include "settings_form.h"
#include "settings_layout.h"

#include <commctrl.h>

namespace {

// The check box that shows each switch; LinesToScroll has its edit field instead.
struct SwitchControl
{
    SettingKey key;
    int id;
};

constexpr SwitchControl kSwitches[] = {
    {kConvertToScroll, IDC_CONVERT_TO_SCROLL}, {kReverseScroll, IDC_REVERSE_SCROLL},
    {kActivateWindows, IDC_ACTIVATE_WINDOWS},  {kLeftClickEnableToggle, IDC_LEFT_CLICK_TOGGLE},
    {kHideTrayIcon, IDC_HIDE_TRAY_ICON},       {kRehook, IDC_REHOOK},
    {kRunAsAdmin, IDC_RUN_AS_ADMIN},
};

// The program reads at most 2047 characters of a value.
constexpr DWORD kValueBufferSize = 2048;
constexpr int kLinesFieldMaxChars = 10;
constexpr int kVistaMajorVersion = 6;
// The program's icon, which the editor wears too.
const char kIconName[] = "MAINICON";
// Room a template may need beyond its own size and the new face: the font's fixed fields and alignment.
constexpr size_t kDialogFontSlack = 8;
// The controls that only count while the wheel is converted to scroll-bar messages.
constexpr int kLinesControls[] = {IDC_LINES_LABEL, IDC_LINES, IDC_LINES_SPIN};

const char kLinesRefused[] = "Lines to scroll per wheel notch: enter a whole number from 1 to 100.";
const wchar_t kLinesRefusedTitle[] = L"Lines to scroll per wheel notch";
const wchar_t kLinesRefusedText[] = L"Enter a whole number from 1 to 100.";

struct DialogState
{
    SettingsForm saved; // what the file holds, read the way the program reads it
    bool vistaOrLater;  // elevation is offered, and the dialog takes the system's dialog font
};

bool VistaOrLater()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    // Deprecated, but it is the very test the program makes before it honours RunAsAdmin.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
    return known && version.dwMajorVersion >= kVistaMajorVersion;
}

DialogState* StateOf(HWND dialog)
{
    // The window's user data is the state's address, set once the controls are filled.
    const LONG_PTR address = GetWindowLongPtrA(dialog, GWLP_USERDATA);
    return reinterpret_cast<DialogState*>(address); // NOLINT(performance-no-int-to-ptr)
}

void LoadForm(SettingsForm& form)
{
    char text[kValueBufferSize];
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingKey key = static_cast<SettingKey>(i);
        ReadSettingText(InfoOf(key).name, InfoOf(key).defaultText, text, sizeof(text));
        form.values[i] = DecodeSetting(key, text);
    }
}

void ShowForm(HWND dialog, const SettingsForm& form)
{
    for (const SwitchControl& control : kSwitches) {
        CheckDlgButton(dialog, control.id, form.values[control.key] != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    SetDlgItemInt(dialog, IDC_LINES, static_cast<UINT>(form.values[kLinesToScroll]), FALSE);
}

// Reads the controls into `form`; false when the lines field is refused.
bool ReadForm(HWND dialog, const DialogState& state, SettingsForm& form)
{
    form = state.saved;
    for (const SwitchControl& control : kSwitches) {
        if (control.key == kRunAsAdmin && !state.vistaOrLater) {
            continue; // not shown before Vista, so whatever the file holds stays
        }
        form.values[control.key] = IsDlgButtonChecked(dialog, control.id) == BST_CHECKED ? 1 : 0;
    }
    char text[kLinesFieldMaxChars + 2];
    GetDlgItemTextA(dialog, IDC_LINES, text, sizeof(text));
    const bool linesApply = IsWindowEnabled(GetDlgItem(dialog, IDC_LINES)) != FALSE;
    const LinesFieldResult lines = ReadLinesField(text, state.saved.values[kLinesToScroll], linesApply);
    if (lines.status != kLinesAccepted) {
        return false;
    }
    form.values[kLinesToScroll] = lines.lines;
    return true;
}

void FocusControl(HWND dialog, int id)
{
    // WM_NEXTDLGCTL, unlike SetFocus, also moves the default-button highlight the way the dialog
    // manager expects.
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

bool ErrorShown(HWND dialog)
{
    // The style, not IsWindowVisible: before the dialog first shows, no control counts as visible.
    return (GetWindowLongPtrA(GetDlgItem(dialog, IDC_LINES_ERROR), GWL_STYLE) & WS_VISIBLE) != 0;
}

void RefuseLines(HWND dialog)
{
    const HWND field = GetDlgItem(dialog, IDC_LINES);
    SetDlgItemTextA(dialog, IDC_LINES_ERROR, kLinesRefused);
    if (!ErrorShown(dialog)) {
        ShowWindow(GetDlgItem(dialog, IDC_LINES_ERROR), SW_SHOW);
        LayOutSettingsDialog(dialog, false); // the rows below make room for it
    }
    FocusControl(dialog, IDC_LINES);
    SendMessageA(field, EM_SETSEL, 0, -1);
    // The balloon needs Common Controls 6; where it is missing the text beside the field remains.
    EDITBALLOONTIP balloon = {sizeof(balloon), kLinesRefusedTitle, kLinesRefusedText, TTI_ERROR};
    if (!SendMessageA(field, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&balloon))) {
        MessageBeep(MB_ICONWARNING);
    }
}

void ClearLinesError(HWND dialog)
{
    if (ErrorShown(dialog)) {
        ShowWindow(GetDlgItem(dialog, IDC_LINES_ERROR), SW_HIDE);
        LayOutSettingsDialog(dialog, false); // and leave no gap where it was
    }
}

// The lines field counts only while the wheel is converted; it sits under that check box and follows it.
void EnableLinesField(HWND dialog)
{
    const BOOL converted = IsDlgButtonChecked(dialog, IDC_CONVERT_TO_SCROLL) == BST_CHECKED;
    if (!converted) {
        ClearLinesError(dialog);
    }
    for (const int id : kLinesControls) {
        EnableWindow(GetDlgItem(dialog, id), converted);
    }
}

// Apply is offered only while there is something to save (or a lines entry to refuse).
void UpdateApply(HWND dialog)
{
    const DialogState* state = StateOf(dialog);
    if (state == nullptr) {
        return; // still initialising: the controls are being filled
    }
    SettingsForm edited;
    bool pending = !ReadForm(dialog, *state, edited);
    if (!pending) {
        SettingChange changes[kSettingCount];
        pending = FindChanges(state->saved, edited, changes) > 0;
    }
    const HWND apply = GetDlgItem(dialog, IDC_APPLY);
    if (!pending && GetFocus() == apply) {
        // A disabled control cannot keep the focus; without this the keyboard would be stranded.
        FocusControl(dialog, IDOK);
    }
    EnableWindow(apply, pending);
}

void ReportWriteFailure(HWND dialog, DWORD error)
{
    char path[MAX_PATH + 1];
    SettingsFilePath(path);
    char reason[512];
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                       sizeof(reason), nullptr) == 0) {
        wsprintfA(reason, "Error %lu.", static_cast<unsigned long>(error));
    }
    char message[MAX_PATH + sizeof(reason) + 256];
    lstrcpyA(message, "The settings could not be saved to\r\n");
    lstrcatA(message, path);
    lstrcatA(message, "\r\n\r\n");
    lstrcatA(message, reason);
    lstrcatA(message, "\r\nYour choices are still in the window: fix the problem, then press OK or Apply again.");
    MessageBoxA(dialog, message, ROLLIX_EDITOR_TITLE, MB_OK | MB_ICONERROR);
}

// Writes the changed keys and tells a running program. False keeps the dialog open.
bool Save(HWND dialog)
{
    DialogState& state = *StateOf(dialog);
    SettingsForm edited;
    if (!ReadForm(dialog, state, edited)) {
        RefuseLines(dialog);
        return false;
    }
    SettingChange changes[kSettingCount];
    const int count = FindChanges(state.saved, edited, changes);
    int written = 0;
    DWORD error = ERROR_SUCCESS;
    for (; written < count; ++written) {
        error = WriteSettingText(InfoOf(changes[written].key).name, changes[written].text);
        if (error != ERROR_SUCCESS) {
            break;
        }
        state.saved.values[changes[written].key] = edited.values[changes[written].key];
    }
    // Whatever did reach the file is told, even when a later key failed.
    NotifyRunningProgram(CodesAfterSave(changes, written));
    UpdateApply(dialog);
    if (error != ERROR_SUCCESS) {
        ReportWriteFailure(dialog, error);
        return false;
    }
    return true;
}

void InitDialog(HWND dialog, DialogState& state)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    // The caption and the taskbar show the small image drawn for their size, not the large one shrunk.
    const HANDLE smallIcon = LoadImageA(instance, kIconName, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    SendDlgItemMessageA(dialog, IDC_LINES, EM_LIMITTEXT, kLinesFieldMaxChars, 0);
    SendDlgItemMessageA(dialog, IDC_LINES_SPIN, UDM_SETRANGE32, kMinLinesToScroll, kMaxLinesToScroll);
    SendDlgItemMessageA(dialog, IDC_LINES_SPIN, UDM_SETPOS32, 0, state.saved.values[kLinesToScroll]);
    // After the spin buttons: they write their position, kept within 1 to 100, into the field, and a value
    // above 100 that the file holds must show as it is (else it would read as an edit).
    ShowForm(dialog, state.saved);
    EnableLinesField(dialog);
    if (!state.vistaOrLater) {
        // Elevation exists from Vista on; earlier the program ignores the key.
        ShowWindow(GetDlgItem(dialog, IDC_RUN_AS_ADMIN), SW_HIDE);
        EnableWindow(GetDlgItem(dialog, IDC_RUN_AS_ADMIN), FALSE);
    }
    LayOutSettingsDialog(dialog, true);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    UpdateApply(dialog);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(dialog, *reinterpret_cast<DialogState*>(lParam)); // NOLINT(performance-no-int-to-ptr)
        return TRUE;                                                 // the dialog manager focuses the first tab stop
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (Save(dialog)) {
                DestroyWindow(dialog);
            }
            return TRUE;
        case IDCANCEL: // Esc, the close box and the Cancel button
            DestroyWindow(dialog);
            return TRUE;
        case IDC_APPLY:
            Save(dialog);
            return TRUE;
        case IDC_LINES:
            if (HIWORD(wParam) == EN_CHANGE) {
                ClearLinesError(dialog);
                UpdateApply(dialog);
            }
            return TRUE;
        case IDC_CONVERT_TO_SCROLL:
            if (HIWORD(wParam) == BN_CLICKED) {
                EnableLinesField(dialog);
                UpdateApply(dialog);
            }
            return TRUE;
        default:
            if (HIWORD(wParam) == BN_CLICKED) {
                UpdateApply(dialog);
            }
            return TRUE;
        }
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

bool RegisterDialogClass(HINSTANCE instance)
{
    // The dialog's own class (named in its template) lets a second start find it without relying
    // on the caption. Dialog classes must reserve DLGWINDOWEXTRA and use DefDlgProc.
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefDlgProcA;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, kIconName);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    // A system colour index plus one stands for that colour's brush.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1); // NOLINT(performance-no-int-to-ptr)
    windowClass.lpszClassName = ROLLIX_EDITOR_CLASS;
    return RegisterClassExA(&windowClass) != 0;
}

// The dialog's template with the system's dialog font (Segoe UI 9 pt from Vista on) in place of the one it
// names, whose "MS Shell Dlg" stands for Tahoma 8 pt on every Windows. Null when it cannot be had; else
// the caller frees it from the process heap.
unsigned char* TemplateInSystemFont(HINSTANCE instance)
{
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), RT_DIALOG);
    const void* source = found != nullptr ? LockResource(LoadResource(instance, found)) : nullptr;
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics); // the size from Vista on, which is when this is asked
    if (source == nullptr || !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return nullptr;
    }
    // The system's fonts come in pixels at the system DPI; dialog templates want points.
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const LOGFONTW& message = metrics.lfMessageFont;
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");
    const DialogFont font = {PointSizeOf(message.lfHeight, dpi), static_cast<int>(message.lfWeight),
                             message.lfItalic != 0, message.lfCharSet,
                             reinterpret_cast<const char16_t*>(message.lfFaceName)};
    const DWORD size = SizeofResource(instance, found);
    const size_t room = size + sizeof(message.lfFaceName) + kDialogFontSlack;
    auto* copy = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, room));
    if (font.pointSize <= 0 || copy == nullptr ||
        WithDialogFont(static_cast<const unsigned char*>(source), size, font, copy, room) == 0) {
        HeapFree(GetProcessHeap(), 0, copy);
        return nullptr;
    }
    return copy;
}

HWND CreateSettingsDialog(HINSTANCE instance, DialogState& state)
{
    unsigned char* inSystemFont = state.vistaOrLater ? TemplateInSystemFont(instance) : nullptr;
    if (inSystemFont == nullptr) {
        return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, SettingsDialogProc,
                                  reinterpret_cast<LPARAM>(&state));
    }
    // The dialog manager is done with the template once the dialog exists.
    const HWND dialog = CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(inSystemFont), nullptr,
                                                   SettingsDialogProc, reinterpret_cast<LPARAM>(&state));
    HeapFree(GetProcessHeap(), 0, inSystemFont);
    return dialog;
}

} // namespace

int RunSettingsDialog(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    if (!RegisterDialogClass(instance)) {
        return 1;
    }
    DialogState state = {};
    LoadForm(state.saved);
    state.vistaOrLater = VistaOrLater();
    const HWND dialog = CreateSettingsDialog(instance, state);
    if (dialog == nullptr) {
        return 1;
    }
    ShowWindow(dialog, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // IsDialogMessage gives the modeless dialog Tab, arrow keys, mnemonics, Enter and Esc.
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}
