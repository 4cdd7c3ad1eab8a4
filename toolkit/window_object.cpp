// Window objects: defaults, creation of their Win32 windows, visibility, layout and destruction.
#include "window_object.h"

#include "layout.h"
#include "message_loop.h"

#include "fixed_text.h"

WindowObject* CreatingObject = nullptr;

namespace {
bool DefaultOnMessage(void*, MessageRecord&, LRESULT&)
{
    return false;
}

// Shared by every window until its first handler is set.
EventSlots g_defaultSlots = {MessageHandler{&DefaultOnMessage, nullptr}};
WORD g_nextControlId = kFirstControlId;
// Layout stays off until the first alignment is set.
bool g_layoutEnabled = false;

constexpr DWORD kClassStyleMask = 0xFFFFBF1F; // drops CS_GLOBALCLASS, CS_PARENTDC, CS_CLASSDC, CS_OWNDC
constexpr DWORD kPanelStyle = 0x5000018C | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kPanelSize = 100;
constexpr int kChildSize = 64;
constexpr uint8_t kDefaultMargin = 2;
constexpr int kClassNameSize = 64;

HINSTANCE Module()
{
    return ::GetModuleHandleA(nullptr);
}

char* CopyText(const char* text)
{
    size_t length = text == nullptr ? 0 : std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy != nullptr) {
        if (length != 0)
            std::memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

COLORREF ColorValue(COLORREF color)
{
    if (color & kSystemColorFlag)
        return ::GetSysColor(static_cast<int>(color & 0x7F));
    return color & ~kSystemColorFlag;
}

HBRUSH WindowBrush(WindowObject* window)
{
    // A run of equal colours shares the brush of its highest ancestor.
    if (window->Parent != nullptr && window->Parent->Color == window->Color)
        return WindowBrush(window->Parent);
    if (window->Brush == nullptr)
        window->Brush = ::CreateSolidBrush(ColorValue(window->Color));
    return window->Brush;
}

void CreateChildWindows(WindowObject* window)
{
    if (window->Children == nullptr)
        return;
    for (int i = 0; i < window->Children->Count(); ++i)
        (*window->Children)[i]->CreateWindowHandle();
}

WindowObject* FormOf(WindowObject* window)
{
    for (WindowObject* w = window->Parent; w != nullptr; w = w->Parent)
        if (w->HasFlag(kWindowIsForm))
            return w;
    return nullptr;
}

// Forms: give the focus to the child that had it, and tell the main window which form is active.
bool FormFocusRoutine(WindowObject* window, MessageRecord& message, LRESULT& result)
{
    if (message.message != WM_SETFOCUS)
        return false;
    if (MainWindow != nullptr && window != MainWindow)
        MainWindow->ActiveForm = window;
    if (window->FocusedChild != nullptr) {
        HWND child = GetWindowHandle(window->FocusedChild);
        if (child != nullptr) {
            ::SetFocus(child);
            result = 0;
            return true;
        }
    }
    return false;
}

// Forms: paint the background in the form's colour; the message then goes on to the default processing.
bool FormBackgroundRoutine(WindowObject* window, MessageRecord& message, LRESULT&)
{
    if (message.message != WM_ERASEBKGND)
        return false;
    CreateChildWindows(window);
    if (!window->HasFlag(kWindowTransparent)) {
        HDC dc = reinterpret_cast<HDC>(message.wParam);
        ::SetBkMode(dc, OPAQUE);
        ::SetBkColor(dc, ColorValue(window->Color));
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        RECT client;
        ::GetClientRect(window->Handle, &client);
        ::FillRect(dc, &client, WindowBrush(window));
    }
    return false;
}

// Child controls: answer the colour messages that the parent reflects back to them.
bool ChildControlRoutine(WindowObject* window, MessageRecord& message, LRESULT& result)
{
    if (message.message >= kReflectedColorBase + WM_CTLCOLORMSGBOX &&
        message.message <= kReflectedColorBase + WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(message.wParam);
        ::SetTextColor(dc, ColorValue(window->TextColor));
        ::SetBkColor(dc, ColorValue(window->Color));
        result = reinterpret_cast<LRESULT>(WindowBrush(window));
        return true;
    }
    return false;
}
} // namespace

void WindowObject::Init()
{
    ClassStyle = CS_OWNDC;
    Style = kDefaultWindowStyle;
    ExStyle = WS_EX_CONTROLPARENT;
    Events = &g_defaultSlots;
    TextColor = kDefaultTextColor;
    Color = kDefaultColor;
    Margin = kDefaultMargin;
}

void WindowObject::InitWithParent(WindowObject* parent)
{
    Init();
    if (parent == nullptr)
        return;
    Color = parent->Color;
    TextColor = parent->TextColor;
    Parent = parent;
    if (parent->Children == nullptr)
        parent->Children = CreateList<WindowObject*>();
    if (parent->Children != nullptr)
        parent->Children->Add(this);
    AddOwned(parent, this);
}

WindowObject* CreateWindowObject(WindowObject* parent, const char* subclassName)
{
    WindowObject* window = AllocateObject<WindowObject>();
    if (window == nullptr)
        return nullptr;
    window->InitWithParent(parent);
    window->SubclassName = subclassName;
    return window;
}

WindowObject* CreateFormWindow(WindowObject* parent, const char* caption)
{
    WindowObject* form = CreateWindowObject(parent, "Form");
    if (form == nullptr)
        return nullptr;
    form->ClassStyle |= CS_DBLCLKS;
    form->Flags |= kWindowIsForm;
    AttachHandler(form, &FormFocusRoutine, false);
    AttachHandler(form, &FormBackgroundRoutine, false);
    SetCaption(form, caption);
    return form;
}

WindowObject* CreatePanelWindow(WindowObject* parent, int edgeStyle)
{
    WindowObject* panel = CreateWindowObject(parent, "STATIC");
    if (panel == nullptr)
        return nullptr;
    panel->Flags |= kWindowIsChild;
    panel->Style = kPanelStyle;
    if (edgeStyle == 0)
        panel->Style |= WS_DLGFRAME;
    else if (edgeStyle == 1)
        panel->Style |= SS_SUNKEN;
    panel->ExStyle |= WS_EX_CONTROLPARENT;
    int m = parent != nullptr ? parent->Margin : 0;
    panel->Bounds = RECT{m, m, m + kPanelSize, m + kPanelSize};
    panel->ControlId = g_nextControlId++;
    AttachHandler(panel, &ChildControlRoutine, false);
    return panel;
}

WindowObject* SetAlignment(WindowObject* child, uint8_t align)
{
    if (child->Align != align) {
        child->Align = align;
        g_layoutEnabled = true;
        LayoutChildren(child->Parent);
    }
    return child;
}

void LayoutChildren(WindowObject* parent)
{
    if (!g_layoutEnabled || parent == nullptr || parent->Children == nullptr || parent->Children->Count() == 0)
        return;
    RECT client = {0, 0, parent->Bounds.right - parent->Bounds.left, parent->Bounds.bottom - parent->Bounds.top};
    if (parent->Handle != nullptr)
        ::GetClientRect(parent->Handle, &client);

    int count = parent->Children->Count();
    auto* items = static_cast<LayoutItem*>(std::malloc(sizeof(LayoutItem) * static_cast<size_t>(count)));
    if (items == nullptr)
        return;
    for (int i = 0; i < count; ++i) {
        WindowObject* child = (*parent->Children)[i];
        const RECT& b = child->Bounds;
        items[i] = LayoutItem{child->Align,
                              (child->Style & WS_VISIBLE) != 0 || child->HasFlag(kWindowShowAfterCreate),
                              LayoutRect{b.left, b.top, b.right, b.bottom}};
    }
    LayoutAlignedItems(LayoutRect{client.left, client.top, client.right, client.bottom}, parent->Margin, items, count);
    for (int i = 0; i < count; ++i) {
        WindowObject* child = (*parent->Children)[i];
        const LayoutRect& n = items[i].bounds;
        RECT& b = child->Bounds;
        if (n.left == b.left && n.top == b.top && n.right == b.right && n.bottom == b.bottom)
            continue;
        b = RECT{n.left, n.top, n.right, n.bottom};
        // Its own WM_SIZE then lays out its children.
        if (child->Handle != nullptr)
            ::MoveWindow(child->Handle, b.left, b.top, b.right - b.left, b.bottom - b.top, TRUE);
    }
    std::free(items);
}

void SetVisible(WindowObject* window, bool visible)
{
    if (visible)
        window->Style |= WS_VISIBLE;
    else
        window->Style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (window->Handle == nullptr)
        return;
    if (visible) {
        LayoutChildren(window->Parent);
        ::ShowWindow(window->Handle, SW_SHOW);
    } else {
        ::ShowWindow(window->Handle, SW_HIDE);
        LayoutChildren(window->Parent);
    }
}

void HideWindowObject(WindowObject* window)
{
    window->Flags |= kWindowVisibilityFixed;
    SetVisible(window, false);
}

void SetCaption(WindowObject* window, const char* text)
{
    char* copy = CopyText(text);
    if (copy == nullptr)
        return;
    std::free(window->Caption);
    window->Caption = copy;
    if (window->Handle == nullptr)
        return;
    ::SendMessageA(window->Handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(window->Caption));
    if (!window->HasFlag(kWindowNoRepaintOnCaption))
        ::InvalidateRect(window->Handle, nullptr, TRUE);
}

HICON GetWindowIcon(WindowObject* window)
{
    if (window->Icon == kNoIcon)
        return nullptr;
    if (window->Icon != nullptr)
        return window->Icon;
    if (MainWindow == nullptr || window == MainWindow) {
        window->Icon = ::LoadIconA(Module(), "MAINICON");
        // A loaded resource icon belongs to the module; it must never be destroyed.
        if (window->Icon != nullptr)
            window->Flags |= kWindowIconShared;
    } else {
        HICON mainIcon = GetWindowIcon(MainWindow);
        if (mainIcon != nullptr)
            window->Icon = static_cast<HICON>(::CopyImage(mainIcon, IMAGE_ICON, 0, 0, 0));
    }
    return window->Icon;
}

HWND GetWindowHandle(WindowObject* window)
{
    if (window->Handle != nullptr)
        return window->Handle;
    // An unfixed window is shown only once it is complete.
    if (!window->HasFlag(kWindowVisibilityFixed) && (window->Style & WS_VISIBLE) != 0) {
        window->Style &= ~static_cast<DWORD>(WS_VISIBLE);
        window->Flags |= kWindowShowAfterCreate;
    }
    window->CreateWindowHandle();
    return window->Handle;
}

void SetOnMessage(WindowObject* window, MessageHandler handler)
{
    if (window->Events == &g_defaultSlots) {
        auto* slots = static_cast<EventSlots*>(std::malloc(sizeof(EventSlots)));
        if (slots == nullptr)
            return;
        *slots = g_defaultSlots;
        window->Events = slots;
        AddOwnedRoutine(window, [](void* memory) { std::free(memory); }, slots);
    }
    window->Events->OnMessage = handler;
}

void AttachHandler(WindowObject* window, AttachedRoutine routine, bool keepAfterTermination)
{
    if (window->AttachedHandlers == nullptr) {
        window->AttachedHandlers = CreateList<AttachedHandler>();
        if (window->AttachedHandlers == nullptr)
            return;
    }
    if (window->AttachedHandlers->IndexWhere([&](const AttachedHandler& h) { return h.routine == routine; }) < 0)
        window->AttachedHandlers->Add(AttachedHandler{routine, keepAfterTermination});
}

bool WindowObject::CreateWindowHandle()
{
    HWND parentHandle = nullptr;
    if (Parent != nullptr) {
        parentHandle = GetWindowHandle(Parent);
        if (parentHandle == nullptr)
            return false;
    }

    if (Handle != nullptr) {
        CreateChildWindows(this);
        if (HasFlag(kWindowShowAfterCreate)) {
            SetVisible(this, true);
            Flags &= ~static_cast<uint32_t>(kWindowShowAfterCreate);
        }
        return true;
    }

    HINSTANCE module = Module();
    WNDCLASSA windowClass = {};
    windowClass.style = ClassStyle;
    windowClass.lpfnWndProc = PreviousWindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);

    FixedText<kClassNameSize> className(HasFlag(kWindowClassNameVerbatim) ? "" : "obj_");
    className.Append(SubclassName);

    int x = Bounds.left;
    int y = Bounds.top;
    if (Parent == nullptr && !HasFlag(kWindowIsChild) && !HasFlag(kWindowPositionSet)) {
        x = CW_USEDEFAULT;
        y = CW_USEDEFAULT;
    }
    int width = Bounds.right - Bounds.left;
    int height = Bounds.bottom - Bounds.top;
    if (width == 0)
        width = CW_USEDEFAULT;
    if (height == 0)
        height = CW_USEDEFAULT;

    if (SubclassName != nullptr) {
        // A system class such as "STATIC" is superclassed; other names keep the class as prepared.
        ::GetClassInfoA(module, SubclassName, &windowClass);
        windowClass.hInstance = module;
        windowClass.style &= kClassStyleMask;
    }
    if (PreviousWindowProc == nullptr)
        PreviousWindowProc = windowClass.lpfnWndProc;

    if (parentHandle == nullptr && (Style & WS_CHILD) != 0)
        return false;

    WNDCLASSA existing;
    if (!::GetClassInfoA(windowClass.hInstance, className.c_str(), &existing)) {
        windowClass.lpszClassName = className.c_str();
        windowClass.lpfnWndProc = &WindowMessageProc;
        if (::RegisterClassA(&windowClass) == 0)
            return false;
    }

    CreatingObject = this;
    HWND created = ::CreateWindowExA(ExStyle, className.c_str(), Caption != nullptr ? Caption : "", Style, x, y, width, height,
                                     parentHandle, reinterpret_cast<HMENU>(ControlId), module, nullptr);
    if (created == nullptr) {
        CreatingObject = nullptr;
        return false;
    }
    Handle = created;

    ::SendMessageA(Handle, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (::GetWindowLongPtrA(Handle, GWLP_USERDATA) == 0) {
        CreatingObject = nullptr;
        ::SetWindowLongPtrA(Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    if (!HasFlag(kWindowIsChild))
        ::SendMessageA(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(GetWindowIcon(this)));
    // A window created hidden gets no WM_SIZE until it is shown: place the children for its real size now.
    LayoutChildren(this);
    CreateChildWindows(this);
    return true;
}

void WindowObject::Destroy()
{
    // Its owned objects go first, the private handler record among them, while the window is still bound to the
    // object and gets messages (an owned child's DestroyWindow sends it WM_PARENTNOTIFY): from here on none of its
    // own handlers run.
    Flags |= kWindowObjectDestroying;
    if (WindowObject* form = FormOf(this); form != nullptr && form->FocusedChild == this)
        form->FocusedChild = nullptr;
    if (MainWindow != nullptr && MainWindow->ActiveForm == this)
        MainWindow->ActiveForm = nullptr;
    if (Handle != nullptr && ::IsWindow(Handle))
        ::ShowWindow(Handle, SW_HIDE);
    FinalizeObject(this);
    if (HasFlag(kWindowDestroyStarted))
        return;
    Flags |= kWindowDestroyStarted;

    if (Handle != nullptr) {
        if (Icon != nullptr && Icon != kNoIcon && !HasFlag(kWindowIconShared))
            ::DestroyIcon(Icon);
        if (::IsWindow(Handle)) {
            // Unbound first, so the window's last messages no longer reach this object. A window whose
            // WM_DESTROY was seen is already going; destroying it again from inside that message is not safe.
            ::SetWindowLongPtrA(Handle, GWLP_USERDATA, 0);
            if (!HasFlag(kWindowDestroyed))
                ::DestroyWindow(Handle);
        }
        Handle = nullptr;
    }
    if (Brush != nullptr)
        ::DeleteObject(Brush);
    Brush = nullptr;
    if (Parent != nullptr) {
        if (Parent->FocusedChild == this)
            Parent->FocusedChild = nullptr;
        if (Parent->Children != nullptr) {
            int index = Parent->Children->IndexOf(this);
            if (index >= 0)
                Parent->Children->Delete(index);
        }
        RemoveOwned(Parent, this);
        Parent = nullptr;
    }
    Release(AttachedHandlers);
    AttachedHandlers = nullptr;
    Release(Children);
    Children = nullptr;
    std::free(Caption);
    Caption = nullptr;
    ToolkitObject::Destroy();
}
