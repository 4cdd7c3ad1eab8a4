// The built-in compatibility table: what the router does in applications whose windows need it, each entry with
// the evidence it rests on. User rules override it; the README's table is printed from it.
#include "wheel_rules.h"

namespace {

constexpr RuleSettings LeftToSystem()
{
    RuleSettings settings;
    settings.m_scroll = ScrollMode::System;
    return settings;
}

constexpr BuiltInRule kBuiltInRules[] = {
    {"UWP apps", "", "Windows.UI.Core.CoreWindow;ApplicationFrameWindow", LeftToSystem(),
     "CoreWindow takes the wheel only through the system's pointer routing",
     "learn.microsoft.com/uwp/api/windows.ui.core.corewindow"},
};

} // namespace

int BuiltInRuleCount()
{
    return static_cast<int>(sizeof(kBuiltInRules) / sizeof(kBuiltInRules[0]));
}

const BuiltInRule& BuiltInRuleAt(int index)
{
    return kBuiltInRules[index < 0 || index >= BuiltInRuleCount() ? 0 : index];
}
