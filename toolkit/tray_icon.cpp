// Tray icons: one icon in the notification area per object, its tooltip and mouse messages, its removal when
// the owner window closes and its return when the taskbar is re-created.
#include "tray_icon.h"

#include "machine.h"
#include "message_loop.h"

#include <cstdlib>
#include <cstring>

ObjectList<TrayIcon*>* TrayIconList = nullptr;
UINT TaskbarCreatedMsg = 0;

namespace {

// The first version of the record: every shell since Windows 95 takes it.
constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(sizeof(void*) != 4 || kNotifyRecordSize == 88, "the first-version record is 88 bytes on 32 bits");
static_assert(sizeof(NOTIFYICONDATAA{}.szTip) > kTrayTooltipMax, "the tooltip and its terminator fit the record");

constexpr UINT kShowFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr char kTaskbarCreatedName[] = "TaskbarCreated";

UINT g_lastId = 0;

// The shell hands the identifier back in the wParam of every callback, and any process can post that message
// with any wParam: only an identifier found among the live icons ever becomes an icon.
TrayIcon* FindTrayIcon(UINT id)
{
    if (TrayIconList == nullptr || id == 0)
        return nullptr;
    int index = TrayIconList->IndexWhere([id](TrayIcon* icon) { return icon->Id == id; });
    return index < 0 ? nullptr : (*TrayIconList)[index];
}

// Identifiers count up from 1 and skip any still in use once the count wraps.
UINT NextTrayId()
{
    do
        ++g_lastId;
    while (g_lastId == 0 || FindTrayIcon(g_lastId) != nullptr);
    return g_lastId;
}

bool HasIconOf(WindowObject* owner)
{
    return TrayIconList != nullptr &&
           TrayIconList->IndexWhere([owner](TrayIcon* icon) { return icon->Owner == owner; }) >= 0;
}

// Runs while the owner window object is destroyed: its icons stay, without an owner, instead of pointing at
// freed memory.
void ForgetTrayOwner(void* owner)
{
    if (TrayIconList == nullptr)
        return;
    for (int i = 0; i < TrayIconList->Count(); ++i)
        if ((*TrayIconList)[i]->Owner == owner)
            (*TrayIconList)[i]->Owner = nullptr;
}

// The main window's object outlives its window until the end of the run, keeping the stale handle. The shell must
// not get an icon for a window that is gone: nobody would ever remove it, and it would outlive the process.
bool OwnerWindowGone(const TrayIcon* icon)
{
    const WindowObject* owner = icon->Owner;
    return owner != nullptr &&
           (owner->HasFlag(kWindowDestroyed) || (owner->Handle != nullptr && !::IsWindow(owner->Handle)));
}

const char* TextOrEmpty(const char* text)
{
    return text != nullptr ? text : "";
}

} // namespace

BOOL NotifyShell(TrayIcon* icon, DWORD operation)
{
    // Once the program is ending, whatever it asks of the shell only takes the icon away.
    if (Terminated)
        operation = NIM_DELETE;
    // Only the removal of an icon still shown goes out for a window that is gone.
    if (operation != NIM_DELETE && OwnerWindowGone(icon))
        return FALSE;

    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = kNotifyRecordSize;
    data.hWnd = icon->Owner != nullptr ? icon->Owner->Handle : nullptr;
    data.uID = icon->Id;
    data.uFlags = operation == NIM_DELETE ? 0 : kShowFlags;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icon->Icon;
    const char* tip = TextOrEmpty(icon->Tooltip);
    size_t length = std::strlen(tip);
    if (length > static_cast<size_t>(kTrayTooltipMax))
        length = kTrayTooltipMax;
    std::memcpy(data.szTip, tip, length);
    data.szTip[length] = '\0';
    return TheMachine().ShellNotifyIcon(operation, &data);
}

void SetTrayActive(TrayIcon* icon, bool active)
{
    if (icon->Active == active || icon->Icon == nullptr || icon->Owner == nullptr)
        return;
    if (active && OwnerWindowGone(icon))
        return;
    if (GetWindowHandle(icon->Owner) == nullptr)
        return;
    // Active follows the request even when the shell refuses it: a taskbar that starts later re-adds it.
    icon->Active = active;
    NotifyShell(icon, active ? NIM_ADD : NIM_DELETE);
}

void SetTrayImage(TrayIcon* icon, HICON image)
{
    if (image == icon->Icon)
        return;
    bool hadNone = icon->Icon == nullptr;
    // The replaced handle stays the caller's.
    icon->Icon = image;
    if (icon->Active)
        NotifyShell(icon, hadNone ? NIM_ADD : NIM_MODIFY);
}

void SetTrayTooltip(TrayIcon* icon, const char* text)
{
    text = TextOrEmpty(text);
    if (std::strcmp(text, TextOrEmpty(icon->Tooltip)) == 0)
        return;
    char* copy = nullptr;
    if (*text != '\0') {
        size_t size = std::strlen(text) + 1;
        copy = static_cast<char*>(std::malloc(size));
        // Short of memory the old text stays rather than none.
        if (copy == nullptr)
            return;
        std::memcpy(copy, text, size);
    }
    std::free(icon->Tooltip);
    icon->Tooltip = copy;
    if (icon->Active)
        NotifyShell(icon, NIM_MODIFY);
}

TrayIcon* MakeTrayIcon(WindowObject* owner, HICON image)
{
    if (TrayIconList == nullptr) {
        TrayIconList = CreateList<TrayIcon*>();
        if (TrayIconList == nullptr)
            return nullptr;
    }
    TrayIcon* icon = CreateObject<TrayIcon>();
    if (icon == nullptr)
        return nullptr;
    icon->Id = NextTrayId();
    if (!TrayIconList->Add(icon)) {
        // An icon missing from the list could never be found by its callbacks.
        icon->ToolkitObject::Destroy();
        return nullptr;
    }
    if (owner != nullptr && !HasIconOf(owner))
        AddOwnedRoutine(owner, &ForgetTrayOwner, owner);
    icon->Owner = owner;
    icon->Icon = image;
    if (owner != nullptr)
        AttachHandler(owner, &TrayOwnerHandler, false);
    SetTrayActive(icon, true);
    return icon;
}

void SetTrayReAddOnTaskbar(TrayIcon* icon, bool reAdd)
{
    icon->ReAddOnTaskbar = reAdd;
    // The shell broadcasts "TaskbarCreated" to top-level windows only.
    WindowObject* topLevel = icon->Owner;
    while (topLevel != nullptr && topLevel->HasFlag(kWindowIsChild) && topLevel->Parent != nullptr)
        topLevel = topLevel->Parent;
    if (topLevel != nullptr)
        AttachHandler(topLevel, &TaskbarCreatedHandler, false);
    TaskbarCreatedMsg = ::RegisterWindowMessageA(kTaskbarCreatedName);
}

bool TrayOwnerHandler(WindowObject* window, MessageRecord& message, LRESULT& result)
{
    if (message.message == kTrayCallbackMessage) {
        TrayIcon* icon = FindTrayIcon(static_cast<UINT>(message.wParam));
        // The icon must also be one of this window's: the shell sends an icon's callbacks to its owner only.
        if (icon != nullptr && icon->Owner == window && icon->MouseHandler)
            icon->MouseHandler(icon, LOWORD(message.lParam));
        result = 0;
        return true;
    }
    if (message.message == WM_CLOSE && message.hwnd == window->Handle && TrayIconList != nullptr) {
        for (int i = TrayIconList->Count() - 1; i >= 0; --i) {
            TrayIcon* icon = (*TrayIconList)[i];
            if (icon->Owner == window)
                SetTrayActive(icon, false);
        }
    }
    return false;
}

bool TaskbarCreatedHandler(WindowObject* /*window*/, MessageRecord& message, LRESULT& /*result*/)
{
    if (TaskbarCreatedMsg == 0 || LOWORD(message.message) != LOWORD(TaskbarCreatedMsg) || TrayIconList == nullptr)
        return false;
    for (int i = 0; i < TrayIconList->Count(); ++i) {
        TrayIcon* icon = (*TrayIconList)[i];
        if (icon->ReAddOnTaskbar && icon->Active) {
            // The new taskbar does not have the icon: add it afresh with the current image and tooltip.
            icon->Active = false;
            SetTrayActive(icon, true);
        }
    }
    return false;
}

void TrayIcon::Destroy()
{
    SetTrayActive(this, false);
    if (Icon != nullptr)
        ::DestroyIcon(Icon);
    if (TrayIconList != nullptr) {
        int index = TrayIconList->IndexOf(this);
        if (index >= 0)
            TrayIconList->Delete(index);
        if (TrayIconList->Count() == 0) {
            Release(TrayIconList);
            TrayIconList = nullptr;
        }
    }
    std::free(Tooltip);
    Tooltip = nullptr;
    ToolkitObject::Destroy();
}
