// Resource and control identifiers of the settings editor, shared by its resource script, its
// dialog code and the tests that drive it.
#pragma once

#define IDD_SETTINGS 100
// The rules dialog, opened from the settings, and the small dialog that edits one rule.
#define IDD_RULES 101
#define IDD_RULE 102
#define ROLLIX_RULES_TITLE "Rules per program and window class"
#define ROLLIX_RULE_TITLE "Rule"

// The dialog's own window class, so a second start can find the open editor.
#define ROLLIX_EDITOR_CLASS "RollixConfigDialog"
#define ROLLIX_EDITOR_TITLE "Rollix Portable Settings"
// The window picker's own control class (window_picker.cpp).
#define ROLLIX_PICKER_CLASS "RollixWindowPicker"

#define IDC_CONVERT_TO_SCROLL 1001
#define IDC_LINES_LABEL 1002
#define IDC_LINES 1003
#define IDC_LINES_SPIN 1004
#define IDC_LINES_ERROR 1005
#define IDC_REVERSE_SCROLL 1006
#define IDC_ACTIVATE_WINDOWS 1007
#define IDC_LEFT_CLICK_TOGGLE 1008
#define IDC_HIDE_TRAY_ICON 1009
#define IDC_REHOOK 1011
#define IDC_RUN_AS_ADMIN 1012
#define IDC_APPLY 1014
#define IDC_WHEEL_GROUP 1015
#define IDC_PROGRAM_GROUP 1016
#define IDC_REVERSE_AXES_LABEL 1017
#define IDC_REVERSE_AXES 1018
#define IDC_SHIFT_SIDEWAYS 1019
#define IDC_EXCLUDED_GROUP 1020
#define IDC_EXCLUDED_NOTE 1021
#define IDC_PROGRAMS_LABEL 1022
#define IDC_PROGRAMS 1023
#define IDC_PICKER 1024
#define IDC_PICKER_NOTE 1025
#define IDC_CLASSES_LABEL 1026
#define IDC_CLASSES 1027
#define IDC_START_WITH_WINDOWS 1028
#define IDC_RULES 1029
#define IDC_SMOOTH_SCROLL 1030
#define IDC_SMOOTH_DURATION_LABEL 1031
#define IDC_SMOOTH_DURATION 1032
#define IDC_SMOOTH_DURATION_SPIN 1033
#define IDC_WHEEL_ACCELERATION 1034

// The rules dialog.
#define IDC_RULE_LIST 1101
#define IDC_RULE_ADD 1102
#define IDC_RULE_EDIT 1103
#define IDC_RULE_REMOVE 1104
#define IDC_INSPECTOR_GROUP 1105
#define IDC_RULES_PICKER 1106
#define IDC_RULES_PICKER_NOTE 1107
#define IDC_INSPECTION 1108
#define IDC_BUILTIN_LIST 1109
#define IDC_RULE_LIST_LABEL 1110
#define IDC_BUILTIN_LABEL 1111

// The rule dialog: what the rule applies to, then one choice per key in the order of RuleKey.
#define IDC_RULE_PROGRAM 1201
#define IDC_RULE_CLASS 1202
#define IDC_RULE_NAME 1203
#define IDC_RULE_NAME_LABEL 1204
#define IDC_RULE_SCROLL 1210
#define IDC_RULE_REVERSE 1211
#define IDC_RULE_AXES 1212
#define IDC_RULE_CONVERT 1213
#define IDC_RULE_LINES 1214
#define IDC_RULE_SHIFT 1215
#define IDC_RULE_ACTIVATE 1216
#define IDC_RULE_SIDEWAYS 1217
#define IDC_RULE_SMOOTH 1218
