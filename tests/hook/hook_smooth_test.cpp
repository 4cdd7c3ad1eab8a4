// Smooth scrolling and acceleration with the real RollixHook.dll, its rollix.ini and real wheel input: what the
// window under the pointer receives, message by message, with the time each arrived.
#include "hook_dll_fixture.h"

#include "smooth_animation.h"
#include "wheel_acceleration.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kWheelUp = 4;
constexpr int kWheelDown = 5;
constexpr int kNotch = 120;
constexpr unsigned kMkControl = 0x0008;
constexpr int kFlagActivateWindows = 1;
constexpr WPARAM kActivateWindowCode = 8;
constexpr DWORD kArrivalTimeoutMs = 10000;

int Sum(const std::vector<int>& deltas)
{
    int sum = 0;
    for (int delta : deltas) {
        sum += delta;
    }
    return sum;
}

// The frame period the library plans for this display, in milliseconds.
double FramePeriodMs()
{
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    const int hz =
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) ? static_cast<int>(mode.dmDisplayFrequency) : 0;
    return PlanFrames(hz, kDefaultSmoothDurationMs).m_periodUs / 1000.0;
}

double Milliseconds(long long counts)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counts) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Open handles and threads of this process (Wine leaves GetProcessHandleCount at zero: handles are counted one by one).
std::pair<int, int> HandlesAndThreads()
{
    int handles = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        handles += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    int threads = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        threads += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    }
    CloseHandle(snapshot);
    return {handles, threads};
}

class HookSmooth : public HookDll
{
  protected:
    // Copies the library into the work folder with these lines in its rollix.ini, loads it and starts the target.
    void LaunchWith(const std::string& sections, int flags = 0)
    {
        ASSERT_TRUE(m_program.Create());
        const std::string library = m_folder.WindowsPath("RollixHook.dll");
        ASSERT_TRUE(CopyFileA(ROLLIX_HOOK_DLL, library.c_str(), FALSE));
        const std::string settings = "[config]\r\nFirstTime=0\r\n" + sections;
        FILE* file = std::fopen(m_folder.WindowsPath("rollix.ini").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(settings.data(), 1, settings.size(), file);
        std::fclose(file);
        ASSERT_TRUE(m_target.Start("capture")) << "the target window's process did not come up";
        ASSERT_TRUE(m_hook.Load(library));
        m_hook.Start(0, 3, flags);
    }

    void Input(const std::string& arguments)
    {
        const POINT center = CenterOf(m_target.m_child);
        ASSERT_TRUE(RunXdotool(m_folder, "mousemove " + std::to_string(center.x) + " " + std::to_string(center.y) +
                                             " " + arguments))
            << "xdotool failed";
    }

    // The same notches slowly and then in a burst: the burst's later notches count four times, its first once.
    void ExpectBurstScrollsFurther()
    {
        const std::string down = std::to_string(kWheelDown);
        Input("click " + down + " sleep 0.3 click " + down + " sleep 0.3");
        ASSERT_TRUE(WaitForSum(-2 * kNotch)) << "two slow notches are two notches";
        Input("click --repeat 3 --delay 0 " + down);
        const int burst = kNotch + 2 * kNotch * kMaxAccelerationPercent / 100;
        ASSERT_TRUE(WaitForSum(-2 * kNotch - burst))
            << "the burst added up to " << -(Sum(Deltas("child", "wheel")) + 2 * kNotch);
    }

    // Waits until the child's wheel deltas add up to sum; a run that overshoots never does.
    bool WaitForSum(int sum) const
    {
        return PumpUntil([&] { return Sum(m_target.Deltas("child", "wheel")) == sum; }, kArrivalTimeoutMs);
    }
};

TEST_F(HookSmooth, OneNotchEasesOutOverTheDurationAndAddsUpExactly)
{
    LaunchWith("[router]\r\nSmoothScroll=1\r\nSmoothDuration=200\r\n", kFlagActivateWindows);
    Input("click " + std::to_string(kWheelDown));
    ASSERT_TRUE(WaitForSum(-kNotch)) << "the deltas never added up to one notch";
    // A smoothed notch still asks for the window under the pointer to come forward.
    ASSERT_TRUE(PumpUntil([&] { return !m_program.m_controls.empty(); }, kArrivalTimeoutMs));
    EXPECT_EQ(m_program.m_controls[0].m_code, kActivateWindowCode);
    Fence();
    const std::vector<LoggedMessage> run = Of("child", "wheel");
    ASSERT_GE(run.size(), 5u);
    EXPECT_EQ(Sum(Deltas("child", "wheel")), -kNotch);
    for (std::size_t i = 0; i < run.size(); ++i) {
        EXPECT_LT(run[i].Delta(), 0) << "message " << i;
        if (i > 0) {
            EXPECT_LE(-run[i].Delta(), -run[i - 1].Delta()) << "message " << i << " grew";
        }
    }
    // The run fills its frames: its last frame ends within a frame of the duration.
    const double period = FramePeriodMs();
    const double spread = Milliseconds(run.back().m_time - run.front().m_time) + period;
    EXPECT_GE(spread, kDefaultSmoothDurationMs - 2 * period);
    EXPECT_LE(spread, kDefaultSmoothDurationMs + period);
}

TEST_F(HookSmooth, TheSmoothingThreadEndsWithEachStopAndLeavesNoHandle)
{
    LaunchWith("[router]\r\nSmoothScroll=1\r\nSmoothDuration=50\r\n");
    m_hook.Stop();
    int sum = 0;
    auto cycle = [&] {
        m_hook.Start(0, 3, 0);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_WHEEL;
        input.mi.mouseData = static_cast<DWORD>(-kNotch);
        ASSERT_EQ(SendInput(1, &input, sizeof(input)), 1u);
        sum -= kNotch;
        ASSERT_TRUE(WaitForSum(sum)) << "the run did not add up";
        m_hook.Stop();
    };
    const POINT center = CenterOf(m_target.m_child);
    SetCursorPos(center.x, center.y);
    cycle(); // whatever the system makes once for a process
    const std::pair<int, int> before = HandlesAndThreads();
    for (int round = 0; round < 5; ++round) {
        cycle();
    }
    const std::pair<int, int> after = HandlesAndThreads();
    EXPECT_LE(after.first, before.first) << "handles kept by stopped smoothing threads";
    EXPECT_LE(after.second, before.second) << "smoothing threads outlived their stop";
}

TEST_F(HookSmooth, QuickNotchesAddUpAndANotchBackEndsTheRest)
{
    // A long duration, so that the notch back comes while the first run still moves.
    LaunchWith("[router]\r\nSmoothScroll=1\r\nSmoothDuration=1000\r\n");
    Input("click --repeat 3 --delay 15 " + std::to_string(kWheelDown));
    ASSERT_TRUE(WaitForSum(-3 * kNotch)) << "three notches did not add up to three";

    const std::size_t before = Of("child", "wheel").size();
    Input("click " + std::to_string(kWheelDown) + " click " + std::to_string(kWheelUp));
    ASSERT_TRUE(PumpUntil(
        [&] {
            const std::vector<int> deltas = Deltas("child", "wheel");
            int up = 0;
            for (std::size_t i = before; i < deltas.size(); ++i) {
                up += deltas[i] > 0 ? deltas[i] : 0;
            }
            return up == kNotch;
        },
        kArrivalTimeoutMs))
        << "the notch back did not arrive whole";
    Fence();
    const std::vector<int> deltas = Deltas("child", "wheel");
    std::size_t firstUp = before;
    while (firstUp < deltas.size() && deltas[firstUp] < 0) {
        ++firstUp;
    }
    int down = 0;
    for (std::size_t i = before; i < firstUp; ++i) {
        down += deltas[i];
    }
    // What was left of the notch down is dropped, and nothing of it comes after the turn.
    EXPECT_GT(down, -kNotch);
    EXPECT_LT(down, 0);
    for (std::size_t i = firstUp; i < deltas.size(); ++i) {
        EXPECT_GT(deltas[i], 0) << "message " << i;
    }
}

TEST_F(HookSmooth, ANotchLeftToTheSystemIsInjectedInFrames)
{
    // Scroll=system: the system delivers the wheel (here to the window holding the capture), frame by frame.
    LaunchWith("[router]\r\nSmoothScroll=1\r\n[program hook_target_window.exe]\r\nScroll=system\r\n");
    Input("click " + std::to_string(kWheelDown));
    ASSERT_TRUE(PumpUntil([&] { return Sum(Deltas("focus", "wheel")) == -kNotch; }, kArrivalTimeoutMs))
        << "the injected frames never added up to one notch";
    EXPECT_GE(Of("focus", "wheel").size(), 5u);
    EXPECT_TRUE(Of("child", "wheel").empty());
}

TEST_F(HookSmooth, CtrlNotchArrivesWholeForTheZoom)
{
    LaunchWith("[router]\r\nSmoothScroll=1\r\n");
    Input("keydown ctrl click " + std::to_string(kWheelDown) + " keyup ctrl");
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    Fence();
    const std::vector<LoggedMessage> zoom = Of("child", "wheel");
    ASSERT_EQ(zoom.size(), 1u);
    EXPECT_EQ(zoom[0].Delta(), -kNotch);
    EXPECT_NE(zoom[0].m_wParam & kMkControl, 0u);
}

TEST_F(HookSmooth, ARuleWithSmoothingOffGetsWholeNotchesAndAnExcludedWindowTheSystemsWheel)
{
    LaunchWith("[router]\r\nSmoothScroll=1\r\nExcludedClasses=RollixTargetChild\r\n"
               "[class RollixTargetTop]\r\nSmoothScroll=0\r\n");
    POINT top{300, 330}; // the top-level window's own area, clear of its children
    ClientToScreen(m_target.m_top, &top);
    ASSERT_TRUE(RunXdotool(m_folder, "mousemove " + std::to_string(top.x) + " " + std::to_string(top.y) +
                                         " click 5 click 5"));
    ASSERT_TRUE(m_target.WaitFor("top", "wheel", 2));
    Input("click " + std::to_string(kWheelDown)); // over the excluded child
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    Fence();
    EXPECT_EQ(Deltas("top", "wheel"), (std::vector<int>{-kNotch, -kNotch}));
    // The system's own delivery (to the window holding the capture), whole; then the fence's notch.
    EXPECT_EQ(Deltas("focus", "wheel"), (std::vector<int>{-kNotch, -kNotch}));
    EXPECT_TRUE(Of("child", "wheel").empty());
}

TEST_F(HookSmooth, AccelerationScrollsABurstFurtherSmoothed)
{
    LaunchWith("[router]\r\nSmoothScroll=1\r\nWheelAcceleration=1\r\nSmoothDuration=100\r\n");
    ExpectBurstScrollsFurther();
}

TEST_F(HookSmooth, AccelerationScrollsABurstFurtherAsWholeNotches)
{
    LaunchWith("[router]\r\nWheelAcceleration=1\r\n");
    ExpectBurstScrollsFurther();
    for (int delta : Deltas("child", "wheel")) {
        EXPECT_EQ(delta, -kNotch); // more whole notches, never a larger delta
    }
}

} // namespace
