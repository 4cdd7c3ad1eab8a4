// The doubles that the end-to-end runs rely on: the recording hook library and the stand-in settings editor.
#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace e2e;

namespace {

using StartRoutine = void(WINAPI*)(int, int, int);
using StopRoutine = void(WINAPI*)();
using TimeRoutine = double(WINAPI*)();

constexpr double kSecondsPerDay = 86400.0;
// Generous against a slow machine, yet far below the watchdog's 3 seconds that tests set ages around.
constexpr double kToleranceSeconds = 2.0;

// Today's local time as a date, computed apart from the library's own arithmetic.
double LocalNowAsDate()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    // Days from 30 December 1899 to the date by the civil calendar, then the time of day.
    int y = now.wYear, m = now.wMonth, d = now.wDay;
    int a = (14 - m) / 12;
    int yy = y + 4800 - a, mm = m + 12 * a - 3;
    long julianDay = d + (153 * mm + 2) / 5 + 365L * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
    const long kJulianDayOfOrigin = 2415019; // 30 December 1899
    double time = (now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0) / kSecondsPerDay;
    return static_cast<double>(julianDay - kJulianDayOfOrigin) + time;
}

class RecordingHook : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Ready());
        library = ::LoadLibraryA(folder.File(kHookLibraryName).c_str());
        ASSERT_NE(library, nullptr);
        start = reinterpret_cast<StartRoutine>(reinterpret_cast<void*>(::GetProcAddress(library, "RollixHookStart")));
        stop = reinterpret_cast<StopRoutine>(reinterpret_cast<void*>(::GetProcAddress(library, "RollixHookStop")));
        lastTime = reinterpret_cast<TimeRoutine>(
            reinterpret_cast<void*>(::GetProcAddress(library, "GetLastMouseMessageTime")));
        ASSERT_TRUE(start != nullptr && stop != nullptr && lastTime != nullptr) << "an export is missing";
    }
    void TearDown() override
    {
        if (library != nullptr)
            ::FreeLibrary(library);
    }

    double SecondsBeforeNow(double date) { return (LocalNowAsDate() - date) * kSecondsPerDay; }

    ProgramFolder folder;
    HMODULE library = nullptr;
    StartRoutine start = nullptr;
    StopRoutine stop = nullptr;
    TimeRoutine lastTime = nullptr;
};

TEST_F(RecordingHook, RecordsEveryCallInOrderBesideTheLibrary)
{
    start(1, 7, 3);
    stop();
    lastTime();
    start(0, 3, 0);
    EXPECT_EQ(folder.HookLog(), (std::vector<std::string>{"RollixHookStart 1 7 3", "RollixHookStop",
                                                          "GetLastMouseMessageTime", "RollixHookStart 0 3 0"}));
}

TEST_F(RecordingHook, ReportsTheTimeThatTheTestSets)
{
    struct Case
    {
        const char* name;
        const char* setting; // nullptr: no hooktime.txt
        double expectedAgeSeconds;
    };
    const Case cases[] = {
        {"NoFileMeansNow", nullptr, 0.0},
        {"AgeOfTenSeconds", "age 10", 10.0},
        {"FractionalAge", "age 3.5", 3.5},
        {"UnreadableTextMeansNow", "soon", 0.0},
        {"NegativeAgeIsInTheFuture", "age -60", -60.0},
    };
    for (const Case& c : cases) {
        folder.SetHookTime(c.setting != nullptr ? c.setting : "");
        EXPECT_NEAR(SecondsBeforeNow(lastTime()), c.expectedAgeSeconds, kToleranceSeconds) << c.name;
    }

    // An absolute date comes back as written.
    folder.SetHookTime("45000.25");
    EXPECT_DOUBLE_EQ(lastTime(), 45000.25);
}

TEST(StandInEditor, LogsItsFolderAndCommandLineAndEndsWithCodeZero)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.Ready());
    ScratchFolder elsewhere;
    for (int launch = 0; launch < 2; ++launch) {
        ProgramRun editor;
        ASSERT_TRUE(editor.Start(folder.File(kEditorName), "one \"two words\"", elsewhere.Path()));
        DWORD code = kKilledExitCode;
        ASSERT_TRUE(editor.WaitForExit(&code));
        EXPECT_EQ(code, 0u);
    }
    std::vector<EditorLaunch> launches = folder.EditorLaunches();
    ASSERT_EQ(launches.size(), 2u);
    for (const EditorLaunch& launch : launches) {
        EXPECT_TRUE(SamePath(launch.directory, elsewhere.Path())) << launch.directory;
        EXPECT_EQ(launch.commandLine, "\"" + folder.File(kEditorName) + "\" one \"two words\"");
    }
    EXPECT_FALSE(elsewhere.Exists(kEditorLogName));
}

} // namespace
