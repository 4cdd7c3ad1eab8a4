// The settings dialog's window logic: every decision is the functional core's; this file moves
// values between the core, the controls and rollix.ini.
#include "settings_dialog.h"

#include "dialog_window.h"
#include "editor_ids.h"
#include "lines_field.h"
#include "program_link.h"
#include "router_controls.h"
#include "rules_dialog.h"
#include "settings_file.h"
#include "settings_form.h"
#include "settings_layout.h"
#include "startup_entry.h"
#include "window_picker.h"

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

// The controls of the settings shown under the switch they depend on.
struct DependentControls
{
    DependentSetting setting;
    int ids[3];
};

constexpr DependentControls kDependents[] = {
    {kLinesPerNotch, {IDC_LINES_LABEL, IDC_LINES, IDC_LINES_SPIN}},
    {kReversedWheels, {IDC_REVERSE_AXES_LABEL, IDC_REVERSE_AXES, 0}},
};

// The program reads at most 2047 characters of a value.
constexpr DWORD kValueBufferSize = 2048;
constexpr int kLinesFieldMaxChars = 10;
constexpr int kVistaMajorVersion = 6;

const char kLinesRefused[] = "Lines to scroll per wheel notch: enter a whole number from 1 to 100.";
const wchar_t kLinesRefusedTitle[] = L"Lines to scroll per wheel notch";
const wchar_t kLinesRefusedText[] = L"Enter a whole number from 1 to 100.";

// Everything the dialog edits.
struct DialogValues
{
    SettingsForm settings; // [config], read the way the program reads it
    RouterForm router;     // [router], read the way the hook library reads it
    bool startWithWindows; // the start-up entry starts this copy
};

struct DialogState
{
    DialogValues saved; // what the file and the registry hold
    char programPath[MAX_PATH + 1];
    bool vistaOrLater; // elevation is offered, and the dialog takes the system's dialog font
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

void ShowForm(HWND dialog, const DialogValues& values)
{
    for (const SwitchControl& control : kSwitches) {
        CheckDlgButton(dialog, control.id, values.settings.values[control.key] != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    SetDlgItemInt(dialog, IDC_LINES, static_cast<UINT>(values.settings.values[kLinesToScroll]), FALSE);
    InitRouterControls(dialog, values.router);
    CheckDlgButton(dialog, IDC_START_WITH_WINDOWS, values.startWithWindows ? BST_CHECKED : BST_UNCHECKED);
}

// The switches as their check boxes show them.
void ReadSwitches(HWND dialog, const DialogState& state, SettingsForm& form)
{
    for (const SwitchControl& control : kSwitches) {
        if (control.key == kRunAsAdmin && !state.vistaOrLater) {
            continue; // not shown before Vista, so whatever the file holds stays
        }
        form.values[control.key] = IsDlgButtonChecked(dialog, control.id) == BST_CHECKED ? 1 : 0;
    }
}

// Reads the controls into `values`; false when the lines field is refused.
bool ReadForm(HWND dialog, const DialogState& state, DialogValues& values)
{
    values = state.saved;
    ReadSwitches(dialog, state, values.settings);
    ReadRouterForm(dialog, values.router);
    values.startWithWindows = IsDlgButtonChecked(dialog, IDC_START_WITH_WINDOWS) == BST_CHECKED;
    char text[kLinesFieldMaxChars + 2];
    GetDlgItemTextA(dialog, IDC_LINES, text, sizeof(text));
    const bool linesApply = IsWindowEnabled(GetDlgItem(dialog, IDC_LINES)) != FALSE;
    const LinesFieldResult lines = ReadLinesField(text, state.saved.settings.values[kLinesToScroll], linesApply);
    if (lines.status != kLinesAccepted) {
        return false;
    }
    values.settings.values[kLinesToScroll] = lines.lines;
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

// The lines field and the choice of wheels sit under the check box they depend on, and follow it.
void EnableDependents(HWND dialog, const DialogState& state)
{
    SettingsForm shown = {};
    ReadSwitches(dialog, state, shown);
    if (!DependentApplies(kLinesPerNotch, shown)) {
        ClearLinesError(dialog);
    }
    for (const DependentControls& dependent : kDependents) {
        for (const int id : dependent.ids) {
            if (id != 0) {
                EnableWindow(GetDlgItem(dialog, id), DependentApplies(dependent.setting, shown));
            }
        }
    }
}

// Apply is offered only while there is something to save (or a lines entry to refuse).
void UpdateApply(HWND dialog)
{
    const DialogState* state = StateOf(dialog);
    if (state == nullptr) {
        return; // still initialising: the controls are being filled
    }
    DialogValues edited;
    bool pending = !ReadForm(dialog, *state, edited);
    if (!pending) {
        SettingChange changes[kSettingCount];
        RouterChange routerChanges[kRouterKeyCount];
        pending = FindChanges(state->saved.settings, edited.settings, changes) > 0 ||
                  FindRouterChanges(state->saved.router, edited.router, routerChanges) > 0 ||
                  edited.startWithWindows != state->saved.startWithWindows;
    }
    const HWND apply = GetDlgItem(dialog, IDC_APPLY);
    if (!pending && GetFocus() == apply) {
        // A disabled control cannot keep the focus; without this the keyboard would be stranded.
        FocusControl(dialog, IDOK);
    }
    EnableWindow(apply, pending);
}

// Says what could not be saved where, and why; the choices stay in the window for another try.
void ReportFailure(HWND dialog, const char* what, const char* where, DWORD error)
{
    char reason[512];
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                       sizeof(reason), nullptr) == 0) {
        wsprintfA(reason, "Error %lu.", static_cast<unsigned long>(error));
    }
    char message[MAX_PATH + sizeof(reason) + 256];
    lstrcpyA(message, what);
    lstrcatA(message, "\r\n");
    lstrcatA(message, where);
    lstrcatA(message, "\r\n\r\n");
    lstrcatA(message, reason);
    lstrcatA(message, "\r\nYour choices are still in the window: fix the problem, then press OK or Apply again.");
    MessageBoxA(dialog, message, ROLLIX_EDITOR_TITLE, MB_OK | MB_ICONERROR);
}

} // namespace

void ReportWriteFailure(HWND dialog, DWORD error)
{
    char path[MAX_PATH + 1];
    SettingsFilePath(path);
    ReportFailure(dialog, "The settings could not be saved to", path, error);
}

namespace {

// Writes the changed keys of both sections, in order, until one fails; returns that failure or 0. `written` and
// `routerWritten` count the keys that reached the file, whose values are then the saved ones.
DWORD WriteChanges(DialogState& state, const DialogValues& edited, int& written, int& routerWritten,
                   SettingChange (&changes)[kSettingCount])
{
    const int count = FindChanges(state.saved.settings, edited.settings, changes);
    for (written = 0; written < count; ++written) {
        const SettingKey key = changes[written].key;
        const DWORD error = WriteSettingText(kConfigSection, InfoOf(key).name, changes[written].text);
        if (error != ERROR_SUCCESS) {
            return error;
        }
        state.saved.settings.values[key] = edited.settings.values[key];
    }
    RouterChange routerChanges[kRouterKeyCount];
    const int routerCount = FindRouterChanges(state.saved.router, edited.router, routerChanges);
    for (routerWritten = 0; routerWritten < routerCount; ++routerWritten) {
        const RouterKey key = routerChanges[routerWritten].key;
        const DWORD error = WriteSettingText(kRouterSection, RouterKeyName(key), routerChanges[routerWritten].text);
        if (error != ERROR_SUCCESS) {
            return error;
        }
        TakeRouterValue(key, edited.router, state.saved.router);
    }
    return ERROR_SUCCESS;
}

// Writes the changed keys and the start-up entry when its box changed, and tells a running program. False keeps the
// dialog open.
bool Save(HWND dialog)
{
    DialogState& state = *StateOf(dialog);
    DialogValues edited;
    if (!ReadForm(dialog, state, edited)) {
        RefuseLines(dialog);
        return false;
    }
    int written = 0;
    int routerWritten = 0;
    SettingChange changes[kSettingCount];
    const DWORD error = WriteChanges(state, edited, written, routerWritten, changes);
    // Whatever did reach the file is told, even when a later key failed.
    NotifyRunningProgram(CodesAfterSave(changes, written, routerWritten));
    DWORD startupError = ERROR_SUCCESS;
    if (edited.startWithWindows != state.saved.startWithWindows) {
        startupError = SetStartWithWindows(state.programPath, edited.startWithWindows);
        if (startupError == ERROR_SUCCESS) {
            state.saved.startWithWindows = edited.startWithWindows;
        }
    }
    UpdateApply(dialog);
    if (error != ERROR_SUCCESS) {
        ReportWriteFailure(dialog, error);
    }
    if (startupError != ERROR_SUCCESS) {
        ReportFailure(dialog, "Start with Windows could not be changed in the registry at",
                      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", startupError);
    }
    return error == ERROR_SUCCESS && startupError == ERROR_SUCCESS;
}

void InitDialog(HWND dialog, DialogState& state)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    // The caption and the taskbar show the small image drawn for their size, not the large one shrunk.
    const HANDLE smallIcon = LoadImageA(instance, kEditorIconName, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    SendDlgItemMessageA(dialog, IDC_LINES, EM_LIMITTEXT, kLinesFieldMaxChars, 0);
    SendDlgItemMessageA(dialog, IDC_LINES_SPIN, UDM_SETRANGE32, kMinLinesToScroll, kMaxLinesToScroll);
    SendDlgItemMessageA(dialog, IDC_LINES_SPIN, UDM_SETPOS32, 0, state.saved.settings.values[kLinesToScroll]);
    // After the spin buttons: they write their position, kept within 1 to 100, into the field, and a value
    // above 100 that the file holds must show as it is (else it would read as an edit).
    ShowForm(dialog, state.saved);
    EnableDependents(dialog, state);
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
        case IDC_RULES:
            RunRulesDialog(dialog, StateOf(dialog)->vistaOrLater);
            return TRUE;
        case IDC_LINES:
            if (HIWORD(wParam) == EN_CHANGE) {
                ClearLinesError(dialog);
                UpdateApply(dialog);
            }
            return TRUE;
        case IDC_PROGRAMS:
        case IDC_CLASSES:
        case IDC_SMOOTH_DURATION:
            if (HIWORD(wParam) == EN_CHANGE) {
                UpdateApply(dialog);
            }
            return TRUE;
        case IDC_REVERSE_AXES:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                UpdateApply(dialog);
            }
            return TRUE;
        case IDC_CONVERT_TO_SCROLL:
        case IDC_REVERSE_SCROLL:
            if (HIWORD(wParam) == BN_CLICKED) {
                EnableDependents(dialog, *StateOf(dialog));
                UpdateApply(dialog);
            }
            return TRUE;
        default:
            if (HIWORD(wParam) == BN_CLICKED) {
                UpdateApply(dialog);
            }
            return TRUE;
        }
    case kWindowPicked:
        // A multi-line edit sends no EN_CHANGE for a text set from outside: Apply is updated here.
        if (AddPickedProgram(dialog, reinterpret_cast<HWND>(lParam))) { // NOLINT(performance-no-int-to-ptr)
            UpdateApply(dialog);
        }
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int RunSettingsDialog(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterDialogClass(instance) || !RegisterWindowPicker(instance)) {
        return 1;
    }
    DialogState state = {};
    LoadForm(state.saved.settings);
    LoadRouterForm(state.saved.router);
    ProgramPathBesideEditor(state.programPath);
    state.saved.startWithWindows = StartsWithWindows(state.programPath);
    state.vistaOrLater = VistaOrLater();
    const HWND dialog =
        CreateSettingsDialog(instance, state.vistaOrLater, SettingsDialogProc, reinterpret_cast<LPARAM>(&state));
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
