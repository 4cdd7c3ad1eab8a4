// Loading the settings into the application object, the tray icon's HideTrayIcon, and the editor launch.
#include "app_state.h"
#include "message_loop.h"
#include "recording_machine.h"
#include "settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using ::testing::HasSubstr;

namespace {

class LoadSettingsTest : public ::testing::Test
{
  protected:
    LoadSettingsTest()
    {
        machine.modulePath = folder.File("RollixPortable.exe");
        state = CreateObject<AppState>();
    }
    ~LoadSettingsTest() override { Release(state); }

    TempFolder folder;
    RecordingMachine machine;
    AppState* state = nullptr;
};

TEST_F(LoadSettingsTest, NoFileGivesEveryDefault)
{
    state->LinesToScroll = 99;
    state->ConvertToScroll = state->LeftClickEnableToggle = state->ActivateWindows = true;
    state->Rehook = state->ReverseScroll = true;
    LoadSettings(state);
    EXPECT_FALSE(state->ConvertToScroll);
    EXPECT_EQ(state->LinesToScroll, 3);
    EXPECT_FALSE(state->LeftClickEnableToggle);
    EXPECT_FALSE(state->ActivateWindows);
    EXPECT_FALSE(state->Rehook);
    EXPECT_FALSE(state->ReverseScroll);
    EXPECT_TRUE(state->FirstTime);
    EXPECT_FALSE(folder.Exists("rollix.ini"));
}

TEST_F(LoadSettingsTest, EveryKeyIsReadWithItsOwnLiteral)
{
    folder.Write("rollix.ini", "[config]\r\n"
                               "ConvertToScroll= TRUE \r\n"
                               "LinesToScroll=12\r\n"
                               "LeftClickEnableToggle=1\r\n"
                               "ActivateWindows=1\r\n"
                               "Rehook=1\r\n"
                               "ReverseScroll=1\r\n"
                               "FirstTime=0\r\n");
    LoadSettings(state);
    EXPECT_TRUE(state->ConvertToScroll);
    EXPECT_EQ(state->LinesToScroll, 12);
    EXPECT_TRUE(state->LeftClickEnableToggle);
    EXPECT_TRUE(state->ActivateWindows);
    EXPECT_TRUE(state->Rehook);
    EXPECT_TRUE(state->ReverseScroll);
    EXPECT_FALSE(state->FirstTime);
}

TEST_F(LoadSettingsTest, HideTrayIconRemovesAndRestoresTheIcon)
{
    WindowObject* owner = CreateFormWindow(nullptr, "settings test owner");
    HideWindowObject(owner);
    state->Tray = MakeTrayIcon(owner, ::CopyIcon(::LoadIconA(nullptr, IDI_APPLICATION)));
    ASSERT_NE(state->Tray, nullptr);
    ASSERT_TRUE(state->Tray->Active);
    machine.shellOperations.clear();

    folder.Write("rollix.ini", "[config]\r\nHideTrayIcon=1\r\n");
    LoadSettings(state);
    EXPECT_FALSE(state->Tray->Active);
    EXPECT_EQ(machine.shellOperations, std::vector<DWORD>{NIM_DELETE});

    folder.Write("rollix.ini", "[config]\r\nHideTrayIcon=0\r\n");
    ApplyHideTrayIcon(state);
    EXPECT_TRUE(state->Tray->Active);
    EXPECT_EQ(machine.shellOperations, (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));

    // "TRUE" is not the on literal of this key.
    folder.Write("rollix.ini", "[config]\r\nHideTrayIcon=TRUE\r\n");
    ApplyHideTrayIcon(state);
    EXPECT_TRUE(state->Tray->Active);
    Release(owner);
}

std::string EditorLaunch(const std::string& folder, HWND owner)
{
    char ownerText[32];
    std::snprintf(ownerText, sizeof ownerText, "%p", static_cast<void*>(owner));
    return "ShellExecute open " + folder + "RollixConfig.exe [] [" + folder + "] 1 owner=" + ownerText;
}

TEST_F(LoadSettingsTest, EditorStartsFromTheProgramsFolderWithoutAMainWindow)
{
    MainWindow = nullptr;
    OpenSettingsEditor();
    OpenSettingsEditor();
    // Started anew at every call.
    EXPECT_EQ(machine.CallsStartingWith("ShellExecute "),
              (std::vector<std::string>{EditorLaunch(folder.Path(), nullptr), EditorLaunch(folder.Path(), nullptr)}));
}

TEST_F(LoadSettingsTest, EditorIsOwnedByTheMainWindowWithoutCreatingIt)
{
    WindowObject* window = CreateFormWindow(nullptr, "settings test main");
    HideWindowObject(window);
    MainWindow = window;
    OpenSettingsEditor();
    EXPECT_EQ(window->Handle, nullptr) << "the launch must not create the main window";
    ASSERT_NE(GetWindowHandle(window), nullptr);
    OpenSettingsEditor();
    auto launches = machine.CallsStartingWith("ShellExecute ");
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0], EditorLaunch(folder.Path(), nullptr));
    EXPECT_EQ(launches[1], EditorLaunch(folder.Path(), window->Handle));
    MainWindow = nullptr;
    Release(window);
}

} // namespace
