// The settings dialog's window: its own class, and its template in the system's dialog font.
#include "dialog_window.h"

#include "dialog_font.h"
#include "editor_ids.h"

namespace {

// Room a template may need beyond its own size and the new face: the font's fixed fields and alignment.
constexpr size_t kDialogFontSlack = 8;

// The dialog's template with the system's dialog font (Segoe UI 9 pt from Vista on) in place of the one it
// names, whose "MS Shell Dlg" stands for Tahoma 8 pt on every Windows. Null when it cannot be had; else
// the caller frees it from the process heap.
unsigned char* TemplateInSystemFont(HINSTANCE instance, int id)
{
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_DIALOG);
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

} // namespace

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
    windowClass.hIcon = LoadIconA(instance, kEditorIconName);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    // A system colour index plus one stands for that colour's brush.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1); // NOLINT(performance-no-int-to-ptr)
    windowClass.lpszClassName = ROLLIX_EDITOR_CLASS;
    return RegisterClassExA(&windowClass) != 0;
}

HWND CreateSettingsDialog(HINSTANCE instance, bool systemFont, DLGPROC procedure, LPARAM parameter)
{
    unsigned char* inSystemFont = systemFont ? TemplateInSystemFont(instance, IDD_SETTINGS) : nullptr;
    if (inSystemFont == nullptr) {
        return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, procedure, parameter);
    }
    // The dialog manager is done with the template once the dialog exists.
    const HWND dialog = CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(inSystemFont), nullptr,
                                                   procedure, parameter);
    HeapFree(GetProcessHeap(), 0, inSystemFont);
    return dialog;
}

INT_PTR RunModalDialog(HWND owner, int id, bool systemFont, DLGPROC procedure, LPARAM parameter)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    unsigned char* inSystemFont = systemFont ? TemplateInSystemFont(instance, id) : nullptr;
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_DIALOG);
    const void* shown = inSystemFont != nullptr ? inSystemFont : LockResource(LoadResource(instance, found));
    const INT_PTR result =
        DialogBoxIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(shown), owner, procedure, parameter);
    HeapFree(GetProcessHeap(), 0, inSystemFont);
    return result;
}
