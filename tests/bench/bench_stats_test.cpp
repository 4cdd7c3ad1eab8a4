// The benchmark's statistics, options and results table.
#include "bench_stats.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<double> OneTo(int last)
{
    std::vector<double> values;
    for (int value = last; value >= 1; --value)
        values.push_back(value); // descending, so that nothing passes by relying on sorted input
    return values;
}

std::vector<std::string> TableLines(const std::string& table)
{
    std::vector<std::string> lines;
    std::istringstream stream(table);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// The cells of one table line, blanks trimmed.
std::vector<std::string> Cells(const std::string& line)
{
    std::vector<std::string> cells;
    size_t start = line.find('|');
    while (start != std::string::npos) {
        size_t end = line.find('|', start + 1);
        if (end == std::string::npos)
            break;
        std::string cell = line.substr(start + 1, end - start - 1);
        size_t first = cell.find_first_not_of(' ');
        size_t last = cell.find_last_not_of(' ');
        cells.push_back(first == std::string::npos ? std::string() : cell.substr(first, last - first + 1));
        start = end;
    }
    return cells;
}

TEST(BenchStats, PercentilesAreNearestRank)
{
    struct Case
    {
        const char* name;
        std::vector<double> samples;
        int percent;
        double expected;
    };
    const Case cases[] = {
        {"NoSamplesGiveZero", {}, 95, 0},
        {"OneSampleIsEveryPercentile", {7}, 95, 7},
        {"NinetyFifthOfTwentyIsTheNineteenth", OneTo(20), 95, 19},
        {"NinetyFifthOfTwoHundredIsTheOneHundredNinetieth", OneTo(200), 95, 190},
        {"NinetyFifthOfTenIsTheLargest", OneTo(10), 95, 10},
        {"HundredthIsTheLargest", OneTo(15), 100, 15},
        {"FirstOfFewIsTheSmallest", OneTo(15), 1, 1},
        {"OneOutlierDoesNotMoveTheNinetyFifthOfFifty",
         [] {
             auto v = OneTo(49);
             v.push_back(1e6);
             return v;
         }(),
         95, 48},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(bench::Percentile(c.samples, c.percent), c.expected) << c.name;
}

TEST(BenchStats, MedianIsTheMiddleOrTheMeanOfTheTwoMiddles)
{
    EXPECT_DOUBLE_EQ(bench::Median({}), 0);
    EXPECT_DOUBLE_EQ(bench::Median({4}), 4);
    EXPECT_DOUBLE_EQ(bench::Median({9, 1, 5}), 5);
    EXPECT_DOUBLE_EQ(bench::Median({10, 1, 2, 4}), 3);
    EXPECT_DOUBLE_EQ(bench::Median(OneTo(15)), 8);
}

TEST(BenchStats, RatioNeedsAFloorAboveZero)
{
    EXPECT_EQ(bench::FormatRatio(3.0, 2.0), "1.50");
    EXPECT_EQ(bench::FormatRatio(0.0, 5.0), "0.00");
    EXPECT_EQ(bench::FormatRatio(4.0, 0.0), "n/a") << "an idle floor can measure no CPU time at all";
    EXPECT_EQ(bench::FormatRatio(4.0, -1.0), "n/a");
    EXPECT_EQ(bench::FormatRatio(std::nullopt, 2.0), "n/a");
    EXPECT_EQ(bench::FormatRatio(2.0, std::nullopt), "n/a");
}

TEST(BenchStats, TableShowsValuesRatiosAndGaps)
{
    bench::ResultTable table;
    table.Add("Start-up (ms)", 412.34, 206.17, 1);
    table.Add("Idle CPU (ms)", 12.0, 0.0, 1);
    table.Add("32-bit RollixHook.dll (bytes)", 9216, std::nullopt, 0);
    table.Add("Round trip (ms)", std::nullopt, 0.25, 3);

    std::vector<std::string> lines = TableLines(table.Markdown());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(Cells(lines[0]), (std::vector<std::string>{"Measure", "Rollix Portable", "Floor", "Ratio"}));
    EXPECT_EQ(Cells(lines[2]), (std::vector<std::string>{"Start-up (ms)", "412.3", "206.2", "2.00"}));
    EXPECT_EQ(Cells(lines[3]), (std::vector<std::string>{"Idle CPU (ms)", "12.0", "0.0", "n/a"}));
    EXPECT_EQ(Cells(lines[4]), (std::vector<std::string>{"32-bit RollixHook.dll (bytes)", "9216", "-", "-"}));
    EXPECT_EQ(Cells(lines[5]), (std::vector<std::string>{"Round trip (ms)", "-", "0.250", "n/a"}));
}

TEST(BenchStats, TableLinesAlignInEveryColumn)
{
    bench::ResultTable table;
    table.Add("A long measure name that sets the first column's width", 1.0, 2.0, 1);
    table.Add("Short", 123456.0, 7.0, 0);
    std::vector<std::string> lines = TableLines(table.Markdown());
    ASSERT_EQ(lines.size(), 4u);
    // The separator line marks the number columns right aligned.
    EXPECT_EQ(Cells(lines[1]).size(), 4u);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 2), ":|");
    for (const std::string& line : lines) {
        EXPECT_EQ(line.size(), lines[0].size()) << line;
        for (size_t at = 0; at < line.size(); ++at) {
            if (lines[0][at] == '|') {
                EXPECT_EQ(line[at], '|') << "column border moved in: " << line;
            }
        }
    }
}

TEST(BenchStats, OptionsTakeCountsAndPaths)
{
    const char* argv[] = {"RollixBench.exe",
                          "--starts",
                          "3",
                          "--idle-seconds",
                          "5",
                          "--trips",
                          "40",
                          "--out",
                          "/tmp/r.md",
                          "--release-dir",
                          "/b/win32/bin",
                          "--release-floor",
                          "/b/f.exe"};
    bench::BenchOptions options;
    std::string error;
    ASSERT_TRUE(bench::ParseBenchOptions(static_cast<int>(std::size(argv)), argv, &options, &error)) << error;
    EXPECT_EQ(options.starts, 3);
    EXPECT_EQ(options.idleSeconds, 5);
    EXPECT_EQ(options.trips, 40);
    EXPECT_EQ(options.outPath, "/tmp/r.md");
    EXPECT_EQ(options.releaseDir, "/b/win32/bin");
    EXPECT_EQ(options.releaseFloor, "/b/f.exe");
}

TEST(BenchStats, NoOptionsKeepTheFullRun)
{
    const char* argv[] = {"RollixBench.exe"};
    bench::BenchOptions options;
    std::string error;
    ASSERT_TRUE(bench::ParseBenchOptions(1, argv, &options, &error));
    EXPECT_EQ(options.starts, 15);
    EXPECT_EQ(options.idleSeconds, 60);
    EXPECT_EQ(options.trips, 200);
    EXPECT_TRUE(options.outPath.empty());
}

TEST(BenchStats, BadOptionsAreRefusedWithAReason)
{
    struct Case
    {
        const char* name;
        std::vector<const char*> arguments;
        const char* mentions;
    };
    const Case cases[] = {
        {"ZeroStartsMeasureNothing", {"--starts", "0"}, "--starts"},
        {"NegativeTrips", {"--trips", "-5"}, "--trips"},
        {"TextIsNoCount", {"--idle-seconds", "sixty"}, "sixty"},
        {"TrailingTextIsNoCount", {"--trips", "20x"}, "20x"},
        {"AnIdleOfDaysIsATypo", {"--idle-seconds", "86400"}, "--idle-seconds"},
        {"CountBeyondLong", {"--starts", "99999999999999999999"}, "--starts"},
        {"MissingValue", {"--out"}, "needs a value"},
        {"UnknownOption", {"--fast", "1"}, "unknown option --fast"},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"RollixBench.exe"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        bench::BenchOptions options;
        std::string error;
        EXPECT_FALSE(bench::ParseBenchOptions(static_cast<int>(argv.size()), argv.data(), &options, &error)) << c.name;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.name << ": " << error;
    }
}

TEST(BenchLinuxAccount, SchedstatGivesTheFirstOfItsThreeNumbers)
{
    EXPECT_EQ(bench::SchedstatRuntimeNs("126386622 17812315 1909\n"), 126386622ull);
    EXPECT_EQ(bench::SchedstatRuntimeNs("0 0 0\n"), 0ull);
    EXPECT_EQ(bench::SchedstatRuntimeNs(""), std::nullopt) << "a thread that ended while being read";
    EXPECT_EQ(bench::SchedstatRuntimeNs("126386622"), std::nullopt) << "one number is not a schedstat line";
    EXPECT_EQ(bench::SchedstatRuntimeNs("-5 1 1\n"), std::nullopt);
    EXPECT_EQ(bench::SchedstatRuntimeNs("abc 1 1\n"), std::nullopt);
}

TEST(BenchLinuxAccount, WakeUpsAreTheVoluntarySwitchesNotTheOthers)
{
    const std::string status = "Name:\tRollixFloor.exe\nState:\tS (sleeping)\n"
                               "nonvoluntary_ctxt_switches:\t597\nvoluntary_ctxt_switches:\t1207\n";
    EXPECT_EQ(bench::VoluntarySwitches(status), 1207ull);
    EXPECT_EQ(bench::VoluntarySwitches("voluntary_ctxt_switches:\t12\n"), 12ull) << "as the first line";
    EXPECT_EQ(bench::VoluntarySwitches("nonvoluntary_ctxt_switches:\t597\n"), std::nullopt);
    EXPECT_EQ(bench::VoluntarySwitches("Name:\tx\n"), std::nullopt);
    EXPECT_EQ(bench::VoluntarySwitches("voluntary_ctxt_switches:\t\n"), std::nullopt);
}

TEST(BenchLinuxAccount, TheProgramPathIsTheFirstArgument)
{
    const char raw[] = "C:\\a\\RollixFloor.exe\0--x\0";
    EXPECT_EQ(bench::FirstArgument(std::string(raw, sizeof raw - 1)), "C:\\a\\RollixFloor.exe");
    EXPECT_EQ(bench::FirstArgument("/tmp/RollixBench.exe"), "/tmp/RollixBench.exe");
    EXPECT_EQ(bench::FirstArgument(""), "");
}

TEST(BenchLinuxAccount, EnvironmentValueIsFoundByItsWholeName)
{
    const char raw[] = "HOME=/root\0WINEPREFIX=/tmp/wp-a\0WINEPREFIX_OLD=/x\0EMPTY=\0";
    const std::string environment(raw, sizeof raw - 1);
    EXPECT_EQ(bench::EnvironmentValue(environment, "WINEPREFIX"), std::optional<std::string>("/tmp/wp-a"));
    EXPECT_EQ(bench::EnvironmentValue(environment, "HOME"), std::optional<std::string>("/root"));
    EXPECT_EQ(bench::EnvironmentValue(environment, "EMPTY"), std::optional<std::string>(""));
    EXPECT_EQ(bench::EnvironmentValue(environment, "PREFIX"), std::nullopt) << "only whole names count";
    EXPECT_EQ(bench::EnvironmentValue(environment, "WINE"), std::nullopt);
    EXPECT_EQ(bench::EnvironmentValue("", "WINEPREFIX"), std::nullopt);
}

} // namespace
