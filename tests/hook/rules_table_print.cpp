// Prints the README's section of the built-in table, markers included, for pasting over the old one.
#include "rules_table_text.h"

#include <cstdio>

int main()
{
    std::printf("%s\n%s%s\n", kRulesTableBegin, RulesTableMarkdown().c_str(), kRulesTableEnd);
    return 0;
}
