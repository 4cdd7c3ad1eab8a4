// What the router remembers between events: the buttons held, the window that refused posts, and how this
// system speaks physical pixels.
#include "button_tracker.h"
#include "dpi_mode.h"
#include "integrity_level.h"
#include "shield_mark.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kLeftDown = 0x0201;
constexpr std::uint32_t kLeftUp = 0x0202;
constexpr std::uint32_t kRightDown = 0x0204;
constexpr std::uint32_t kMiddleDown = 0x0207;
constexpr std::uint32_t kMiddleUp = 0x0208;
constexpr std::uint32_t kXDown = 0x020B;
constexpr std::uint32_t kXUp = 0x020C;
constexpr std::uint32_t kMouseMove = 0x0200;
constexpr std::uint32_t kXButton1 = 0x00010000;
constexpr std::uint32_t kXButton2 = 0x00020000;

TEST(ButtonTracker, FollowsEachButtonDownAndUp)
{
    ButtonTracker tracker;
    tracker.Observe(kLeftDown, 0);
    tracker.Observe(kMiddleDown, 0);
    tracker.Observe(kXDown, kXButton2);
    tracker.Observe(kMouseMove, 0);
    EXPECT_EQ(KeyStateFlags(tracker.Buttons()), 0x0001 | 0x0010 | 0x0040);

    tracker.Observe(kLeftUp, 0);
    tracker.Observe(kMiddleUp, 0);
    tracker.Observe(kXDown, kXButton1);
    tracker.Observe(kXUp, kXButton2);
    EXPECT_EQ(KeyStateFlags(tracker.Buttons()), 0x0020);
}

TEST(ButtonTracker, SwappedButtonsReportThePhysicalLeftAsTheLogicalRight)
{
    ButtonTracker tracker;
    tracker.SetSwapped(true);
    tracker.Observe(kLeftDown, 0);
    const KeyState held = tracker.Buttons();
    EXPECT_FALSE(held.m_leftButton);
    EXPECT_TRUE(held.m_rightButton);

    tracker.SetSwapped(false);
    tracker.Observe(kRightDown, 0);
    EXPECT_EQ(KeyStateFlags(tracker.Buttons()), 0x0001 | 0x0002);
    EXPECT_FALSE(tracker.Buttons().m_shift) << "modifiers are the caller's";
}

TEST(ShieldMark, CoversOnlyTheRefusingWindowAndLapses)
{
    ShieldMark mark;
    EXPECT_FALSE(mark.Covers(0, 0)) << "no window is marked at first, not even a null one";
    mark.Mark(0x1234, 1000);
    EXPECT_TRUE(mark.Covers(0x1234, 1000));
    EXPECT_TRUE(mark.Covers(0x1234, 1000 + kShieldLifetimeMs - 1));
    EXPECT_FALSE(mark.Covers(0x1234, 1000 + kShieldLifetimeMs));
    EXPECT_FALSE(mark.Covers(0x5678, 1000)) << "another window is not shielded";

    mark.Mark(0x5678, 0xFFFFFF00u); // just before the tick count wraps
    EXPECT_TRUE(mark.Covers(0x5678, 0x00000100u));
    EXPECT_FALSE(mark.Covers(0x1234, 0x00000100u)) << "the mark belongs to one window at a time";
    mark.Clear();
    EXPECT_FALSE(mark.Covers(0x5678, 0x00000100u));
}

TEST(ShieldMark, OnlyARefusalForAccessMarks)
{
    EXPECT_EQ(ClassifyPostFailure(5), PostFailure::Shielded);     // ERROR_ACCESS_DENIED
    EXPECT_EQ(ClassifyPostFailure(1816), PostFailure::Transient); // ERROR_NOT_ENOUGH_QUOTA: a full queue
    EXPECT_EQ(ClassifyPostFailure(1400), PostFailure::Transient); // ERROR_INVALID_WINDOW_HANDLE
    EXPECT_EQ(ClassifyPostFailure(0), PostFailure::Transient);
}

TEST(DpiMode, ThreadContextsFirstThenThePhysicalPointFunctionsOfVista)
{
    DpiFunctions windows10;
    windows10.m_threadContextAccepted = true;
    windows10.m_physicalPointFunctions = true;
    EXPECT_EQ(ChooseDpiMode(windows10), DpiMode::ThreadContext);

    DpiFunctions windows7; // or a Windows 10 before 1607, where the context function is missing
    windows7.m_physicalPointFunctions = true;
    EXPECT_EQ(ChooseDpiMode(windows7), DpiMode::PhysicalPointFunctions);

    EXPECT_EQ(ChooseDpiMode(DpiFunctions()), DpiMode::Plain); // Windows XP
}

// A release the hook never saw: the button the system reports up leaves the messages, the one still down stays.
TEST(ButtonTracker, KeepsOnlyTheButtonsTheSystemStillReportsDown)
{
    struct Case
    {
        bool m_swapped;
        std::uint32_t m_systemDown;
        std::uint16_t m_flags; // left 1, right 2, middle 0x10, X1 0x20, X2 0x40
    };
    const Case cases[] = {
        {false, PhysicalButton::kLeft | PhysicalButton::kMiddle | PhysicalButton::kX2, 0x0001 | 0x0010 | 0x0040},
        {false, 0, 0},
        {false, PhysicalButton::kMiddle, 0x0010},
        {false, PhysicalButton::kRight | PhysicalButton::kX1, 0}, // down now, but never seen going down
        {true, PhysicalButton::kLeft, 0x0002},
    };
    for (const Case& c : cases) {
        ButtonTracker tracker;
        tracker.SetSwapped(c.m_swapped);
        tracker.Observe(kLeftDown, 0);
        tracker.Observe(kMiddleDown, 0);
        tracker.Observe(kXDown, kXButton2);
        EXPECT_EQ(tracker.BelievedDown(), PhysicalButton::kLeft | PhysicalButton::kMiddle | PhysicalButton::kX2);
        tracker.ConfirmDown(c.m_systemDown);
        EXPECT_EQ(KeyStateFlags(tracker.Buttons()), c.m_flags) << "system down " << c.m_systemDown;
        EXPECT_EQ(tracker.BelievedDown(), c.m_systemDown & tracker.BelievedDown());
    }
}

// Windows 7, 8.1 to 10 1511, 10 1607 on and XP, with the process DPI-aware or not and a window of our own or not.
TEST(DpiMode, PointConversionAndTheSearchPointForEachSystem)
{
    struct Case
    {
        const char* m_system;
        bool m_context;
        bool m_vista;
        bool m_perMonitor;
        DpiMode m_mode;
        PointConversion m_conversion;
    };
    const Case cases[] = {
        {"10 1607", true, true, true, DpiMode::ThreadContext, PointConversion::PerMonitor},
        {"8.1 to 1511", false, true, true, DpiMode::PhysicalPointFunctions, PointConversion::PerMonitor},
        {"Vista and 7", false, true, false, DpiMode::PhysicalPointFunctions, PointConversion::Vista},
        {"XP", false, false, false, DpiMode::Plain, PointConversion::None},
    };
    for (const Case& c : cases) {
        DpiFunctions available;
        available.m_threadContextAccepted = c.m_context;
        available.m_physicalPointFunctions = c.m_vista;
        available.m_perMonitorPointFunction = c.m_perMonitor;
        EXPECT_EQ(ChooseDpiMode(available), c.m_mode) << c.m_system;
        EXPECT_EQ(ChoosePointConversion(available), c.m_conversion) << c.m_system;
    }
    // Rectangles come in this thread's coordinates: physical where it is per-monitor aware or has no scaling.
    EXPECT_EQ(ChooseSearchPoint(DpiMode::ThreadContext, true, false), SearchPoint::Physical);
    EXPECT_EQ(ChooseSearchPoint(DpiMode::Plain, false, false), SearchPoint::Physical);
    EXPECT_EQ(ChooseSearchPoint(DpiMode::PhysicalPointFunctions, true, false), SearchPoint::OwnWindow);
    EXPECT_EQ(ChooseSearchPoint(DpiMode::PhysicalPointFunctions, false, true), SearchPoint::Physical);
    EXPECT_EQ(ChooseSearchPoint(DpiMode::PhysicalPointFunctions, false, false), SearchPoint::PointedWindow);
}

// Medium is 0x2000, high (elevated) 0x3000, system 0x4000.
TEST(IntegrityLevel, HigherOrUnreadableProcessesRunAboveUs)
{
    const struct
    {
        IntegrityFacts m_facts;
        bool m_above;
    } cases[] = {
        {{true, 0x2000, true, 0x3000}, true},   // an elevated program seen from a normal one
        {{true, 0x2000, true, 0x2000}, false},  // the same level
        {{true, 0x3000, true, 0x2000}, false},  // run as administrator ourselves
        {{true, 0x2000, false, 0}, true},       // its token is closed to us
        {{false, 0, false, 0}, false},          // no integrity levels before Vista
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunsAboveUs(c.m_facts), c.m_above) << c.m_facts.m_own << " / " << c.m_facts.m_level;
    }
}

} // namespace
