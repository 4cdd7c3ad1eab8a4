// The README's built-in table is the one in the code.
#include "rules_table_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(RulesTableTest, ReadmeCarriesTheTableOfTheCode)
{
    std::ifstream file(ROLLIX_README);
    ASSERT_TRUE(file) << ROLLIX_README;
    std::stringstream text;
    text << file.rdbuf();
    const std::string readme = text.str();
    const std::size_t begin = readme.find(kRulesTableBegin);
    const std::size_t end = readme.find(kRulesTableEnd);
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    const std::size_t start = begin + sizeof(kRulesTableBegin) - 1 + 1; // the marker and its line break
    EXPECT_EQ(readme.substr(start, end - start), RulesTableMarkdown())
        << "README.md differs from the table: run build/host/tests/hook/rules_table_print and paste its output";
}

} // namespace
