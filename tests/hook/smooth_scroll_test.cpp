// Smooth scrolling's core: the eased runs of partial deltas, the frame plan, acceleration, and which notches are
// smoothed at all.
#include "rule_book.h"
#include "smooth_choice.h"
#include "smooth_settings.h"
#include "wheel_acceleration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<int> RunToEnd(WheelAnimation& animation, int limit = 10000)
{
    std::vector<int> deltas;
    while (animation.Running() && static_cast<int>(deltas.size()) < limit) {
        deltas.push_back(animation.NextDelta());
    }
    return deltas;
}

int Sum(const std::vector<int>& deltas)
{
    int sum = 0;
    for (int delta : deltas) {
        sum += delta;
    }
    return sum;
}

// Exact, no empty frame, never growing, one sign, eased out where there is more to go than frames (the first frame
// the largest share), and over at most its frames (one more where rounding held a frame back).
void ExpectEasedRun(const std::vector<int>& deltas, int distance, int frames)
{
    ASSERT_FALSE(deltas.empty());
    EXPECT_EQ(Sum(deltas), distance);
    EXPECT_LE(static_cast<int>(deltas.size()), frames + 1);
    for (std::size_t i = 0; i < deltas.size(); ++i) {
        EXPECT_NE(deltas[i], 0) << "frame " << i;
        EXPECT_EQ(deltas[i] < 0, distance < 0) << "frame " << i;
        if (i > 0) {
            EXPECT_LE(std::abs(deltas[i]), std::abs(deltas[i - 1])) << "frame " << i;
        }
    }
    if (std::abs(distance) > 2 * frames) {
        EXPECT_GT(std::abs(deltas.front()), std::abs(deltas.back()));
    }
}

TEST(SmoothAnimationTest, EveryNotchEasesOutToExactlyItsDistance)
{
    const struct
    {
        int m_distance;
        int m_frames;
    } cases[] = {
        {-120, 12},  {120, 12},  {-120, 2}, {-120, 240},      {-1, 12},
        {-7, 60},    {-240, 12}, {480, 48}, {-32767 * 3, 12}, // more than a message holds in one frame
        {-121, 119}, {-359, 31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.m_distance) + " over " + std::to_string(c.m_frames) + " frames");
        WheelAnimation animation;
        animation.AddNotch(c.m_distance, c.m_frames);
        const std::vector<int> deltas = RunToEnd(animation);
        if (std::abs(c.m_distance) > 32767 * 2) {
            EXPECT_EQ(Sum(deltas), c.m_distance); // the cap on a message's delta stretches the run
            continue;
        }
        ExpectEasedRun(deltas, c.m_distance, c.m_frames);
        if (c.m_frames >= 12 && std::abs(c.m_distance) >= 120) {
            EXPECT_GE(deltas.size(), 5u); // spread over the duration, not two jumps
        }
    }
}

TEST(SmoothAnimationTest, NotchesAddUpAndATurnBackDropsTheRest)
{
    WheelAnimation same; // three notches a frame apart
    int sum = 0;
    for (int notch = 0; notch < 3; ++notch) {
        same.AddNotch(-120, 12);
        sum += same.NextDelta();
    }
    EXPECT_EQ(sum + Sum(RunToEnd(same)), -360);
    WheelAnimation turned; // turned back after two frames: the run that follows is that notch alone
    turned.AddNotch(-120, 12);
    EXPECT_LT(turned.NextDelta() + turned.NextDelta(), 0);
    turned.AddNotch(120, 12);
    ExpectEasedRun(RunToEnd(turned), 120, 12);
}

SmoothTarget Target(std::uintptr_t window, WheelAxis axis = WheelAxis::Vertical)
{
    SmoothTarget target;
    target.m_window = window;
    target.m_axis = axis;
    return target;
}

TEST(SmoothAnimationTest, EachWindowAndWheelHasItsOwnAnimation)
{
    SmoothAnimations animations;
    ASSERT_TRUE(animations.AddNotch(Target(1), -120, 12));
    SmoothFrame frames[kMaxAnimations];
    ASSERT_EQ(animations.NextFrame(frames), 1);
    int sums[3] = {frames[0].m_delta, 0, 0};
    // The pointer moved on: the notch over window 2 starts its own run, window 1's goes on to its end; the
    // sideways wheel of window 2 is another run again.
    ASSERT_TRUE(animations.AddNotch(Target(2), 120, 12));
    ASSERT_TRUE(animations.AddNotch(Target(2, WheelAxis::Horizontal), 240, 12));
    int runs = 0;
    while (animations.Running() && runs++ < 100) {
        const int count = animations.NextFrame(frames);
        for (int i = 0; i < count; ++i) {
            const SmoothTarget& target = frames[i].m_target;
            sums[target.m_axis == WheelAxis::Horizontal ? 2 : target.m_window - 1] += frames[i].m_delta;
        }
    }
    EXPECT_EQ(sums[0], -120);
    EXPECT_EQ(sums[1], 120);
    EXPECT_EQ(sums[2], 240);

    // Every slot taken: a further target is refused (and delivered whole by the caller); a dropped run ends at once.
    for (int window = 1; window <= kMaxAnimations; ++window) {
        ASSERT_TRUE(animations.AddNotch(Target(static_cast<std::uintptr_t>(window)), -120, 12));
    }
    EXPECT_FALSE(animations.AddNotch(Target(99), -120, 12));
    EXPECT_TRUE(animations.AddNotch(Target(3), -120, 12)); // a running target still takes notches
    for (int slot = 0; slot < kMaxAnimations; ++slot) {
        animations.Drop(slot);
    }
    EXPECT_FALSE(animations.Running());
    EXPECT_EQ(animations.NextFrame(frames), 0);
}

TEST(SmoothAnimationTest, FramesFollowTheRefreshRateAndDuration)
{
    // Refresh rate and duration; the period and frames planned. 0 and 1 Hz are a driver's "default"; 20 and 360 Hz
    // are held to 30 and 240, 10 and 5000 ms to 50 and 1000.
    const int cases[][4] = {{60, 200, 16667, 12}, {144, 200, 6944, 29}, {240, 1000, 4167, 240}, {30, 50, 33333, 2},
                            {0, 200, 16667, 12},  {1, 200, 16667, 12},  {20, 200, 33333, 6},    {360, 200, 4167, 48},
                            {60, 10, 16667, 3},   {60, 5000, 16667, 60}};
    for (const auto& c : cases) {
        const FramePlan plan = PlanFrames(c[0], c[1]);
        EXPECT_EQ(plan.m_periodUs, c[2]) << c[0] << " Hz";
        EXPECT_EQ(plan.m_frames, c[3]) << c[0] << " Hz, " << c[1] << " ms";
    }
}

TEST(WheelAccelerationTest, FastNotchesScrollFurtherUpToFourTimes)
{
    // Each step: the wheel, the notch's sign, its time, and the factor it gets.
    constexpr WheelAxis V = WheelAxis::Vertical;
    constexpr WheelAxis H = WheelAxis::Horizontal;
    const struct
    {
        WheelAxis m_axis;
        int m_delta;
        std::uint32_t m_time;
        int m_percent;
    } steps[] = {
        {V, -120, 1000, 100},       {V, -120, 1200, 100}, // the first notch; 5 a second
        {V, -120, 1300, 100},       {V, -120, 1350, 200}, // 10 a second, the threshold; 20 a second
        {V, -120, 1380, 333},       {V, -120, 1390, 400}, // 100 a second: capped
        {V, -120, 1390, 400},       {V, 120, 1395, 100},  // two notches in one tick; turned back
        {H, 120, 1400, 100},        {H, 120, 1425, 400},  // the other wheel
        {H, 120, 0xFFFFFFF0u, 100},                       // a long pause
        {H, 120, 0x00000009u, 400},                       // 25 ms, across the tick count's wrap
    };
    WheelAcceleration acceleration;
    for (const auto& step : steps) {
        EXPECT_EQ(acceleration.NotchPercent(step.m_axis, step.m_delta, step.m_time), step.m_percent)
            << "at " << step.m_time;
    }

    EXPECT_EQ(AcceleratedDistance(-120, 400), -480);
    EXPECT_EQ(AcceleratedDistance(-120, 333), -400);
    EXPECT_EQ(AcceleratedDistance(120, 333), 400);
    // Without smoothing the distance goes as whole notches, never none.
    EXPECT_EQ(WholeNotches(-480), -4);
    EXPECT_EQ(WholeNotches(400), 3);
    EXPECT_EQ(WholeNotches(420), 4);
    EXPECT_EQ(WholeNotches(-120), -1);
    EXPECT_EQ(WholeNotches(30), 1);
}

WheelDecision Decided(WheelAction action, PassReason reason = PassReason::None, bool sideways = false)
{
    WheelDecision decision;
    decision.m_action = action;
    decision.m_passReason = reason;
    decision.m_delta = -120;
    decision.m_sideways = sideways;
    return decision;
}

TEST(SmoothChoiceTest, OnlyWholeNotchesTheRouterDeliversOrLeavesToPointerRoutingAreSmoothed)
{
    TargetFacts window;
    window.m_found = true;
    window.m_className = "Grid";
    window.m_topLevelClassName = "Frame";
    TargetFacts xaml = window;
    xaml.m_className = "Windows.UI.Core.CoreWindow";
    // An island's bridge between the target and its top-level window.
    const char* const islandChain[] = {"Grid", "Windows.UI.Composition.DesktopWindowContentBridge", "Frame"};
    TargetFacts island = window;
    island.m_classChain = islandChain;
    island.m_classChainCount = 3;
    WheelEvent notch;
    notch.m_delta = -120;
    WheelEvent zoom = notch;
    zoom.m_control = true;
    WheelEvent fine = notch;
    fine.m_delta = -40;
    WheelEvent foreign = notch;
    foreign.m_injected = true;
    const WheelDecision post = Decided(WheelAction::PostWheel);
    const WheelDecision pointer = Decided(WheelAction::PassOn, PassReason::SystemRouted);
    const struct
    {
        const char* m_name;
        WheelEvent m_event;
        WheelDecision m_decision;
        const TargetFacts& m_target;
        bool m_smooth;
        bool m_lines;
        SmoothPath m_path;
        bool m_accelerates;
    } cases[] = {
        {"posted", notch, post, window, true, false, SmoothPath::Post, true},
        {"smoothing off", notch, post, window, false, false, SmoothPath::None, true},
        {"Ctrl zooms", zoom, post, window, true, false, SmoothPath::None, false},
        {"finer than a notch", fine, post, window, true, false, SmoothPath::None, false},
        {"as WM_HSCROLL lines", notch, post, window, true, true, SmoothPath::None, false},
        {"line scrolls", notch, Decided(WheelAction::PostScrollLines), window, true, false, SmoothPath::None, false},
        {"pointer routing", notch, pointer, window, true, false, SmoothPath::Inject, true},
        {"another tool's injection, posted", foreign, post, window, true, false, SmoothPath::Post, true},
        {"another tool's injection, left to the system", foreign, pointer, window, true, false, SmoothPath::None,
         false},
        {"reversed for the system", notch, Decided(WheelAction::Reinject), window, true, false, SmoothPath::Inject,
         true},
        {"turned sideways by Shift", notch, Decided(WheelAction::Reinject, PassReason::None, true), window, true, false,
         SmoothPath::None, false},
        {"XAML smooths itself", notch, pointer, xaml, true, false, SmoothPath::None, false},
        {"so does a XAML island up the chain", notch, pointer, island, true, false, SmoothPath::None, false},
        {"no window", notch, pointer, TargetFacts(), true, false, SmoothPath::None, false},
        {"hung", notch, Decided(WheelAction::PassOn, PassReason::Hung), window, true, false, SmoothPath::None, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseSmoothPath(c.m_event, c.m_decision, c.m_target, c.m_smooth, c.m_lines), c.m_path) << c.m_name;
        EXPECT_EQ(MayAccelerate(c.m_event, c.m_decision, c.m_target, c.m_lines), c.m_accelerates) << c.m_name;
    }
}

TEST(SmoothSettingsTest, KeysReadAsDocumentedAndOddValuesGiveDefaults)
{
    const SmoothSettings absent = ParseSmoothSettings(nullptr, nullptr, nullptr);
    EXPECT_FALSE(absent.m_smoothScroll || absent.m_acceleration);
    EXPECT_EQ(absent.m_durationMs, kDefaultSmoothDurationMs);
    const SmoothSettings on = ParseSmoothSettings(" 1 ", "350", "1");
    EXPECT_TRUE(on.m_smoothScroll && on.m_acceleration);
    EXPECT_EQ(on.m_durationMs, 350);
    // Switches take 1 and 0 only; a number outside the duration's range is held to it, anything else is no number.
    const std::pair<const char*, int> durations[] = {{"10", 50},     {"5000", 1000}, {"99999999", 1000}, {"-5", 200},
                                                     {"200ms", 200}, {"", 200},      {"1000", 1000},     {"50", 50}};
    for (const auto& d : durations) {
        const SmoothSettings odd = ParseSmoothSettings("yes", d.first, "2");
        EXPECT_EQ(odd.m_durationMs, d.second) << d.first;
        EXPECT_FALSE(odd.m_smoothScroll || odd.m_acceleration);
    }
}

TEST(SmoothRulesTest, RulesTurnSmoothingOnOrOffPerProgramAboveTheTable)
{
    auto book = std::make_unique<RuleBook>();
    ASSERT_TRUE(book->AddUserRule(RuleKind::Program, "viewer.exe", ParseRuleSectionText("SmoothScroll=0\0")));
    ASSERT_TRUE(book->AddUserRule(RuleKind::Program, "firefox.exe", ParseRuleSectionText("SmoothScroll=1\0")));
    const char* const grid[] = {"Grid"};
    const char* const chromium[] = {"Chrome_RenderWidgetHostHWND", "Chrome_WidgetWin_1"};
    const struct
    {
        const char* m_program;
        const char* const* m_chain;
        bool m_globalOn;
        bool m_smoothed;
    } cases[] = {
        {"other.exe", grid, true, true},       {"viewer.exe", grid, true, false},     // the user's rule, off
        {"firefox.exe", grid, false, true},    {"chrome.exe", chromium, true, false}, // the table: smooths itself
        {"SumatraPDF.exe", grid, true, false},                                        // the table: each message a notch
    };
    HookSettings global;
    for (const auto& c : cases) {
        global.m_smoothScroll = c.m_globalOn;
        const RuleResolution resolution = book->Resolve(c.m_program, c.m_chain, c.m_chain == grid ? 1 : 2, false);
        EXPECT_EQ(ApplyRule(global, resolution.m_settings).m_settings.m_smoothScroll, c.m_smoothed) << c.m_program;
    }
    // No entry of the table turns smoothing on.
    for (int i = 0; i < BuiltInRuleCount(); ++i) {
        EXPECT_NE(BuiltInRuleAt(i).m_settings.m_smoothScroll, RuleSwitch::On) << BuiltInRuleAt(i).m_application;
    }
}

} // namespace
