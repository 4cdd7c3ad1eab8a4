// What the router remembers between events: the buttons held, the window that refused posts, and how this
// system speaks physical pixels.
#include "button_tracker.h"
#include "dpi_mode.h"
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

} // namespace
