// The rules dialog's window logic: the lists, the buttons, the picker and the save.
#include "rules_dialog.h"

#include "dialog_window.h"
#include "editor_ids.h"
#include "inspector_view.h"
#include "program_link.h"
#include "router_settings.h"
#include "rule_dialog.h"
#include "rules_file.h"
#include "settings_dialog.h"
#include "window_picker.h"

#include <commctrl.h>

#include <new>

namespace {

struct RulesState
{
    UserRules saved;  // as the file holds them
    UserRules edited; // as the list shows them
    bool systemFont;
};

// Too large for the stack, and as a static it would be stored in the file; one rules dialog is open at a time.
RulesState* g_rules = nullptr;

// Column widths in dialog units.
constexpr int kRuleColumns[] = {110, 200};
constexpr int kBuiltInColumns[] = {80, 110, 90, 300};
const char* const kRuleHeadings[] = {"Rule", "Settings"};
const char* const kBuiltInHeadings[] = {"Application", "Windows", "Settings", "Why"};

void AddColumns(HWND dialog, int id, const char* const* headings, const int* widths, int count)
{
    const HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < count; ++i) {
        RECT width = {0, 0, widths[i], 0};
        MapDialogRect(dialog, &width);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(headings[i]);
        column.cx = width.right;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void SetCell(HWND list, int row, int column, const char* text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, column == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

int Selected(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_RULE_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                LVNI_SELECTED));
}

void UpdateButtons(HWND dialog)
{
    const bool selected = Selected(dialog) >= 0;
    EnableWindow(GetDlgItem(dialog, IDC_RULE_EDIT), selected);
    EnableWindow(GetDlgItem(dialog, IDC_RULE_REMOVE), selected);
}

// Shows the edited rules and selects the one at `select` (none for -1).
void ShowRules(HWND dialog, int select)
{
    const HWND list = GetDlgItem(dialog, IDC_RULE_LIST);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < g_rules->edited.m_count; ++i) {
        const UserRule& rule = g_rules->edited.m_rules[i];
        char section[kRuleSectionSize];
        FormatRuleSection(rule.m_target, section);
        char effect[kDecisionTextSize];
        RuleKeysText(rule.m_settings, effect);
        SetCell(list, i, 0, section);
        SetCell(list, i, 1, effect);
    }
    if (select >= 0) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = item.stateMask;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(select), reinterpret_cast<LPARAM>(&item));
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(select), FALSE);
    }
    UpdateButtons(dialog);
}

void ShowBuiltInRules(HWND dialog)
{
    const HWND list = GetDlgItem(dialog, IDC_BUILTIN_LIST);
    for (int i = 0; i < BuiltInRuleCount(); ++i) {
        const BuiltInRule& rule = BuiltInRuleAt(i);
        char windows[kDecisionTextSize] = "";
        lstrcpynA(windows, rule.m_programs, sizeof(windows));
        if (rule.m_programs[0] != '\0' && rule.m_classes[0] != '\0') {
            lstrcatA(windows, ";");
        }
        const int used = lstrlenA(windows);
        lstrcpynA(windows + used, rule.m_classes, static_cast<int>(sizeof(windows)) - used);
        char effect[kDecisionTextSize];
        RuleKeysText(rule.m_settings, effect);
        SetCell(list, i, 0, rule.m_application);
        SetCell(list, i, 1, windows);
        SetCell(list, i, 2, effect);
        SetCell(list, i, 3, rule.m_reason);
    }
}

// Opens the rule dialog for the rule at `index`, or for a new rule (-1), and takes the result into the list.
void EditAt(HWND dialog, int index, const char* pickedProgram, const char* pickedClass)
{
    RuleEdit edit{};
    if (index >= 0) {
        edit.m_rule = g_rules->edited.m_rules[index];
    } else {
        edit.m_rule.m_target.m_kind = pickedProgram[0] == '\0' && pickedClass[0] != '\0' ? RuleKind::Class
                                                                                          : RuleKind::Program;
        lstrcpynA(edit.m_rule.m_target.m_name, pickedProgram[0] != '\0' ? pickedProgram : pickedClass,
                  kRuleNameSize);
    }
    lstrcpynA(edit.m_pickedProgram, pickedProgram, kRuleNameSize);
    lstrcpynA(edit.m_pickedClass, pickedClass, kRuleNameSize);
    edit.m_rules = &g_rules->edited;
    edit.m_index = index;
    edit.m_systemFont = g_rules->systemFont;
    if (index < 0 && g_rules->edited.m_count == kMaxUserRules) {
        return;
    }
    if (!EditRule(dialog, edit)) {
        return;
    }
    if (index < 0) {
        index = g_rules->edited.m_count++;
    }
    g_rules->edited.m_rules[index] = edit.m_rule;
    ShowRules(dialog, index);
}

void RemoveSelected(HWND dialog)
{
    const int index = Selected(dialog);
    if (index < 0) {
        return;
    }
    UserRules& rules = g_rules->edited;
    for (int i = index; i + 1 < rules.m_count; ++i) {
        rules.m_rules[i] = rules.m_rules[i + 1];
    }
    --rules.m_count;
    ShowRules(dialog, index < rules.m_count ? index : rules.m_count - 1);
    // The focus stays in the list, which the Remove button may have just left without a selection.
    SetFocus(GetDlgItem(dialog, IDC_RULE_LIST));
}

// The picked window's program and class, as the inspector named them or, without the library, as the system does.
void AddPicked(HWND dialog, HWND window)
{
    char program[kRuleNameSize] = "";
    char windowClass[kRuleNameSize] = "";
    char path[MAX_PATH];
    if (window == nullptr || !ProgramOfWindow(window, path)) {
        return; // nothing, or a window of the editor's own
    }
    if (!InspectedNames(window, program, windowClass)) {
        lstrcpynA(program, FileNameOf(path), kRuleNameSize);
        GetClassNameA(window, windowClass, kRuleNameSize);
    }
    EditAt(dialog, -1, program, windowClass);
}

bool Save(HWND dialog)
{
    DWORD error = ERROR_SUCCESS;
    const int written = SaveUserRules(g_rules->saved, g_rules->edited, error);
    if (written > 0) {
        // The library reads the rules when the hook starts: a restart applies them.
        NotifyRunningProgram(CodesAfterSave(nullptr, 0, written));
    }
    if (error != ERROR_SUCCESS) {
        ReportWriteFailure(dialog, error);
        LoadUserRules(g_rules->saved);
        return false;
    }
    return true;
}

void InitDialog(HWND dialog)
{
    AddColumns(dialog, IDC_RULE_LIST, kRuleHeadings, kRuleColumns, 2);
    AddColumns(dialog, IDC_BUILTIN_LIST, kBuiltInHeadings, kBuiltInColumns, 4);
    ShowRules(dialog, g_rules->edited.m_count > 0 ? 0 : -1);
    ShowBuiltInRules(dialog);
}

INT_PTR CALLBACK RulesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam); // NOLINT(performance-no-int-to-ptr)
        if (header->idFrom != IDC_RULE_LIST) {
            return FALSE;
        }
        if (header->code == LVN_ITEMCHANGED) {
            UpdateButtons(dialog);
        } else if (header->code == LVN_ITEMACTIVATE && Selected(dialog) >= 0) { // a double click
            EditAt(dialog, Selected(dialog), "", "");
        } else if (header->code == LVN_KEYDOWN &&
                   reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) { // NOLINT(performance-no-int-to-ptr)
            RemoveSelected(dialog);
        }
        return TRUE;
    }
    case kWindowHovered: {
        POINT point;
        GetCursorPos(&point);
        ShowInspection(GetDlgItem(dialog, IDC_INSPECTION), reinterpret_cast<HWND>(lParam), point); // NOLINT
        return TRUE;
    }
    case kWindowPicked:
        AddPicked(dialog, reinterpret_cast<HWND>(lParam)); // NOLINT(performance-no-int-to-ptr)
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (Save(dialog)) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_RULE_ADD:
            EditAt(dialog, -1, "", "");
            return TRUE;
        case IDC_RULE_EDIT:
            if (Selected(dialog) >= 0) {
                EditAt(dialog, Selected(dialog), "", "");
            }
            return TRUE;
        case IDC_RULE_REMOVE:
            RemoveSelected(dialog);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

} // namespace

void RunRulesDialog(HWND owner, bool systemFont)
{
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(RulesState));
    if (memory == nullptr) {
        return;
    }
    g_rules = new (memory) RulesState;
    LoadUserRules(g_rules->saved);
    g_rules->edited = g_rules->saved;
    g_rules->systemFont = systemFont;
    RunModalDialog(owner, IDD_RULES, systemFont, RulesDialogProc, 0);
    HeapFree(GetProcessHeap(), 0, memory);
    g_rules = nullptr;
}
