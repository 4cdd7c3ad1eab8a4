// The built-in table as the README carries it, printed from the library's own table.
#pragma once

#include <string>

constexpr char kRulesTableBegin[] = "<!-- built-in table: printed by rules_table_print; do not edit -->";
constexpr char kRulesTableEnd[] = "<!-- end of the built-in table -->";

// The Markdown table, one line per entry, each line ended by '\n'.
std::string RulesTableMarkdown();
