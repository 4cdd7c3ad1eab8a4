// One Markdown row per built-in entry: application, what it matches, the decision, the reason and its source.
#include "rules_table_text.h"

#include "wheel_rules.h"

namespace {

// "a;b" as "`a`, `b`".
std::string Names(const char* list)
{
    std::string text;
    std::string name;
    for (const char* c = list;; ++c) {
        if (*c == ';' || *c == '\0') {
            if (!name.empty()) {
                text += (text.empty() ? "`" : ", `") + name + "`";
            }
            name.clear();
            if (*c == '\0') {
                return text;
            }
        } else {
            name += *c;
        }
    }
}

} // namespace

std::string RulesTableMarkdown()
{
    std::string table = "| Application | Programs | Classes | Decision | Reason | Source |\n|---|---|---|---|---|---|\n";
    for (int i = 0; i < BuiltInRuleCount(); ++i) {
        const BuiltInRule& entry = BuiltInRuleAt(i);
        char decision[kDecisionTextSize];
        DescribeRuleSettings(entry.m_settings, decision);
        table += std::string("| ") + entry.m_application + " | " + Names(entry.m_programs) + " | " +
                 Names(entry.m_classes) + " | " + decision + " | " + entry.m_reason + " | " + entry.m_source + " |\n";
    }
    return table;
}
