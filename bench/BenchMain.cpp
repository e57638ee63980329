// Runs the benchmarks and closes with one table of figures, baselines and ratios.
//
//   tt_bench [Google Benchmark flags] [--tt_dir=DIR] [--tt_instructions=FILE]
//            [--tt_latency=FILE] [--tt_json=FILE]
//   tt_bench --tt_type_lesson=MODE     types one lesson once (for counting instructions)
//
// --tt_dir: where the record files are written (a directory on the disk to be measured);
// --tt_instructions: instructions per keystroke counted beforehand, for the table;
// --tt_latency: the desktop tutor's key-to-frame latency measured beforehand, for the table;
// --tt_json: the table and every benchmark's figures as JSON.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Table.h"

namespace {

constexpr int kMallocThreshold = 128 * 1024;

// Passes every run on to the console and keeps its times and counters for the table.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) {
                continue;
            }
            // Repetitions of a benchmark (--benchmark_repetitions) add up.
            Sums& sums = m_sums[run.run_name.function_name];
            sums.iterations += run.iterations;
            sums.real += run.real_accumulated_time;
            sums.cpu += run.cpu_accumulated_time;
            Timing& t = m_timings[run.run_name.function_name];
            t.iterations = sums.iterations;
            t.seconds = sums.real / static_cast<double>(sums.iterations);
            t.cpuSeconds = sums.cpu / static_cast<double>(sums.iterations);
            for (const auto& [name, counter] : run.counters) {
                t.counters[name] = counter.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const Timings& GetTimings() const { return m_timings; }

private:
    struct Sums {
        long long iterations = 0;
        double real = 0;
        double cpu = 0;
    };
    std::map<std::string, Sums> m_sums;
    Timings m_timings;
};

// The value of --name=VALUE among the arguments, or empty.
std::string Option(int argc, char** argv, const char* name) {
    const std::string prefix = std::string("--") + name + "=";
    for (int k = 1; k < argc; ++k) {
        if (std::strncmp(argv[k], prefix.c_str(), prefix.size()) == 0) {
            return argv[k] + prefix.size();
        }
    }
    return std::string();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = Option(argc, argv, "tt_type_lesson");
    if (!mode.empty()) {
        const int keys = TypeLessonForCount(mode);
        if (keys < 0) {
            std::cerr << "tt_bench: unknown lesson mode " << mode << "\n";
            return 2;
        }
        std::cout << keys << "\n";
        return 0;
    }

    const std::string dir = Option(argc, argv, "tt_dir");
    if (!dir.empty()) {
        ::mkdir(dir.c_str(), 0777);
        SetWorkDirectory(dir);
    }
    // Fixed thresholds: large blocks always come fresh from the system and freed memory goes
    // back to it, as in a program that does each of these things once, instead of thresholds
    // that move with what earlier benchmarks allocated.
    mallopt(M_MMAP_THRESHOLD, kMallocThreshold);
    mallopt(M_TRIM_THRESHOLD, kMallocThreshold);
    benchmark::Initialize(&argc, argv);
    RegisterLayoutBenchmarks();
    RegisterKeystrokeBenchmarks();
    RegisterRecordFileBenchmarks();
    RegisterHistoryBenchmarks();
    RegisterBookBenchmarks();

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const std::vector<Row> rows =
        BuildTable(reporter.GetTimings(), NotedFigures(),
                   ReadInstructions(Option(argc, argv, "tt_instructions")),
                   ReadInstructions(Option(argc, argv, "tt_latency")));
    std::cout << "\nMachine: " << MachineDescription() << "\n\n";
    PrintTable(rows, std::cout);
    const std::string json = Option(argc, argv, "tt_json");
    if (!json.empty()) {
        std::ofstream out(json);
        WriteJson(rows, reporter.GetTimings(), out);
        std::cout << "\nJSON: " << json << "\n";
    }
    return 0;
}
