// Cost of the hook callback's decision path on one wheel event: the full-screen test, the routing decision,
// the converted mode's accumulation and the packing of the posted message.
#include "button_tracker.h"
#include "scroll_accumulator.h"
#include "target_search.h"
#include "wheel_message.h"
#include "wheel_routing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kRepetitions = 200;

TargetFacts BackgroundEdit()
{
    TargetFacts target;
    target.m_found = true;
    target.m_className = "RichEdit20W";
    target.m_topLevelClassName = "Notepad";
    target.m_rootOwner.m_present = true;
    target.m_rootOwner.m_window = {"Notepad", 0x10CF0000, 0};
    target.m_programWindowKnown = true;
    target.m_hasVerticalScroller = true;
    target.m_hasHorizontalScroller = true;
    return target;
}

ForegroundFacts OrdinaryForeground()
{
    ForegroundFacts foreground;
    foreground.m_present = true;
    foreground.m_window = {"CabinetWClass", 0x10CF0000, 0};
    foreground.m_windowRect = {100, 100, 900, 700};
    foreground.m_monitorRect = {0, 0, 1920, 1080};
    return foreground;
}

// A view of a window tree in which the pointer is over an ordinary control: the common path of the search.
struct OneWindowView
{
    using Handle = int;
    bool Probe(int, WindowProbe& probe)
    {
        probe = {"RichEdit20W", 0x50200000, 0};
        return true;
    }
    bool Rect(int, ScreenRect& rect)
    {
        rect = {0, 0, 100, 100};
        return true;
    }
    int Parent(int) { return 0; }
    int FirstChild(int) { return 0; }
    int Next(int) { return 0; }
};

// What the callback computes once the shell has gathered the facts.
void DecisionPath(benchmark::State& state, HookSettings settings)
{
    const TargetFacts target = BackgroundEdit();
    const ForegroundFacts foreground = OrdinaryForeground();
    OneWindowView view;
    ScrollAccumulator accumulator;
    ButtonTracker buttons;
    WheelEvent event;
    int delta = 40; // a precision touchpad's third of a notch
    std::uint32_t tick = 0;
    for (auto _ : state) {
        event.m_delta = delta;
        benchmark::DoNotOptimize(event);
        tick += 8;
        if (!NeedsWindowFacts(event) || IsFullScreenForeground(foreground)) {
            continue;
        }
        TargetSearch<OneWindowView> search(view, 50, 50);
        benchmark::DoNotOptimize(search.Find(1));
        const WheelDecision decision = DecideWheel(event, target, foreground, settings, SystemWheelRouting::Focus);
        if (decision.m_action == WheelAction::PostScrollLines) {
            const LineScrollPlan plan = PlanLineScroll(
                event.m_axis, accumulator.AddDelta(decision.m_delta, 0x10010, tick), settings.m_linesToScroll);
            benchmark::DoNotOptimize(plan);
        } else {
            benchmark::DoNotOptimize(PackWheelWParam(decision.m_delta, KeyStateFlags(buttons.Buttons())));
            benchmark::DoNotOptimize(PackPointLParam(-1200, 640));
        }
        delta = -delta;
    }
}

double Percentile99(const std::vector<double>& values)
{
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t index = (sorted.size() * 99 + 99) / 100 - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

void WheelModeDecision(benchmark::State& state)
{
    DecisionPath(state, SettingsFromArguments(0, 3, 3));
}

void ConvertedModeDecision(benchmark::State& state)
{
    DecisionPath(state, SettingsFromArguments(1, 5, 1));
}

} // namespace

BENCHMARK(WheelModeDecision)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("p99", Percentile99);
BENCHMARK(ConvertedModeDecision)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("p99", Percentile99);

BENCHMARK_MAIN();
