#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qz::bench {

/// Prints the usual console output and keeps the wall and CPU time per iteration of every run,
/// for a benchmark's own ratio table after the runs: by statistic ("median" and "mean" of
/// repetitions, else "fastest" of the plain runs), row and path. A benchmark names its runs so
/// that `split` finds the path (what is compared) and the row (what it is compared in) in the
/// function name; the row gets the run's arguments appended.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double wall = 0;
        double cpu = 0;
    };
    /// (path, row) of a run's function name.
    using Split = std::pair<std::string, std::string> (*)(const std::string& functionName);
    /// (statistic, row) -> path -> times.
    using Table = std::map<std::pair<std::string, std::string>, std::map<std::string, Times>>;

    explicit RatioReporter(Split split) : split(split) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median" && run.aggregate_name != "mean") {
                continue;
            }
            repeated = repeated || aggregate;
            auto [path, row] = split(run.run_name.function_name);
            if (!run.run_name.args.empty()) {
                row += row.empty() ? run.run_name.args : " " + run.run_name.args;
            }
            const std::string statistic = aggregate ? run.aggregate_name : "fastest";
            Times& slot = table[{statistic, row}][path];
            const Times now{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            if (aggregate || slot.cpu == 0 || now.cpu < slot.cpu) {
                slot = now;
            }
        }
    }

    const Table& GetTable() const { return table; }
    /// The statistic a table should judge by: the median of repetitions when there were any.
    const char* GetMainStatistic() const { return repeated ? "median" : "fastest"; }

private:
    Split split;
    Table table;
    bool repeated = false;
};

}  // namespace qz::bench
