// A long history: ten years of daily practice (3,650 lessons, 1.5 million words) in a data
// directory, and what the learner waits for on it: `typetutor stats`, and the start of a lesson
// (the history opened: lock, recovery, load). Against the floor: both files read whole.
#include <benchmark/benchmark.h>

#include <chrono>
#include <sstream>
#include <string>

#include "BenchSupport.h"
#include "Commands.h"
#include "History.h"

namespace {

constexpr int kLessons = 3650;
constexpr int kWords = 1500000;

// The data directory, made once: a lesson a day from the first of January 2016.
const std::string& LongHistory() {
    static const std::string dir = [] {
        const std::string path = WorkDirectory() + "/long-history";
        History layout(path);
        std::unique_ptr<CLessonTrackFile> lessons = MakeLessonFile(kLessons);
        using namespace std::chrono;
        const sys_days first = year{2016} / January / 1;
        for (int k = 0; k < kLessons; ++k) {
            const year_month_day day{first + days{k}};
            CLessonTrack* track = const_cast<CLessonTrack*>(lessons->GetLessonTrack(k));
            track->m_wYear = static_cast<WORD>(static_cast<int>(day.year()));
            track->m_wMonth = static_cast<WORD>(static_cast<unsigned>(day.month()));
            track->m_wDay = static_cast<WORD>(static_cast<unsigned>(day.day()));
        }
        std::string message;
        if (!layout.Open(&message) || !lessons->Save(layout.LessonPath().c_str()) ||
            !MakeWordFile(kWords)->Save(layout.WordPath().c_str())) {
            return std::string();
        }
        return path;
    }();
    return dir;
}

void Stats(benchmark::State& state) {
    Options options;
    options.dataDir = LongHistory();
    for (auto _ : state) {
        std::ostringstream out, err;
        if (options.dataDir.empty() || RunStats(options, out, err) != 0) {
            state.SkipWithError(("stats failed: " + err.str()).c_str());
            break;
        }
        state.PauseTiming();
        ReturnFreedMemory();
        state.ResumeTiming();
    }
}

void LessonStart(benchmark::State& state) {
    for (auto _ : state) {
        auto history = std::make_unique<History>(LongHistory());
        std::string message;
        if (!history->Open(&message)) {
            state.SkipWithError(("the history did not open: " + message).c_str());
            break;
        }
        state.PauseTiming();
        history.reset();
        ReturnFreedMemory();
        state.ResumeTiming();
    }
}

void FloorRead(benchmark::State& state) {
    const std::string lessons = LongHistory() + "/" + History::kLessonFile;
    const std::string words = LongHistory() + "/" + History::kWordFile;
    for (auto _ : state) {
        std::vector<char> a = ReadWhole(lessons);
        std::vector<char> b = ReadWhole(words);
        benchmark::DoNotOptimize(a.data());
        benchmark::DoNotOptimize(b.data());
        state.PauseTiming();
        a = std::vector<char>();
        b = std::vector<char>();
        ReturnFreedMemory();
        state.ResumeTiming();
    }
}

}  // namespace

void RegisterHistoryBenchmarks() {
    const struct {
        const char* name;
        void (*run)(benchmark::State&);
    } cases[] = {{"history/stats", Stats},
                 {"history/start", LessonStart},
                 {"history/floor_read", FloorRead}};
    for (const auto& c : cases) {
        benchmark::RegisterBenchmark(c.name, c.run)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(5);
    }
}
