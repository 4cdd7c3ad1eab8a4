// Command-line splitting: blanks, quoted stretches, empty quote pairs and the parameter index.
#include "command_params.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Param(const char* commandLine, int n)
{
    PathText parameter;
    ExtractParam(commandLine, n, parameter);
    return parameter.c_str();
}

struct Case
{
    const char* name;
    const char* commandLine;
    const char* first;
    const char* second;
};

TEST(ExtractParam, SplitsQuotedAndPlainParameters)
{
    const Case cases[] = {
        {"quoted program path with blank", "\"C:\\Program Files\\Rollix\\x.exe\" /admin", "/admin", ""},
        {"quoted parameter loses its quotes", "x.exe \"a b\" c", "a b", "c"},
        {"inner quotes stay and join blanks", "x.exe a\"b c\"d", "a\"b c\"d", ""},
        {"empty pair counts as blank space", "x.exe \"\" q", "q", ""},
        {"unterminated quote stays in the text", "x.exe \"open", "\"open", ""},
        {"quoted close switch", "x.exe \"-close\"", "-close", ""},
        {"no parameters", "x.exe", "", ""},
        {"trailing blanks only", "x.exe   \t ", "", ""},
        {"empty command line", "", "", ""},
        {"empty pair before a parameter without blank", "x.exe \"\"q", "q", ""},
        {"two empty pairs", "x.exe \"\" \"\" /noadmin", "/noadmin", ""},
        {"only the enclosing pair is removed", "x.exe \"\"\"a\"\"\"", "a\"\"", ""},
        {"lone quote character at the end", "x.exe a \"", "a", "\""},
        {"characters from 128 up are ordinary", "x.exe \xE9t\xE9 b", "\xE9t\xE9", "b"},
        {"control characters separate",
         "x.exe a\x01"
         "b\x1F"
         "c",
         "a", "b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Param(c.commandLine, 1), c.first) << c.name;
        EXPECT_EQ(Param(c.commandLine, 2), c.second) << c.name;
    }
}

TEST(ExtractParam, TabsAndRunsOfSpacesSplitLikeOneSpace)
{
    const char* lines[] = {
        "x.exe /admin second",
        "x.exe\t/admin\tsecond",
        "x.exe    /admin  \t  second   ",
        "  x.exe /admin\r\nsecond",
    };
    for (const char* line : lines) {
        EXPECT_EQ(Param(line, 0), "x.exe") << line;
        EXPECT_EQ(Param(line, 1), "/admin") << line;
        EXPECT_EQ(Param(line, 2), "second") << line;
        EXPECT_EQ(Param(line, 3), "") << line;
    }
}

TEST(ExtractParam, IndexZeroAndNegativeGiveTheProgramAsWritten)
{
    const char* line = "\"C:\\My Apps\\x.exe\" a b";
    EXPECT_EQ(Param(line, 0), "C:\\My Apps\\x.exe");
    EXPECT_EQ(Param(line, -1), "C:\\My Apps\\x.exe");
    EXPECT_EQ(Param(line, INT32_MIN), "C:\\My Apps\\x.exe");
    EXPECT_EQ(Param(line, 3), "");
    EXPECT_EQ(Param(line, 1000), "");
    EXPECT_EQ(Param(line, INT32_MAX), "");
}

TEST(ExtractParam, OverlongParameterIsCutWithoutOverrun)
{
    std::string longParam(5000, 'a');
    std::string line = "x.exe \"" + longParam + "\" next";
    std::string got = Param(line.c_str(), 1);
    EXPECT_EQ(got, std::string(kPathCapacity - 1, 'a'));
    EXPECT_EQ(Param(line.c_str(), 2), "next");
}

} // namespace
