// Order statistics, options and the results table of the benchmark driver.
#include "bench_stats.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

namespace {

constexpr int kMaxPercent = 100;
constexpr char kMissing[] = "-";
constexpr char kNoRatio[] = "n/a";

// Upper bounds of the counts: far beyond any useful run, low enough that a typo cannot start a day-long one.
constexpr int kMaxStarts = 1000;
constexpr int kMaxIdleSeconds = 3600;
constexpr int kMaxTrips = 100000;

std::string FormatValue(std::optional<double> value, int decimals)
{
    if (!value)
        return kMissing;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, *value);
    return text;
}

// A whole number within [1, limit], or nothing.
std::optional<int> ParseCount(const char* text, int limit)
{
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < 1 || value > limit)
        return std::nullopt;
    return static_cast<int>(value);
}

// A decimal number after optional blanks; end is set after its digits.
std::optional<unsigned long long> ParseUnsigned(const char* text, const char** end)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text < '0' || *text > '9')
        return std::nullopt;
    char* after = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(text, &after, 10);
    if (errno == ERANGE)
        return std::nullopt;
    *end = after;
    return value;
}

} // namespace

double Percentile(std::vector<double> samples, int percent)
{
    if (samples.empty())
        return 0;
    percent = std::clamp(percent, 1, kMaxPercent);
    std::sort(samples.begin(), samples.end());
    // Rank ceil(n * p / 100), counted from 1.
    size_t rank = (samples.size() * static_cast<size_t>(percent) + kMaxPercent - 1) / kMaxPercent;
    return samples[std::max<size_t>(rank, 1) - 1];
}

double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    size_t middle = samples.size() / 2;
    if (samples.size() % 2 == 1)
        return samples[middle];
    return (samples[middle - 1] + samples[middle]) / 2;
}

std::string FormatRatio(std::optional<double> program, std::optional<double> floor)
{
    if (!program || !floor || !(*floor > 0) || !std::isfinite(*program))
        return kNoRatio;
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", *program / *floor);
    return text;
}

void ResultTable::Add(const std::string& measure, std::optional<double> program, std::optional<double> floor,
                      int decimals)
{
    m_rows.push_back(ResultRow{measure, program, floor, decimals});
}

std::string ResultTable::Markdown() const
{
    std::vector<std::vector<std::string>> cells;
    cells.push_back({"Measure", "Rollix Portable", "Floor", "Ratio"});
    for (const ResultRow& row : m_rows) {
        cells.push_back({row.measure, FormatValue(row.program, row.decimals), FormatValue(row.floor, row.decimals),
                         row.floor ? FormatRatio(row.program, row.floor) : kMissing});
    }
    const size_t columns = cells.front().size();
    std::vector<size_t> widths(columns, 0);
    for (const auto& line : cells) {
        for (size_t column = 0; column < columns; ++column)
            widths[column] = std::max(widths[column], line[column].size());
    }

    // The measure is text, left aligned; the numbers are right aligned so that their digits line up.
    auto render = [&](const std::vector<std::string>& line) {
        std::string text = "|";
        for (size_t column = 0; column < columns; ++column) {
            std::string padding(widths[column] - line[column].size(), ' ');
            text += " " + (column == 0 ? line[column] + padding : padding + line[column]) + " |";
        }
        return text + "\n";
    };
    std::string table = render(cells.front());
    table += "|";
    for (size_t column = 0; column < columns; ++column)
        table += std::string(widths[column] + 1, '-') + (column == 0 ? "-|" : ":|");
    table += "\n";
    for (size_t line = 1; line < cells.size(); ++line)
        table += render(cells[line]);
    return table;
}

std::optional<unsigned long long> SchedstatRuntimeNs(const std::string& text)
{
    const char* end = nullptr;
    std::optional<unsigned long long> runtime = ParseUnsigned(text.c_str(), &end);
    // Three numbers: time on a CPU, time waiting for one, and the number of times it ran.
    if (!runtime || (*end != ' ' && *end != '\t'))
        return std::nullopt;
    return runtime;
}

std::optional<unsigned long long> VoluntarySwitches(const std::string& text)
{
    static const std::string kKey = "\nvoluntary_ctxt_switches:";
    // "nonvoluntary_ctxt_switches:" also ends in the key, so it is looked for at the start of a line.
    size_t at = ("\n" + text).find(kKey);
    if (at == std::string::npos)
        return std::nullopt;
    const char* end = nullptr;
    return ParseUnsigned(text.c_str() + at + kKey.size() - 1, &end);
}

std::optional<std::string> EnvironmentValue(const std::string& environment, const std::string& name)
{
    const std::string key = name + "=";
    for (size_t start = 0; start < environment.size();) {
        size_t end = environment.find('\0', start);
        if (end == std::string::npos)
            end = environment.size();
        if (environment.compare(start, key.size(), key) == 0 && end - start >= key.size())
            return environment.substr(start + key.size(), end - start - key.size());
        start = end + 1;
    }
    return std::nullopt;
}

std::string FirstArgument(const std::string& cmdline)
{
    return cmdline.substr(0, cmdline.find('\0'));
}

bool ParseBenchOptions(int argc, const char* const* argv, BenchOptions* options, std::string* error)
{
    struct CountOption
    {
        const char* name;
        int* value;
        int limit;
    };
    struct PathOption
    {
        const char* name;
        std::string* value;
    };
    const CountOption counts[] = {
        {"--starts", &options->starts, kMaxStarts},
        {"--idle-seconds", &options->idleSeconds, kMaxIdleSeconds},
        {"--trips", &options->trips, kMaxTrips},
    };
    const PathOption paths[] = {
        {"--out", &options->outPath},
        {"--release-dir", &options->releaseDir},
        {"--release-floor", &options->releaseFloor},
    };

    for (int index = 1; index < argc; index += 2) {
        const char* name = argv[index];
        if (index + 1 >= argc) {
            *error = std::string(name) + " needs a value";
            return false;
        }
        const char* value = argv[index + 1];
        bool known = false;
        for (const CountOption& count : counts) {
            if (std::strcmp(name, count.name) != 0)
                continue;
            std::optional<int> parsed = ParseCount(value, count.limit);
            if (!parsed) {
                *error = std::string(name) + " wants a whole number from 1 to " + std::to_string(count.limit) +
                         ", not \"" + value + "\"";
                return false;
            }
            *count.value = *parsed;
            known = true;
        }
        for (const PathOption& path : paths) {
            if (std::strcmp(name, path.name) == 0) {
                *path.value = value;
                known = true;
            }
        }
        if (!known) {
            *error = std::string("unknown option ") + name;
            return false;
        }
    }
    return true;
}

const char* BenchUsage()
{
    return "RollixBench.exe [--starts N] [--idle-seconds S] [--trips N] [--out FILE]\n"
           "                [--release-dir DIR] [--release-floor FILE]\n"
           "  Measures Rollix Portable against the floor program: start-up (median of N starts each), CPU time\n"
           "  while idle for S seconds, and N control round trips; prints a Markdown table.\n";
}

} // namespace bench
