// Adding up wheel deltas into whole notches and planning the line-scroll messages of the converted mode.
#include "scroll_accumulator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

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
    {"ReversalCancelsTheOwedFraction", {60, -60, -120}, {0, 0, -1}, 0},
    {"ReversalPastZeroScrollsBack", {100, -240}, {0, -1}, -20},
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
        EXPECT_EQ(accumulator.AddDelta(c.m_deltas[i]), c.m_notches[i]) << "delta #" << i;
    }
    EXPECT_EQ(accumulator.Remainder(), c.m_remainder);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScrollAccumulation, testing::ValuesIn(kAccumulationCases),
                         [](const testing::TestParamInfo<AccumulationCase>& info) { return info.param.m_name; });

TEST(ScrollAccumulationBalance, NotchesAndRemainderAlwaysAccountForEveryDelta)
{
    // An odd mix of sizes and signs, such as a touchpad flick that settles and comes back.
    const int pattern[] = {7, 13, -5, 44, 119, -121, 3, 250, -1, -77};
    ScrollAccumulator accumulator;
    long long sum = 0;
    long long scrolled = 0;
    for (int round = 0; round < 50; ++round) {
        for (int delta : pattern) {
            sum += delta;
            scrolled += static_cast<long long>(accumulator.AddDelta(delta)) * kWheelDelta;
            ASSERT_EQ(scrolled + accumulator.Remainder(), sum);
            ASSERT_LT(accumulator.Remainder(), kWheelDelta);
            ASSERT_GT(accumulator.Remainder(), -kWheelDelta);
        }
    }
}

TEST(ScrollAccumulationBalance, ResetForgetsTheFraction)
{
    ScrollAccumulator accumulator;
    accumulator.AddDelta(100);
    accumulator.Reset();
    EXPECT_EQ(accumulator.AddDelta(100), 0);
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
    {"HugeLineSettingIsCapped", WheelAxis::Vertical, 3, 100000, kMaxLineMessagesPerEvent, true},
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
