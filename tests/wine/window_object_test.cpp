// Window objects against the real window manager: creation, hiding, class registration, the handler
// chain, the destruction of child objects whose windows go and the quiet of a window object being destroyed.
#include "message_loop.h"
#include "window_object.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_trace;

bool TraceOnMessage(void* owner, MessageRecord& message, LRESULT&)
{
    if (message.message == WM_APP)
        g_trace.push_back(static_cast<const char*>(owner));
    return false;
}

bool FirstAttached(WindowObject*, MessageRecord& message, LRESULT&)
{
    if (message.message == WM_APP)
        g_trace.push_back("attached-first");
    return false;
}

bool SecondAttached(WindowObject*, MessageRecord& message, LRESULT&)
{
    if (message.message == WM_APP)
        g_trace.push_back("attached-second");
    return false;
}

std::string ClassNameOf(HWND window)
{
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

WindowObject* MakeHiddenMainWindow()
{
    MainWindow = CreateFormWindow(nullptr, "Toolkit Test Main");
    HideWindowObject(MainWindow);
    return MainWindow;
}

TEST(WindowObjectTest, MainWindowIsCreatedHiddenAndFoundByClassAndCaption)
{
    WindowObject* main = MakeHiddenMainWindow();
    HWND handle = GetWindowHandle(main);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(::FindWindowA("obj_Form", "Toolkit Test Main"), handle);
    EXPECT_FALSE(::IsWindowVisible(handle));
    EXPECT_EQ(::GetWindowLongPtrA(handle, GWL_STYLE) & WS_VISIBLE, 0);
    // Registered with the double-click style alone.
    EXPECT_EQ(static_cast<DWORD>(::GetClassLongPtrA(handle, GCL_STYLE)), static_cast<DWORD>(CS_DBLCLKS));
    EXPECT_EQ(reinterpret_cast<WindowObject*>(::GetWindowLongPtrA(handle, GWLP_USERDATA)), main);
}

TEST(WindowObjectTest, SecondWindowOfAClassReusesTheRegisteredClass)
{
    WindowObject* first = CreateFormWindow(nullptr, "one");
    WindowObject* second = CreateFormWindow(nullptr, "two");
    HideWindowObject(first);
    HideWindowObject(second);
    ASSERT_NE(GetWindowHandle(first), nullptr);
    ASSERT_NE(GetWindowHandle(second), nullptr);
    EXPECT_EQ(::GetClassLongPtrA(first->Handle, GCW_ATOM), ::GetClassLongPtrA(second->Handle, GCW_ATOM));
}

TEST(WindowObjectTest, PanelSuperclassesStaticAndFillsItsParentLessTheMargin)
{
    WindowObject* main = MakeHiddenMainWindow();
    WindowObject* panel = SetAlignment(CreatePanelWindow(main, 2), kAlignClient);
    ASSERT_NE(GetWindowHandle(main), nullptr);
    ASSERT_NE(panel->Handle, nullptr) << "children are created with their parent";
    EXPECT_EQ(ClassNameOf(panel->Handle), "obj_STATIC");
    EXPECT_EQ(::GetParent(panel->Handle), main->Handle);
    EXPECT_EQ(::GetDlgCtrlID(panel->Handle), kFirstControlId);

    RECT client;
    ::GetClientRect(main->Handle, &client);
    RECT placed;
    ::GetWindowRect(panel->Handle, &placed);
    ::MapWindowPoints(nullptr, main->Handle, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, client.left + 2);
    EXPECT_EQ(placed.top, client.top + 2);
    EXPECT_EQ(placed.right, client.right - 2);
    EXPECT_EQ(placed.bottom, client.bottom - 2);
}

TEST(WindowObjectTest, HandlersRunMainFirstThenOwnThenAttachedNewestFirst)
{
    WindowObject* main = MakeHiddenMainWindow();
    WindowObject* panel = CreatePanelWindow(main, 2);
    SetOnMessage(main, MessageHandler{&TraceOnMessage, const_cast<char*>("main")});
    SetOnMessage(panel, MessageHandler{&TraceOnMessage, const_cast<char*>("panel")});
    AttachHandler(panel, &FirstAttached, false);
    AttachHandler(panel, &SecondAttached, false);
    AttachHandler(panel, &FirstAttached, false); // already there: stays once
    ASSERT_NE(GetWindowHandle(main), nullptr);

    ::SendMessageA(panel->Handle, WM_APP, 0, 0);
    EXPECT_EQ(g_trace, (std::vector<std::string>{"panel", "attached-second", "attached-first"}))
        << "outside the loop the main window's handler does not see other windows' messages";

    g_trace.clear();
    LoopActive = 1;
    ::SendMessageA(panel->Handle, WM_APP, 0, 0);
    EXPECT_EQ(g_trace, (std::vector<std::string>{"main", "panel", "attached-second", "attached-first"}));
    LoopActive = 0;
}

TEST(WindowObjectTest, HandledMessageReturnsTheHandlersResultOrZero)
{
    WindowObject* main = MakeHiddenMainWindow();
    SetOnMessage(main, MessageHandler{[](void*, MessageRecord& message, LRESULT& result) {
                                          if (message.message == WM_APP + 1)
                                              result = 1234;
                                          return message.message == WM_APP + 1 || message.message == WM_APP + 2;
                                      },
                                      nullptr});
    ASSERT_NE(GetWindowHandle(main), nullptr);
    EXPECT_EQ(::SendMessageA(main->Handle, WM_APP + 1, 0, 0), 1234);
    EXPECT_EQ(::SendMessageA(main->Handle, WM_APP + 2, 0, 0), 0);
    // A handled WM_CLOSE never reaches the default processing: the window stays.
    SetOnMessage(main, MessageHandler{[](void*, MessageRecord& message, LRESULT&) { return message.message == WM_CLOSE; },
                                      nullptr});
    ::SendMessageA(main->Handle, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(main->Handle));
}

TEST(WindowObjectTest, WindowsShareTheDefaultHandlersUntilOneIsSet)
{
    WindowObject* first = CreateFormWindow(nullptr, "one");
    WindowObject* second = CreateFormWindow(nullptr, "two");
    EXPECT_EQ(first->Events, second->Events);
    SetOnMessage(first, MessageHandler{&TraceOnMessage, const_cast<char*>("first")});
    EXPECT_NE(first->Events, second->Events);
    MessageRecord record{nullptr, WM_APP, 0, 0};
    LRESULT result = 0;
    EXPECT_FALSE(second->Events->OnMessage(record, result)) << "the shared default handles nothing";
    EXPECT_TRUE(g_trace.empty());
    Release(first); // frees the private copy with the window
    Release(second);
}

int g_panelsDestroyed = 0;

// A panel of the window whose destruction is counted in g_panelsDestroyed.
WindowObject* MakeCountedPanel(WindowObject* parent)
{
    WindowObject* panel = CreatePanelWindow(parent, 2);
    panel->OnDestroy.routine = [](void*, ToolkitObject*) { ++g_panelsDestroyed; };
    return panel;
}

TEST(WindowObjectTest, ChildObjectGoesWithItsWindowButTheMainWindowStays)
{
    WindowObject* main = MakeHiddenMainWindow();
    WindowObject* panel = MakeCountedPanel(main);
    ASSERT_NE(GetWindowHandle(main), nullptr);
    HWND panelHandle = panel->Handle;

    ::DestroyWindow(main->Handle);
    EXPECT_EQ(g_panelsDestroyed, 1);
    EXPECT_FALSE(::IsWindow(panelHandle));
    EXPECT_TRUE(main->HasFlag(kWindowDestroyed));
    EXPECT_EQ(main->Children->Count(), 0);
    // The main window object itself goes only when released.
    WindowObject* variable = main;
    EndRun(&variable);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(g_panelsDestroyed, 1);
}

TEST(WindowObjectTest, ReferencedChildObjectOutlivesItsWindow)
{
    WindowObject* main = MakeHiddenMainWindow();
    WindowObject* panel = MakeCountedPanel(main);
    ASSERT_NE(GetWindowHandle(main), nullptr);
    AddRef(panel);
    ::DestroyWindow(main->Handle);
    EXPECT_EQ(g_panelsDestroyed, 0);
    Release(panel);
    Release(panel);
    EXPECT_EQ(g_panelsDestroyed, 1);
}

TEST(WindowObjectTest, ReleasingAWindowObjectDestroysItsWindowAndOwnedObjects)
{
    WindowObject* form = CreateFormWindow(nullptr, "form");
    HideWindowObject(form);
    WindowObject* panel = CreatePanelWindow(form, 2);
    ASSERT_NE(GetWindowHandle(form), nullptr);
    HWND formHandle = form->Handle;
    HWND panelHandle = panel->Handle;
    Release(form);
    EXPECT_FALSE(::IsWindow(formHandle));
    EXPECT_FALSE(::IsWindow(panelHandle));
}

// Set while a window object is being released; handlers count what reaches them meanwhile.
bool g_releasing = false;
int g_handledWhileReleased = 0;

bool CountOnMessageWhileReleased(void*, MessageRecord&, LRESULT&)
{
    if (g_releasing)
        ++g_handledWhileReleased;
    return false;
}

bool CountAttachedWhileReleased(WindowObject*, MessageRecord&, LRESULT&)
{
    if (g_releasing)
        ++g_handledWhileReleased;
    return false;
}

// Runs right after a form has freed its private handler record: takes a block of the same size, which the heap
// hands back at once, and fills it with a handler, as any later allocation may fill it with anything. A call
// through the freed record then lands there and is counted.
EventSlots* g_reusedRecord = nullptr;

void ReuseFreedHandlerRecord(void*)
{
    g_reusedRecord = static_cast<EventSlots*>(std::malloc(sizeof(EventSlots)));
    if (g_reusedRecord != nullptr)
        *g_reusedRecord = EventSlots{MessageHandler{&CountOnMessageWhileReleased, nullptr}};
}

// A form with both kinds of handler and a panel child, the panel made before or after the handlers. The form
// releases what it owns oldest first: its private handler record and the panel, whose DestroyWindow sends the form
// WM_PARENTNOTIFY meanwhile, in either order.
void ReleaseFormWithPanel(bool panelFirst)
{
    WindowObject* form = CreateFormWindow(nullptr, "form");
    HideWindowObject(form);
    WindowObject* panel = panelFirst ? CreatePanelWindow(form, 2) : nullptr;
    SetOnMessage(form, MessageHandler{&CountOnMessageWhileReleased, nullptr});
    AttachHandler(form, &CountAttachedWhileReleased, true);
    if (!panelFirst) {
        AddOwnedRoutine(form, &ReuseFreedHandlerRecord, nullptr);
        panel = CreatePanelWindow(form, 2);
    }
    ASSERT_NE(GetWindowHandle(form), nullptr);
    ASSERT_NE(panel->Handle, nullptr);
    form->OnDestroy.routine = [](void*, ToolkitObject*) { g_releasing = true; };
    Release(form);
    g_releasing = false;
    std::free(g_reusedRecord);
}

TEST(WindowObjectTest, WindowBeingDestroyedCallsNoHandlerOfItsOwnWhenItsChildCameFirst)
{
    ASSERT_NO_FATAL_FAILURE(ReleaseFormWithPanel(true));
    EXPECT_EQ(g_handledWhileReleased, 0);
}

TEST(WindowObjectTest, WindowBeingDestroyedCallsNoHandlerOfItsOwnWhenItsChildCameLast)
{
    // The handler record is freed before the panel goes: a call through it uses freed memory.
    ASSERT_NO_FATAL_FAILURE(ReleaseFormWithPanel(false));
    EXPECT_EQ(g_handledWhileReleased, 0);
}

TEST(WindowObjectTest, HandlerWithoutRoutineIsNoHandler)
{
    WindowObject* main = MakeHiddenMainWindow();
    WindowObject* panel = CreatePanelWindow(main, 2);
    SetCaption(panel, "panel text");
    SetOnMessage(main, MessageHandler{});
    SetOnMessage(panel, MessageHandler{});
    ASSERT_NE(GetWindowHandle(main), nullptr);
    LoopActive = 1;
    // Both go on to the default processing, which answers WM_GETTEXTLENGTH with the caption's length; the panel's
    // message passes the main window's handler first.
    EXPECT_EQ(::SendMessageA(main->Handle, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(std::strlen(main->Caption)));
    EXPECT_EQ(::SendMessageA(panel->Handle, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(std::strlen("panel text")));
    LoopActive = 0;
}

TEST(WindowObjectTest, CaptionFollowsTheWindowText)
{
    WindowObject* main = MakeHiddenMainWindow();
    ASSERT_NE(GetWindowHandle(main), nullptr);
    SetCaption(main, "Another caption");
    char text[64] = {};
    ::GetWindowTextA(main->Handle, text, sizeof text);
    EXPECT_STREQ(text, "Another caption");
    EXPECT_STREQ(main->Caption, "Another caption");
}

TEST(WindowObjectTest, MessageForAWindowWithoutObjectGoesToTheMainWindow)
{
    WindowObject* main = MakeHiddenMainWindow();
    static int seen;
    seen = 0;
    SetOnMessage(main, MessageHandler{[](void*, MessageRecord& message, LRESULT&) {
                                          if (message.message == WM_APP + 5)
                                              ++seen;
                                          return false;
                                      },
                                      nullptr});
    WindowObject* orphan = CreateFormWindow(nullptr, "orphan");
    HideWindowObject(orphan);
    ASSERT_NE(GetWindowHandle(main), nullptr);
    HWND orphanHandle = GetWindowHandle(orphan);
    ASSERT_NE(orphanHandle, nullptr);
    ::SetWindowLongPtrA(orphanHandle, GWLP_USERDATA, 0);
    ::SendMessageA(orphanHandle, WM_APP + 5, 0, 0);
    EXPECT_EQ(seen, 1);
    // Its close does not end the program's loop.
    ::SendMessageA(orphanHandle, WM_CLOSE, 0, 0);
    MSG quit;
    EXPECT_FALSE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

} // namespace
