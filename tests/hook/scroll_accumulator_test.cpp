// Adding up wheel deltas into whole notches and planning the line-scroll messages of the converted mode.
#include "scroll_accumulator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uintptr_t kTarget = 0x10010;
constexpr std::uintptr_t kOtherTarget = 0x20020;

struct AccumulationCase
{
    const char* m_name;
    std::vector<int> m_deltas;
    std::vector<int> m_notches; // what each AddDelta returns
    int m_remainder;
};

void PrintTo(const AccumulationCase& c, std::ostream* os)
{
    *os << c.m_name;
}

const AccumulationCase kAccumulationCases[] = {
    {"WholeNotchScrollsOnce", {120}, {1}, 0},
    {"WholeNotchBackScrollsOnceBack", {-120}, {-1}, 0},
    {"QuarterNotchesAddUpToOne", {30, 30, 30, 30}, {0, 0, 0, 1}, 0},
    {"FreeSpinningWheelSendsSeveralAtOnce", {360}, {3}, 0},
    {"OverhangIsKeptForTheNextDelta", {150, 90}, {1, 1}, 0},
    // A turn of direction drops what was owed the other way: the first notch back is a whole one.
    {"ReversalDropsTheOwedFraction", {60, -60, -60}, {0, 0, -1}, 0},
    {"ReversalScrollsBackAtOnce", {100, -120}, {0, -1}, 0},
    {"TinyTouchpadDeltasAreNeverLost",
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
      1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
      1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
      1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
     0},
    {"FractionsBackwardsAddUpToo", {-50, -50, -50}, {0, 0, -1}, -30},
};

class ScrollAccumulation : public testing::TestWithParam<AccumulationCase>
{
};

TEST_P(ScrollAccumulation, AddsUp)
{
    const AccumulationCase& c = GetParam();
    ASSERT_EQ(c.m_deltas.size(), c.m_notches.size());
    ScrollAccumulator accumulator;
    for (std::size_t i = 0; i < c.m_deltas.size(); ++i) {
        // One target, 8 ms apart: the pace of a touchpad.
        const auto tick = static_cast<std::uint32_t>(i * 8);
        EXPECT_EQ(accumulator.AddDelta(c.m_deltas[i], kTarget, tick), c.m_notches[i]) << "delta #" << i;
    }
    EXPECT_EQ(accumulator.Remainder(), c.m_remainder);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScrollAccumulation, testing::ValuesIn(kAccumulationCases),
                         [](const testing::TestParamInfo<AccumulationCase>& info) { return info.param.m_name; });

TEST(ScrollAccumulationBalance, NotchesAndRemainderAccountForEveryDeltaOfOneGesture)
{
    // A touchpad flick of odd sizes, one way, at one window.
    const int pattern[] = {7, 13, 5, 44, 119, 121, 3, 250, 1, 77};
    ScrollAccumulator accumulator;
    long long sum = 0;
    long long scrolled = 0;
    std::uint32_t tick = 0;
    for (int round = 0; round < 50; ++round) {
        for (int delta : pattern) {
            sum -= delta;
            tick += 10;
            scrolled += static_cast<long long>(accumulator.AddDelta(-delta, kTarget, tick)) * kWheelDelta;
            ASSERT_EQ(scrolled + accumulator.Remainder(), sum);
            ASSERT_GT(accumulator.Remainder(), -kWheelDelta);
            ASSERT_LE(accumulator.Remainder(), 0);
        }
    }
}

TEST(ScrollAccumulationRemainder, BelongsToOneTargetOneDirectionAndTheLastSecond)
{
    ScrollAccumulator accumulator;
    EXPECT_EQ(accumulator.AddDelta(100, kTarget, 1000), 0);
    EXPECT_EQ(accumulator.AddDelta(100, kOtherTarget, 1010), 0) << "another window starts from nothing";
    EXPECT_EQ(accumulator.Remainder(), 100);
    EXPECT_EQ(accumulator.AddDelta(20, kOtherTarget, 1010 + kRemainderLifetimeMs), 1) << "still within the second";
    EXPECT_EQ(accumulator.AddDelta(100, kOtherTarget, 3000), 0);
    EXPECT_EQ(accumulator.AddDelta(100, kOtherTarget, 3000 + kRemainderLifetimeMs + 1), 0) << "an old fraction lapsed";
    EXPECT_EQ(accumulator.Remainder(), 100);
    EXPECT_EQ(accumulator.AddDelta(-100, kOtherTarget, 4100), 0) << "a turn drops the fraction owed the other way";
    EXPECT_EQ(accumulator.Remainder(), -100);
    // Across the tick count's wrap the age is still right.
    EXPECT_EQ(accumulator.AddDelta(-20, kOtherTarget, 4100), -1);
    accumulator.AddDelta(-100, kTarget, 0xFFFFFFF0u);
    EXPECT_EQ(accumulator.AddDelta(-20, kTarget, 0x00000010u), -1);
}

TEST(ScrollAccumulationRemainder, ResetForgetsTheFraction)
{
    ScrollAccumulator accumulator;
    accumulator.AddDelta(100, kTarget, 0);
    accumulator.Reset();
    EXPECT_EQ(accumulator.AddDelta(100, kTarget, 1), 0);
}

struct PlanCase
{
    const char* m_name;
    WheelAxis m_axis;
    int m_notches;
    int m_lines;
    int m_lineCount;
    bool m_towardStart;
};

void PrintTo(const PlanCase& c, std::ostream* os)
{
    *os << c.m_name;
}

const PlanCase kPlanCases[] = {
    {"WheelAwayScrollsUpByTheLineSetting", WheelAxis::Vertical, 1, 5, 5, true},
    {"WheelTowardScrollsDown", WheelAxis::Vertical, -1, 5, 5, false},
    {"SeveralNotchesMultiplyTheLines", WheelAxis::Vertical, -3, 4, 12, false},
    {"TiltRightScrollsRight", WheelAxis::Horizontal, 1, 2, 2, false},
    {"TiltLeftScrollsLeft", WheelAxis::Horizontal, -2, 2, 4, true},
    {"NoNotchNoLines", WheelAxis::Vertical, 0, 5, 0, false},
    {"AHugeLineSettingIsCappedPerNotch", WheelAxis::Vertical, 1, 100000, kMaxLinesPerNotch, true},
    {"ManyNotchesAreCappedPerEvent", WheelAxis::Vertical, 30, 50, kMaxLineMessagesPerEvent, true},
    {"ExtremeNotchCountDoesNotOverflow", WheelAxis::Vertical, -2147483647, 2147483647, kMaxLineMessagesPerEvent, false},
};

class LineScrollPlanning : public testing::TestWithParam<PlanCase>
{
};

TEST_P(LineScrollPlanning, Plans)
{
    const PlanCase& c = GetParam();
    const LineScrollPlan plan = PlanLineScroll(c.m_axis, c.m_notches, c.m_lines);
    EXPECT_EQ(plan.m_lineCount, c.m_lineCount);
    if (c.m_lineCount > 0) {
        EXPECT_EQ(plan.m_towardStart, c.m_towardStart);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LineScrollPlanning, testing::ValuesIn(kPlanCases),
                         [](const testing::TestParamInfo<PlanCase>& info) { return info.param.m_name; });

} // namespace
