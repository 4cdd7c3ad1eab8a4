// The decision path with the rules, as the callback takes it when a window's facts are read again: the rule
// look-up over a window's chain and program (200 user rules and the built-in table), the settings laid over the
// global ones, the decision and the plan of the posted message. Prints the median and 99th percentile of one pass.
#include "rule_book.h"
#include "sideways_delivery.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kUserRules = 200;
constexpr int kPasses = 200000;

struct Window
{
    const char* m_program;
    const char* m_chain[4];
    int m_count;
};

} // namespace

int main()
{
    auto book = std::make_unique<RuleBook>();
    std::vector<std::string> names;
    for (int i = 0; i < kUserRules; ++i) {
        names.push_back((i % 2 ? "UserClass" : "user") + std::to_string(i) + (i % 2 ? "" : ".exe"));
    }
    for (int i = 0; i < kUserRules; ++i) {
        book->AddUserRule(i % 2 ? RuleKind::Class : RuleKind::Program, names[i].c_str(),
                          ParseRuleSectionText("ReverseScroll=0\0Sideways=hscroll\0"));
    }
    const Window windows[] = {
        {"EXCEL.EXE", {"EXCEL7", "XLDESK", "XLMAIN"}, 3},
        {"notepad.exe", {"RichEditD2DPT", "Notepad"}, 2},
        {"user120.exe", {"Edit", "#32770"}, 2},
        {"app.exe", {"Control", "UserClass199", "Frame"}, 3},
        {"chrome.exe", {"Chrome_RenderWidgetHostHWND", "Chrome_WidgetWin_1"}, 2},
        {"keepassxc.exe", {"Qt5152QWindowIcon", "Qt5152QWindowIcon", "Qt5152QWindowIcon"}, 3},
    };
    const HookSettings global = SettingsFromArguments(0, 3, 2);
    const ForegroundFacts foreground;
    WheelEvent event;
    event.m_delta = -kWheelDelta;
    std::vector<double> nanoseconds(kPasses);
    int sink = 0;
    for (int pass = 0; pass < kPasses; ++pass) {
        const Window& window = windows[pass % (sizeof(windows) / sizeof(windows[0]))];
        const auto began = std::chrono::steady_clock::now();
        const RuleResolution resolution = book->Resolve(window.m_program, window.m_chain, window.m_count, false);
        const AppliedRule applied = ApplyRule(global, resolution.m_settings);
        TargetFacts target;
        target.m_found = true;
        target.m_className = window.m_chain[0];
        target.m_topLevelClassName = window.m_chain[window.m_count - 1];
        MarkTarget(applied, target);
        const WheelDecision decision =
            DecideWheel(event, target, foreground, applied.m_settings, SystemWheelRouting::Focus);
        const PostedWheel posted = PlanPostedWheel(decision, applied.m_sideways, false);
        const auto ended = std::chrono::steady_clock::now();
        sink += posted.m_delta + resolution.m_rule;
        nanoseconds[pass] = std::chrono::duration<double, std::nano>(ended - began).count();
    }
    std::sort(nanoseconds.begin(), nanoseconds.end());
    std::printf("rules decision path, %d user rules + %d built-in entries, %d passes: median %.0f ns, p99 %.0f ns "
                "(%d)\n",
                kUserRules, BuiltInRuleCount(), kPasses, nanoseconds[kPasses / 2],
                nanoseconds[kPasses * 99 / 100], sink & 1);
    return 0;
}
