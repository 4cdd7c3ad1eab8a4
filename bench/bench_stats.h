// Order statistics, options and the results table of the benchmark driver. Plain C++ with no Windows calls, so
// that it is checked on the host; the driver's own code only measures.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace bench {

// The nearest-rank percentile (1 to 100) of the samples: the smallest sample with at least that share of the
// samples at or below it. 0 when there are no samples.
double Percentile(std::vector<double> samples, int percent);
// The middle sample, or the mean of the two middle ones; 0 when there are none.
double Median(std::vector<double> samples);
// program / floor with two decimals; "n/a" when either is missing or the floor is not above zero (an idle floor
// can measure as no CPU time at all, and a ratio to it would be infinite or meaningless).
std::string FormatRatio(std::optional<double> program, std::optional<double> floor);

// One line of the results: a value for the program and, where the design has one, for the floor.
struct ResultRow
{
    std::string measure;
    std::optional<double> program;
    std::optional<double> floor;
    int decimals = 1;
};

// The results as an aligned Markdown table: measure, program, floor, ratio. A missing value shows as "-".
class ResultTable
{
  public:
    void Add(const std::string& measure, std::optional<double> program, std::optional<double> floor, int decimals);
    const std::vector<ResultRow>& Rows() const { return m_rows; }
    std::string Markdown() const;

  private:
    std::vector<ResultRow> m_rows;
};

// What the driver is asked to do. The programs that it runs are the ones built beside it.
struct BenchOptions
{
    int starts = 15;          // start-ups of each side, after one warm-up start each
    int idleSeconds = 60;     // length of the idle window
    int trips = 200;          // control round trips
    std::string outPath;      // where the table is also written; none when empty
    std::string releaseDir;   // folder of the 32-bit release binaries whose sizes are reported
    std::string releaseFloor; // the 32-bit floor program, for the size comparison
};

// Under Wine each Windows process is a Linux process; these read its scheduler's account in /proc, which is
// finer than the Windows process times (nanoseconds against the clock tick) and also counts wake-ups.
// The CPU time, in nanoseconds, from a /proc/<pid>/task/<tid>/schedstat text; nothing when it is not one.
std::optional<unsigned long long> SchedstatRuntimeNs(const std::string& text);
// The voluntary context switches from a /proc/.../status text: how often the thread went to sleep, so how often
// it was woken. Nothing when the line is missing.
std::optional<unsigned long long> VoluntarySwitches(const std::string& text);
// The value of one variable in a /proc/<pid>/environ text (entries "NAME=value" separated by NULs); nothing when
// it is not set.
std::optional<std::string> EnvironmentValue(const std::string& environment, const std::string& name);
// The first argument of a /proc/<pid>/cmdline text (arguments separated by NULs), which is the program's path.
std::string FirstArgument(const std::string& cmdline);

// Reads "--name value" pairs. False, with a message in error, for an unknown option, a missing value, or a count
// that is not a whole number in its range (at least 1; a benchmark of nothing proves nothing).
bool ParseBenchOptions(int argc, const char* const* argv, BenchOptions* options, std::string* error);
// The usage text for --help and errors.
const char* BenchUsage();

} // namespace bench
