// Window objects: the toolkit object of one Win32 window, and the chain of handlers its messages pass through.
#pragma once

#include "object_list.h"

#include <windows.h>

#include <cstdint>

class WindowObject;
class MenuNode;

// The first four fields of a MSG; handlers get nothing else.
struct MessageRecord
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A message handler answers true when it handled the message; the chain then stops.
using MessageHandler = EventHandler<bool, MessageRecord&, LRESULT&>;
using AttachedRoutine = bool (*)(WindowObject* window, MessageRecord& message, LRESULT& result);

struct AttachedHandler
{
    AttachedRoutine routine;
    // Called even after termination began.
    bool keepAfterTermination;
};

// A window's event handlers. Every window shares one default record until its first handler is set.
struct EventSlots
{
    MessageHandler OnMessage;
};

enum WindowFlag : uint32_t
{
    kWindowIsChild = 0x001,
    kWindowDestroyed = 0x002,
    kWindowDestroyStarted = 0x004,
    kWindowVisibilityFixed = 0x008,
    kWindowShowAfterCreate = 0x010,
    kWindowClassNameVerbatim = 0x020,
    kWindowIconShared = 0x040,
    kWindowNoRepaintOnCaption = 0x080,
    kWindowIsForm = 0x100,
    kWindowTransparent = 0x200,
    kWindowPositionSet = 0x400,
    // The object's destruction has begun: its own handlers no longer run.
    kWindowObjectDestroying = 0x800,
};

enum WindowAlign : uint8_t
{
    kAlignNone = 0,
    kAlignLeft = 1,
    kAlignTop = 2,
    kAlignRight = 3,
    kAlignBottom = 4,
    kAlignClient = 5,
};

// Colour values with the top bit set name a system colour by their low 7 bits.
constexpr COLORREF kSystemColorFlag = 0x80000000;
constexpr COLORREF kDefaultTextColor = kSystemColorFlag | COLOR_WINDOWTEXT;
constexpr COLORREF kDefaultColor = kSystemColorFlag | COLOR_BTNFACE;
constexpr DWORD kDefaultWindowStyle = 0x16CF0000;
// Control identifiers of child controls count up from here.
constexpr WORD kFirstControlId = 0x8000;
// Reflected messages that a parent sends back to the child control they concern.
constexpr UINT kReflectedColorBase = 0xBC00;
constexpr UINT kReflectedCommand = 0xB005;

class WindowObject : public ToolkitObject
{
public:
    void Init() override;    // window defaults
    void Destroy() override; // hides and destroys the window, releases what the object owns

    virtual void InitWithParent(WindowObject* parent);
    virtual bool CreateWindowHandle();
    virtual LRESULT HandleMessage(MessageRecord& message);
    // A chance to take a message out of the loop before it is translated and dispatched.
    virtual bool PreTranslateMessage(MSG& /*message*/) { return false; }

    HWND Handle;
    DWORD ClassStyle;
    DWORD Style;
    DWORD ExStyle;
    WNDPROC PreviousWindowProc;
    WindowObject* Parent;
    uint32_t Flags;
    ObjectList<AttachedHandler>* AttachedHandlers;
    ObjectList<WindowObject*>* Children;
    HBRUSH Brush;
    EventSlots* Events;
    // For a child control its control identifier; for a top-level window the handle of its menu bar.
    UINT_PTR ControlId;
    MenuNode* FirstMenu;
    COLORREF TextColor;
    COLORREF Color;
    uint8_t Margin;
    RECT Bounds;
    char* Caption;
    const char* SubclassName;
    // 0 = not loaded yet; all bits set = the window has no icon.
    HICON Icon;
    int16_t MessageNesting;
    uint8_t Align;
    // Forms remember the child that had the focus; the main window remembers its active form.
    WindowObject* FocusedChild;
    WindowObject* ActiveForm;

    bool HasFlag(uint32_t flag) const { return (Flags & flag) != 0; }
};

inline const HICON kNoIcon = reinterpret_cast<HICON>(~static_cast<UINT_PTR>(0));

// The object whose window is being created; its first message binds it.
extern WindowObject* CreatingObject;

// No window is created yet by any of these.
WindowObject* CreateWindowObject(WindowObject* parent, const char* subclassName);
WindowObject* CreateFormWindow(WindowObject* parent, const char* caption);
// A panel child control; edge style 0 framed, 1 sunken, 2 plain.
WindowObject* CreatePanelWindow(WindowObject* parent, int edgeStyle);

WindowObject* SetAlignment(WindowObject* child, uint8_t align);
void SetVisible(WindowObject* window, bool visible);
// Fixes the window as hidden before it exists, so it is created without WS_VISIBLE.
void HideWindowObject(WindowObject* window);
void SetCaption(WindowObject* window, const char* text);
HICON GetWindowIcon(WindowObject* window);
// Creates the window if it does not exist yet; 0 on failure.
HWND GetWindowHandle(WindowObject* window);
void SetOnMessage(WindowObject* window, MessageHandler handler);
// Appends the routine unless it is attached already; attached routines run newest first.
void AttachHandler(WindowObject* window, AttachedRoutine routine, bool keepAfterTermination);
// Lays out the children of the window by their alignment.
void LayoutChildren(WindowObject* parent);

LRESULT DefaultProcessing(WindowObject* window, const MessageRecord& message);
LRESULT CALLBACK WindowMessageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
