// A hidden main window with the application object and a tray icon, behind a recording machine:
// the state the program has built when its loop starts.
#pragma once

#include "app_state.h"
#include "recording_machine.h"

#include "message_loop.h"
#include "rxglobals.h"

#include <gtest/gtest.h>

class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        machine.modulePath = folder.File("RollixPortable.exe");
        ControlMessageNumber = ::RegisterWindowMessageA("WM_ROLLIX_MSG");
        MainWindow = CreateFormWindow(nullptr, "Rollix Test Main");
        HideWindowObject(MainWindow);
        state = CreateObject<AppState>();
        TheAppState = state;
        AddOwned(MainWindow, state);
        state->LinesToScroll = 3;
        BuildInterface();
        ASSERT_NE(MainWindow->Handle, nullptr);
        ASSERT_NE(state->Tray, nullptr);
        machine.calls.clear();
        machine.shellOperations.clear();
    }

    // The tray icon alone; tests of the tray actions build the program's whole interface instead.
    virtual void BuildInterface()
    {
        GetWindowHandle(MainWindow);
        state->Tray = MakeTrayIcon(MainWindow, GetWindowIcon(MainWindow));
    }

    void TearDown() override
    {
        // The tray icon lives as long as the process, as in the program.
        if (MainWindow != nullptr)
            EndRun(&MainWindow);
    }

    // The module's own icon resource of that name (shared, the same handle every time).
    static HICON ResourceIcon(const char* name) { return ::LoadIconA(::GetModuleHandleA(nullptr), name); }

    TempFolder folder;
    RecordingMachine machine;
    AppState* state = nullptr;
};
