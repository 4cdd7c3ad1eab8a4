// The rule dialog: a drop-down list per key (a field for the lines), the level below always the first choice.
#include "rule_dialog.h"

#include "dialog_window.h"
#include "editor_ids.h"

namespace {

// Each key's choices after "As the level below", in the order of the key's words.
const char* const kChoices[kRuleKeyCount][3] = {
    {"Routed to the window under the pointer", "Left to Windows", "Left entirely alone"},
    {"No", "Yes", nullptr},
    {"Both wheels", "The vertical wheel only", "The horizontal wheel only"},
    {"No", "Yes", nullptr},
    {nullptr, nullptr, nullptr},
    {"No", "Yes", nullptr},
    {"No", "Yes", nullptr},
    {"WM_MOUSEHWHEEL (the usual)", "WM_HSCROLL lines", "WM_MOUSEWHEEL with Shift"},
    {"No: whole notches", "Yes", nullptr},
};
constexpr int kLinesKey = static_cast<int>(RuleKey::LinesToScroll);
constexpr int kLinesFieldChars = 3;

RuleEdit* EditOf(HWND dialog)
{
    return reinterpret_cast<RuleEdit*>(GetWindowLongPtrA(dialog, GWLP_USERDATA)); // NOLINT(performance-no-int-to-ptr)
}

int KeyControl(int key)
{
    return IDC_RULE_SCROLL + key;
}

RuleKind ChosenKind(HWND dialog)
{
    return IsDlgButtonChecked(dialog, IDC_RULE_CLASS) == BST_CHECKED ? RuleKind::Class : RuleKind::Program;
}

// The settings as the controls show them; false while the lines field holds a number outside 1 to 100.
bool ReadSettings(HWND dialog, RuleSettings& settings)
{
    settings = RuleSettings{};
    for (int key = 0; key < kRuleKeyCount; ++key) {
        const RuleKey ruleKey = static_cast<RuleKey>(key);
        if (key == kLinesKey) {
            char text[kLinesFieldChars + 1];
            GetDlgItemTextA(dialog, KeyControl(key), text, sizeof(text));
            ParseRuleKey(settings, ruleKey, text);
            if (text[0] != '\0' && settings.m_linesToScroll == 0) {
                return false;
            }
            continue;
        }
        const LRESULT choice = SendDlgItemMessageA(dialog, KeyControl(key), CB_GETCURSEL, 0, 0);
        ParseRuleKey(settings, ruleKey, choice > 0 ? RuleValueWord(ruleKey, static_cast<int>(choice) - 1) : nullptr);
    }
    return true;
}

// OK is offered once the rule has a name and sets a key.
void UpdateOk(HWND dialog)
{
    RuleSettings settings;
    const bool valid = ReadSettings(dialog, settings);
    EnableWindow(GetDlgItem(dialog, IDOK),
                 valid && !IsEmptyRule(settings) && GetWindowTextLengthA(GetDlgItem(dialog, IDC_RULE_NAME)) > 0);
}

void InitDialog(HWND dialog, RuleEdit& edit)
{
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&edit));
    const UserRule& rule = edit.m_rule;
    CheckDlgButton(dialog, rule.m_target.m_kind == RuleKind::Class ? IDC_RULE_CLASS : IDC_RULE_PROGRAM, BST_CHECKED);
    SendDlgItemMessageA(dialog, IDC_RULE_NAME, EM_LIMITTEXT, kRuleNameSize - 1, 0);
    SetDlgItemTextA(dialog, IDC_RULE_NAME, rule.m_target.m_name);
    for (int key = 0; key < kRuleKeyCount; ++key) {
        const RuleKey ruleKey = static_cast<RuleKey>(key);
        char buffer[kRuleValueSize];
        const char* value = FormatRuleKey(rule.m_settings, ruleKey, buffer);
        if (key == kLinesKey) {
            SendDlgItemMessageA(dialog, KeyControl(key), EM_LIMITTEXT, kLinesFieldChars, 0);
            SetDlgItemTextA(dialog, KeyControl(key), value);
            continue;
        }
        SendDlgItemMessageA(dialog, KeyControl(key), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("As the level below"));
        int selected = 0;
        for (int word = 0; word < RuleValueWordCount(ruleKey); ++word) {
            SendDlgItemMessageA(dialog, KeyControl(key), CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(kChoices[key][word]));
            if (lstrcmpiA(value, RuleValueWord(ruleKey, word)) == 0) {
                selected = word + 1;
            }
        }
        SendDlgItemMessageA(dialog, KeyControl(key), CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
    UpdateOk(dialog);
}

bool Accept(HWND dialog, RuleEdit& edit)
{
    UserRule rule = edit.m_rule;
    rule.m_target.m_kind = ChosenKind(dialog);
    GetDlgItemTextA(dialog, IDC_RULE_NAME, rule.m_target.m_name, kRuleNameSize);
    char section[kRuleSectionSize];
    RuleTarget parsed;
    const char* problem = nullptr;
    // The name as the library will read it back from the section: blanks around it fall away.
    if (!FormatRuleSection(rule.m_target, section) || !ParseRuleSection(section, parsed)) {
        problem = "No section of rollix.ini can hold this name: it may not contain brackets or line breaks.";
    } else if (FindUserRule(*edit.m_rules, parsed, edit.m_index) >= 0) {
        problem = "There is a rule for this name already: edit that one.";
    } else if (!ReadSettings(dialog, rule.m_settings)) {
        problem = "Lines per notch: enter a whole number from 1 to 100, or nothing to follow the level below.";
    }
    if (problem != nullptr) {
        MessageBoxA(dialog, problem, ROLLIX_RULE_TITLE, MB_OK | MB_ICONWARNING);
        return false;
    }
    rule.m_target = parsed;
    edit.m_rule = rule;
    return true;
}

INT_PTR CALLBACK RuleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitDialog(dialog, *reinterpret_cast<RuleEdit*>(lParam)); // NOLINT(performance-no-int-to-ptr)
        return TRUE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    if (EditOf(dialog) == nullptr) {
        return FALSE; // a control's note while the dialog is being made
    }
    RuleEdit& edit = *EditOf(dialog);
    switch (LOWORD(wParam)) {
    case IDOK:
        if (Accept(dialog, edit)) {
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_RULE_PROGRAM:
    case IDC_RULE_CLASS:
        // A picked window offers its program for one kind and its class for the other.
        if (HIWORD(wParam) == BN_CLICKED && (edit.m_pickedProgram[0] != '\0' || edit.m_pickedClass[0] != '\0')) {
            SetDlgItemTextA(dialog, IDC_RULE_NAME,
                            ChosenKind(dialog) == RuleKind::Class ? edit.m_pickedClass : edit.m_pickedProgram);
        }
        return TRUE;
    default:
        if (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == CBN_SELCHANGE) {
            UpdateOk(dialog);
        }
        return TRUE;
    }
}

} // namespace

bool EditRule(HWND owner, RuleEdit& edit)
{
    return RunModalDialog(owner, IDD_RULE, edit.m_systemFont, RuleDialogProc, reinterpret_cast<LPARAM>(&edit)) ==
           IDOK;
}
