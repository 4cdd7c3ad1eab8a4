// The settings dialog's rows and their placement. Sizes are in dialog units, which follow the dialog's
// font and the screen's DPI; text that wraps is measured in that font.
#include "settings_layout.h"

#include "editor_ids.h"
#include "stack_layout.h"

#include <commctrl.h>

namespace {

enum RowKind
{
    kGroupRow, // a group box, around the rows up to its kGroupEndRow
    kGroupEndRow,
    kCheckRow,  // a check box; its text may run over several lines (a note follows a line break)
    kLinesRow,  // a number's label, its field and the field's spin buttons
    kChoiceRow, // a label and a drop-down list beside it
    kListRow,   // a label and, below it, a field of several lines
    kPickerRow, // the window picker and its note beside it
    kTextRow,   // a line of text, as tall as its wrapped text
    kButtonsRow // OK, Cancel and Apply at the right
};

struct SettingsRow
{
    RowKind kind;
    int id;
    int indent;          // steps of kIndent
    int label = 0;       // the label of a lines, choice or list row; the picker's note
    int lines = 0;       // the lines a list row shows
    bool beside = false; // to the right of the row before, sharing its width
    int spin = 0;        // a number row's spin buttons
};

// The dialog from the top down. A new setting is one more row here and its control in editor.rc.
constexpr SettingsRow kRows[] = {
    {kGroupRow, IDC_WHEEL_GROUP, 0},
    {kCheckRow, IDC_CONVERT_TO_SCROLL, 0},
    {kLinesRow, IDC_LINES, 1, IDC_LINES_LABEL, 0, false, IDC_LINES_SPIN}, // under the check box it depends on
    {kTextRow, IDC_LINES_ERROR, 1},
    {kCheckRow, IDC_REVERSE_SCROLL, 0},
    {kChoiceRow, IDC_REVERSE_AXES, 1, IDC_REVERSE_AXES_LABEL},
    {kCheckRow, IDC_SHIFT_SIDEWAYS, 0},
    {kCheckRow, IDC_ACTIVATE_WINDOWS, 0},
    {kCheckRow, IDC_SMOOTH_SCROLL, 0},
    // Not dependent on the box above: a rule may smooth one program while the box is clear.
    {kLinesRow, IDC_SMOOTH_DURATION, 1, IDC_SMOOTH_DURATION_LABEL, 0, false, IDC_SMOOTH_DURATION_SPIN},
    {kCheckRow, IDC_WHEEL_ACCELERATION, 0},
    {kGroupEndRow, 0, 0},
    {kGroupRow, IDC_EXCLUDED_GROUP, 0},
    {kTextRow, IDC_EXCLUDED_NOTE, 0},
    {kListRow, IDC_PROGRAMS, 0, IDC_PROGRAMS_LABEL, 4},
    {kListRow, IDC_CLASSES, 0, IDC_CLASSES_LABEL, 4, true},
    {kPickerRow, IDC_PICKER, 0, IDC_PICKER_NOTE},
    {kGroupEndRow, 0, 0},
    {kGroupRow, IDC_PROGRAM_GROUP, 0},
    {kCheckRow, IDC_LEFT_CLICK_TOGGLE, 0},
    {kCheckRow, IDC_HIDE_TRAY_ICON, 0},
    {kCheckRow, IDC_REHOOK, 0},
    {kCheckRow, IDC_RUN_AS_ADMIN, 0},
    {kCheckRow, IDC_START_WITH_WINDOWS, 0},
    {kGroupEndRow, 0, 0},
    {kButtonsRow, 0, 0},
};
constexpr int kRowCount = sizeof(kRows) / sizeof(kRows[0]);
constexpr int kButtons[] = {IDOK, IDCANCEL, IDC_APPLY};

// Dialog units.
constexpr int kMargin = 7;
constexpr int kGroupTop = 11; // the caption and a little more
constexpr int kGroupInset = 7;
constexpr int kRowGap = 4;
constexpr int kIndent = 12;      // from a check box's left edge to its text: indented rows line up with it
constexpr int kCheckHeight = 10; // a check box of one line
constexpr int kFieldHeight = 12;
constexpr int kFieldWidth = 40; // the field with its spin buttons
constexpr int kSpinWidth = 10;
constexpr int kChoiceWidth = 100;
constexpr int kChoiceListHeight = 60; // the drop-down list below the choice
constexpr int kLabelGap = 4;
constexpr int kListLabelGap = 2; // from a list's label down to its field
constexpr int kPickerSize = 20;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kRulesButtonWidth = 90; // the button that opens the rules, at the left of the row
constexpr int kMaxText = 512;

int UnitsX(HWND dialog, int units)
{
    RECT rect = {0, 0, units, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

int UnitsY(HWND dialog, int units)
{
    RECT rect = {0, 0, 0, units};
    MapDialogRect(dialog, &rect);
    return rect.bottom;
}

bool Shown(HWND control)
{
    return (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The control's text measured in the dialog's font: wrapped at `width` pixels, or on one line when
// `width` is 0. Also gives the font's line height.
SIZE TextExtent(HWND dialog, int id, int width, int* lineHeight)
{
    char text[kMaxText];
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    const HDC dc = GetDC(dialog);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font);
    RECT rect = {0, 0, width, 0};
    DrawTextA(dc, text, -1, &rect, DT_CALCRECT | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    if (lineHeight != nullptr) {
        *lineHeight = metrics.tmHeight;
    }
    return SIZE{rect.right, rect.bottom};
}

// A closed drop-down list is as tall as its font makes it, whatever height it was given.
int ChoiceHeight(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    return rect.bottom - rect.top;
}

// A field of several lines: its lines in the dialog's font, and its border and scroll bar around them.
int ListFieldHeight(HWND dialog, const SettingsRow& row)
{
    int lineHeight = 0;
    TextExtent(dialog, row.label, 0, &lineHeight);
    const HWND field = GetDlgItem(dialog, row.id);
    RECT frame = {0, 0, 0, row.lines * lineHeight + 2}; // and a pixel of room above and below the text
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(field, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(field, GWL_EXSTYLE)));
    return frame.bottom - frame.top;
}

// The picker's box is square.
int PickerSize(HWND dialog)
{
    return UnitsY(dialog, kPickerSize);
}

// The picker's box and the gap to its note.
int PickerWidth(HWND dialog)
{
    return PickerSize(dialog) + UnitsX(dialog, kLabelGap);
}

int RowHeight(HWND dialog, const SettingsRow& row, int width)
{
    int lineHeight = 0;
    switch (row.kind) {
    case kCheckRow: {
        // Lines beyond the first add to a one-line check box's height.
        const SIZE text = TextExtent(dialog, row.id, width - UnitsX(dialog, kIndent), &lineHeight);
        return UnitsY(dialog, kCheckHeight) + (text.cy > lineHeight ? text.cy - lineHeight : 0);
    }
    case kLinesRow:
        return UnitsY(dialog, kFieldHeight);
    case kChoiceRow:
        return ChoiceHeight(dialog, row.id);
    case kListRow:
        return TextExtent(dialog, row.label, width, nullptr).cy + UnitsY(dialog, kListLabelGap) +
               ListFieldHeight(dialog, row);
    case kPickerRow: {
        const int box = PickerSize(dialog);
        const int note = TextExtent(dialog, row.label, width - PickerWidth(dialog), nullptr).cy;
        return box > note ? box : note;
    }
    case kTextRow:
        return TextExtent(dialog, row.id, width, nullptr).cy;
    case kButtonsRow:
        return UnitsY(dialog, kButtonHeight);
    case kGroupRow:
    case kGroupEndRow:
        break;
    }
    return 0;
}

// A check box or a line of text can be hidden (and then takes no room); the other rows always show.
bool RowShown(HWND dialog, const SettingsRow& row)
{
    return row.kind == kCheckRow || row.kind == kTextRow ? Shown(GetDlgItem(dialog, row.id)) : true;
}

void Place(HWND control, int left, int top, int width, int height)
{
    SetWindowPos(control, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Places a row's label on the left, centred on a control `height` high, and returns where the control begins.
int PlaceLabel(HWND dialog, int id, const StackBox& box, int height)
{
    int lineHeight = 0;
    const SIZE label = TextExtent(dialog, id, 0, &lineHeight);
    Place(GetDlgItem(dialog, id), box.left, box.top + (height - lineHeight) / 2, label.cx, lineHeight);
    return box.left + label.cx + UnitsX(dialog, kLabelGap);
}

void PlaceLinesRow(HWND dialog, const SettingsRow& row, const StackBox& box)
{
    const int fieldHeight = UnitsY(dialog, kFieldHeight);
    const HWND field = GetDlgItem(dialog, row.id);
    Place(field, PlaceLabel(dialog, row.label, box, fieldHeight), box.top, UnitsX(dialog, kFieldWidth), fieldHeight);
    // Attached anew, the spin buttons take their width off the field's right end and sit there.
    const HWND spin = GetDlgItem(dialog, row.spin);
    Place(spin, 0, 0, UnitsX(dialog, kSpinWidth), fieldHeight);
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
}

void PlaceChoiceRow(HWND dialog, const SettingsRow& row, const StackBox& box)
{
    // A drop-down list's height is that of the list it drops down; its closed height is its own.
    Place(GetDlgItem(dialog, row.id), PlaceLabel(dialog, row.label, box, box.height), box.top,
          UnitsX(dialog, kChoiceWidth), box.height + UnitsY(dialog, kChoiceListHeight));
}

void PlaceListRow(HWND dialog, const SettingsRow& row, const StackBox& box)
{
    const int labelHeight = TextExtent(dialog, row.label, box.width, nullptr).cy;
    Place(GetDlgItem(dialog, row.label), box.left, box.top, box.width, labelHeight);
    const int fieldTop = box.top + labelHeight + UnitsY(dialog, kListLabelGap);
    Place(GetDlgItem(dialog, row.id), box.left, fieldTop, box.width, box.top + box.height - fieldTop);
}

void PlacePickerRow(HWND dialog, const SettingsRow& row, const StackBox& box)
{
    const int size = PickerSize(dialog);
    Place(GetDlgItem(dialog, row.id), box.left, box.top, size, size);
    const int noteLeft = box.left + PickerWidth(dialog);
    const int noteWidth = box.left + box.width - noteLeft;
    const int noteHeight = TextExtent(dialog, row.label, noteWidth, nullptr).cy;
    // The note stands beside the box, centred on it while it is the shorter.
    const int noteTop = noteHeight < size ? box.top + (size - noteHeight) / 2 : box.top;
    Place(GetDlgItem(dialog, row.label), noteLeft, noteTop, noteWidth, noteHeight);
}

void PlaceButtons(HWND dialog, const StackBox& box)
{
    Place(GetDlgItem(dialog, IDC_RULES), box.left, box.top, UnitsX(dialog, kRulesButtonWidth), box.height);
    const int width = UnitsX(dialog, kButtonWidth);
    int right = box.left + box.width;
    for (int i = sizeof(kButtons) / sizeof(kButtons[0]) - 1; i >= 0; --i) {
        Place(GetDlgItem(dialog, kButtons[i]), right - width, box.top, width, box.height);
        right -= width + UnitsX(dialog, kButtonGap);
    }
}

} // namespace

void LayOutSettingsDialog(HWND dialog, bool keepCentre)
{
    RECT client = {};
    GetClientRect(dialog, &client);
    const StackMetrics metrics = {client.right,
                                  UnitsX(dialog, kMargin),
                                  UnitsY(dialog, kGroupTop),
                                  UnitsX(dialog, kGroupInset),
                                  UnitsY(dialog, kRowGap),
                                  UnitsX(dialog, kIndent)};
    StackItem items[kRowCount] = {};
    for (int i = 0; i < kRowCount; ++i) {
        const SettingsRow& row = kRows[i];
        items[i].kind = row.kind == kGroupRow ? kStackGroup : row.kind == kGroupEndRow ? kStackGroupEnd : kStackRow;
        items[i].indent = row.indent;
        items[i].shown = RowShown(dialog, row);
        items[i].beside = row.beside;
    }
    // Widths do not depend on heights: a first pass gives each row its width, to measure wrapped text in.
    StackItems(metrics, items, kRowCount);
    for (int i = 0; i < kRowCount; ++i) {
        items[i].height = RowHeight(dialog, kRows[i], items[i].box.width);
    }
    const int height = StackItems(metrics, items, kRowCount);

    for (int i = 0; i < kRowCount; ++i) {
        const StackBox& box = items[i].box;
        switch (kRows[i].kind) {
        case kGroupRow:
        case kCheckRow:
        case kTextRow:
            Place(GetDlgItem(dialog, kRows[i].id), box.left, box.top, box.width, box.height);
            break;
        case kLinesRow:
            PlaceLinesRow(dialog, kRows[i], box);
            break;
        case kChoiceRow:
            PlaceChoiceRow(dialog, kRows[i], box);
            break;
        case kListRow:
            PlaceListRow(dialog, kRows[i], box);
            break;
        case kPickerRow:
            PlacePickerRow(dialog, kRows[i], box);
            break;
        case kButtonsRow:
            PlaceButtons(dialog, box);
            break;
        case kGroupEndRow:
            break;
        }
    }

    RECT frame = {};
    GetWindowRect(dialog, &frame);
    const int oldHeight = frame.bottom - frame.top;
    const int newHeight = oldHeight + height - client.bottom;
    const int top = keepCentre ? frame.top - (newHeight - oldHeight) / 2 : frame.top;
    SetWindowPos(dialog, nullptr, frame.left, top, frame.right - frame.left, newHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}
