// Cost of the hook callback's decision path on one wheel event: the full-screen test, the routing decision,
// the converted mode's accumulation and the packing of the posted message.
#include "scroll_accumulator.h"
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
    target.m_programWindowKnown = true;
    target.m_hasScrollAncestor = true;
    return target;
}

ForegroundFacts OrdinaryForeground()
{
    ForegroundFacts foreground;
    foreground.m_present = true;
    foreground.m_className = "CabinetWClass";
    foreground.m_clientRect = {100, 100, 900, 700};
    foreground.m_monitorRect = {0, 0, 1920, 1080};
    return foreground;
}

// What the callback computes once the shell has gathered the facts.
void DecisionPath(benchmark::State& state, HookSettings settings)
{
    const TargetFacts target = BackgroundEdit();
    const ForegroundFacts foreground = OrdinaryForeground();
    ScrollAccumulator accumulator;
    WheelEvent event;
    int delta = 40; // a precision touchpad's third of a notch
    for (auto _ : state) {
        event.m_delta = delta;
        benchmark::DoNotOptimize(event);
        if (!NeedsWindowFacts(event) || IsFullScreenForeground(foreground)) {
            continue;
        }
        const WheelDecision decision = DecideWheel(event, target, foreground, settings);
        if (decision.m_action == WheelAction::PostScrollLines) {
            const LineScrollPlan plan =
                PlanLineScroll(event.m_axis, accumulator.AddDelta(decision.m_delta), settings.m_linesToScroll);
            benchmark::DoNotOptimize(plan);
        } else {
            benchmark::DoNotOptimize(PackWheelWParam(decision.m_delta, KeyStateFlags(KeyState())));
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
