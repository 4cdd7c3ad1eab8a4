// The settings file through the real profile functions, the write-error report, the elevated launch, and the
// toolkit utilities that read the machine (own path, command line, Windows version).
#include "command_params.h"
#include "recording_machine.h"
#include "rollix_common.h"
#include "rxglobals.h"
#include "windows_version.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using ::testing::HasSubstr;

namespace {

class SettingsFileTest : public ::testing::Test
{
  protected:
    SettingsFileTest() { machine.modulePath = folder.File("RollixPortable.exe"); }

    std::string Read(const char* key, const char* defaultText)
    {
        SettingText value;
        ReadSetting(key, defaultText, value);
        return value.c_str();
    }

    TempFolder folder;
    RecordingMachine machine;
};

TEST_F(SettingsFileTest, SectionAndKeyNamesMatchInAnyLetterCase)
{
    folder.Write("rollix.ini", "[CONFIG]\r\nlinestoscroll=12\r\nCONVERTTOSCROLL=TRUE\r\n");
    EXPECT_EQ(Read("LinesToScroll", "3"), "12");
    EXPECT_EQ(Read("ConvertToScroll", "FALSE"), "TRUE");
}

TEST_F(SettingsFileTest, ValuesLoseSurroundingBlanksAndOnePairOfQuotes)
{
    folder.Write("rollix.ini", "[config]\r\n"
                               "ConvertToScroll =   TRUE   \r\n"
                               "LinesToScroll=\"9\"\r\n"
                               "HideTrayIcon='1'\r\n"
                               "Rehook=a \"b\" c\r\n");
    EXPECT_EQ(Read("ConvertToScroll", "FALSE"), "TRUE");
    EXPECT_EQ(Read("LinesToScroll", "3"), "9");
    EXPECT_EQ(Read("HideTrayIcon", "0"), "1");
    EXPECT_EQ(Read("Rehook", "0"), "a \"b\" c");
}

TEST_F(SettingsFileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(Read("FirstTime", "1"), "1");
    EXPECT_FALSE(folder.Exists("rollix.ini")) << "reading must not create the file";
    folder.Write("rollix.ini", "[other]\r\nFirstTime=0\r\n");
    EXPECT_EQ(Read("FirstTime", "1"), "1");
    folder.Write("rollix.ini", "[config]\r\nRehook=1\r\n");
    EXPECT_EQ(Read("FirstTime", "1"), "1");
}

TEST_F(SettingsFileTest, OverlongValueIsCutTo2047Characters)
{
    std::string longValue(5000, '7');
    folder.Write("rollix.ini", "[config]\r\nLinesToScroll=" + longValue + "\r\n");
    EXPECT_EQ(Read("LinesToScroll", "3"), std::string(kSettingCapacity - 1, '7'));
}

TEST_F(SettingsFileTest, WriteCreatesFileAndSectionAndKeepsOtherLines)
{
    ASSERT_TRUE(WriteSetting("FirstTime", "0"));
    EXPECT_EQ(Read("FirstTime", "1"), "0");
    std::string text = folder.Read("rollix.ini");
    EXPECT_THAT(text, HasSubstr("[config]"));
    EXPECT_THAT(text, HasSubstr("FirstTime=0"));

    folder.Write("rollix.ini", "[config]\r\nLinesToScroll=6\r\nFirstTime=1\r\nRehook=1\r\n");
    ASSERT_TRUE(WriteSetting("FirstTime", "0"));
    EXPECT_EQ(Read("FirstTime", "1"), "0");
    EXPECT_EQ(Read("LinesToScroll", "3"), "6");
    EXPECT_EQ(Read("Rehook", "0"), "1");
}

TEST_F(SettingsFileTest, WriteFailsWhenTheSettingsFileIsAFolder)
{
    ASSERT_TRUE(::CreateDirectoryA(folder.File("rollix.ini").c_str(), nullptr));
    EXPECT_FALSE(WriteSetting("showrollix", "1"));
    // Reading the same path still never fails.
    EXPECT_EQ(Read("FirstTime", "1"), "1");
}

TEST_F(SettingsFileTest, WriteErrorBoxNamesTheFileAndEndsWithExitCodeOne)
{
    EXPECT_EQ(ShowSettingsWriteError(), 1);
    ASSERT_EQ(machine.CountCalls("MessageBox"), 1);
    std::string box = machine.CallsStartingWith("MessageBox")[0];
    EXPECT_THAT(box, HasSubstr("MessageBox Application Error: Unable to write to " + folder.File("rollix.ini") + " "));
    // Task-modal, stop icon, OK only, no owner.
    EXPECT_THAT(box, HasSubstr(" 0x2010 owner="));
    char noOwner[32];
    std::snprintf(noOwner, sizeof noOwner, "owner=%p", static_cast<void*>(nullptr));
    EXPECT_THAT(box, HasSubstr(noOwner));
}

std::string ElevatedRecord(const std::string& file, const std::string& parameters)
{
    return "ShellExecuteEx runas " + file + " [" + parameters +
           "] [(null)] size=" + std::to_string(sizeof(SHELLEXECUTEINFOA)) + " mask=500 show=1 owner=";
}

TEST_F(SettingsFileTest, RunElevatedFillsTheLaunchRecord)
{
    EXPECT_TRUE(RunElevated(nullptr, "C:\\R\\RollixPortable.exe", "/admin"));
    EXPECT_TRUE(RunElevated(nullptr, "C:\\R\\RollixPortable.exe", ""));
    EXPECT_TRUE(RunElevated(nullptr, "C:\\R\\RollixPortable.exe", nullptr));
    auto launches = machine.CallsStartingWith("ShellExecuteEx");
    ASSERT_EQ(launches.size(), 3u);
    EXPECT_THAT(launches[0], HasSubstr(ElevatedRecord("C:\\R\\RollixPortable.exe", "/admin")));
    // Empty parameters travel as no pointer at all.
    EXPECT_THAT(launches[1], HasSubstr(ElevatedRecord("C:\\R\\RollixPortable.exe", "(null)")));
    EXPECT_THAT(launches[2], HasSubstr(ElevatedRecord("C:\\R\\RollixPortable.exe", "(null)")));
}

std::string Param(int n)
{
    PathText parameter;
    GetParam(n, parameter);
    return parameter.c_str();
}

TEST_F(SettingsFileTest, GetParamReadsTheMachinesCommandLineAndOwnFile)
{
    machine.commandLine = "\"C:\\Some Where\\RollixPortable.exe\"  \"-close\"\t/admin";
    machine.modulePath = "D:\\Real\\RollixPortable.exe";
    EXPECT_EQ(Param(0), "D:\\Real\\RollixPortable.exe");
    EXPECT_EQ(Param(-1), "C:\\Some Where\\RollixPortable.exe");
    EXPECT_EQ(Param(1), "-close");
    EXPECT_EQ(Param(2), "/admin");
    EXPECT_EQ(Param(3), "");
}

TEST_F(SettingsFileTest, WindowsVersionIsAskedOnceAndRemembered)
{
    machine.PlayWindowsXP();
    EXPECT_EQ(GetWindowsVersion(), WinXP);
    machine.PlayWindows95();
    EXPECT_EQ(GetWindowsVersion(), WinXP);
    EXPECT_EQ(std::count(machine.calls.begin(), machine.calls.end(), "GetVersion"), 1);
}

struct VersionCase
{
    const char* name;
    void (RecordingMachine::*play)();
    bool fails;
    bool vistaOrLater;
};

TEST_F(SettingsFileTest, VistaOrLaterFromMajorVersionSixAndASuccessfulCall)
{
    const VersionCase cases[] = {
        {"95", &RecordingMachine::PlayWindows95, false, false},
        {"NT 4", &RecordingMachine::PlayWindowsNT4, false, false},
        {"XP", &RecordingMachine::PlayWindowsXP, false, false},
        {"Vista", &RecordingMachine::PlayWindowsVista, false, true},
        {"10", &RecordingMachine::PlayWindows10, false, true},
        {"Vista but the call fails", &RecordingMachine::PlayWindowsVista, true, false},
    };
    for (const VersionCase& c : cases) {
        (machine.*c.play)();
        machine.versionExFails = c.fails;
        VistaOrLater = !c.vistaOrLater;
        machine.calls.clear();
        ComputeVistaOrLater();
        EXPECT_EQ(VistaOrLater, c.vistaOrLater) << c.name;
        EXPECT_EQ(machine.calls, std::vector<std::string>{"GetVersionEx " + std::to_string(sizeof(OSVERSIONINFOA))})
            << c.name;
    }
}

} // namespace
