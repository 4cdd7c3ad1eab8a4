// Resource and control identifiers of the settings editor, shared by its resource script, its
// dialog code and the tests that drive it.
#pragma once

#define IDD_SETTINGS 100

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
#define IDC_SMOOTH_SCROLL 1029
#define IDC_SMOOTH_DURATION_LABEL 1030
#define IDC_SMOOTH_DURATION 1031
#define IDC_SMOOTH_DURATION_SPIN 1032
#define IDC_WHEEL_ACCELERATION 1033
