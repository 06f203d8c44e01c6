// Timings of an analysis over logs at the line limit: the whole run, loading,
// the main pass alone, what the station statistics and the digipeater paths
// add to both, and the raw preview's text and line figure.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "analysis/frame_pass.h"
#include "analysis/heard_list.h"
#include "analysis/intake.h"
#include "analysis/line_store.h"
#include "analysis/run.h"
#include "analysis/station_stats.h"
#include "demo/demo_logs.h"
#include "files/raw_text.h"

namespace {

namespace fs = std::filesystem;
using namespace tallix;

// One generated 65000-line log on disk, written on first use and removed when
// the program ends.
class BenchLog {
public:
    BenchLog(const char* name, int stations) {
        dir_ = fs::temp_directory_path() /
               ("tallix-bench-" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(dir_);
        path_ = (dir_ / name).string();
        demo::LogOptions options;
        options.seed = 65000;
        options.lines = analysis::MaxLines;
        options.stations = stations;
        bytes_ = std::make_shared<const std::string>(demo::generateLog(options));
        std::ofstream out(path_, std::ios::binary);
        out.write(bytes_->data(), static_cast<std::streamsize>(bytes_->size()));
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + path_);
    }
    ~BenchLog() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    BenchLog(const BenchLog&) = delete;
    BenchLog& operator=(const BenchLog&) = delete;

    const std::string& path() const { return path_; }
    const std::shared_ptr<const std::string>& bytes() const { return bytes_; }

private:
    fs::path dir_;
    std::string path_;
    std::shared_ptr<const std::string> bytes_;
};

const BenchLog& fewCallsLog() {
    static const BenchLog log("few-calls.log", 40);
    return log;
}

const BenchLog& manyCallsLog() {
    static const BenchLog log("many-calls.log", 700);
    return log;
}

void checkConcluded(benchmark::State& state, const analysis::RunOutcome& outcome) {
    if (outcome.end != analysis::RunOutcome::End::Concluded)
        state.SkipWithError("the run did not conclude");
}

// The whole run as the Process button starts it: validation, loading,
// pre-processing, the main pass and the conclusion.
void runWholeAnalysis(benchmark::State& state, const BenchLog& log, bool bytesInHand,
                      bool statistics = true) {
    analysis::RunInput input;
    input.stationStatistics = statistics;
    input.currentFile = log.path();
    input.ownCall = demo::DemoOwnCall;
    input.writeRtfTempFile = false;
    const auto bytes = log.bytes();
    input.rawPane = [bytes] { return analysis::RawPane{*bytes, files::previewLineCount(*bytes)}; };
    if (bytesInHand)
        input.fileBytes = bytes;
    analysis::LineStore store;
    analysis::HeardStore heard;
    analysis::RunControl control;
    std::int16_t heardListed = 0;
    for (auto _ : state) {
        const analysis::RunOutcome outcome = analysis::runAnalysis(input, store, heard, control);
        checkConcluded(state, outcome);
        heardListed = outcome.result.heardListed;
        benchmark::DoNotOptimize(outcome.result.receivedHeaders);
    }
    state.counters["heard"] = heardListed;
}

void BM_Run65000_FewCalls(benchmark::State& state) {
    runWholeAnalysis(state, fewCallsLog(), false);
}
BENCHMARK(BM_Run65000_FewCalls)->Unit(benchmark::kMillisecond);

void BM_Run65000_ManyCalls(benchmark::State& state) {
    runWholeAnalysis(state, manyCallsLog(), false);
}
BENCHMARK(BM_Run65000_ManyCalls)->Unit(benchmark::kMillisecond);

// The same run without the station statistics: what they cost.
void BM_Run65000_ManyCalls_NoStatistics(benchmark::State& state) {
    runWholeAnalysis(state, manyCallsLog(), false, false);
}
BENCHMARK(BM_Run65000_ManyCalls_NoStatistics)->Unit(benchmark::kMillisecond);

// The window's way: the preview's bytes are handed over, the lines are cut
// from them instead of reading the file again.
void BM_Run65000_FewCalls_BytesInHand(benchmark::State& state) {
    runWholeAnalysis(state, fewCallsLog(), true);
}
BENCHMARK(BM_Run65000_FewCalls_BytesInHand)->Unit(benchmark::kMillisecond);

void BM_ValidateLogFile(benchmark::State& state) {
    const BenchLog& log = fewCallsLog();
    for (auto _ : state)
        benchmark::DoNotOptimize(analysis::validateLogFile(log.path()));
}
BENCHMARK(BM_ValidateLogFile)->Unit(benchmark::kMillisecond);

void BM_LoadLines65000(benchmark::State& state) {
    const BenchLog& log = fewCallsLog();
    analysis::LineStore store;
    for (auto _ : state) {
        if (analysis::loadLines(log.path(), store))
            state.SkipWithError("loading failed");
        benchmark::DoNotOptimize(store.count());
    }
}
BENCHMARK(BM_LoadLines65000)->Unit(benchmark::kMillisecond);

// The main pass alone, over lines loaded and pre-processed once.
void analysePass(benchmark::State& state, const BenchLog& log, bool statistics = false) {
    analysis::LineStore store;
    if (analysis::loadLinesFromText(log.bytes(), store)) {
        state.SkipWithError("loading failed");
        return;
    }
    for (std::int32_t i = 1; i <= store.count(); ++i)
        if (const std::size_t cut = analysis::preprocessCut(store.line(i)); cut != 0)
            store.dropPrefix(i, cut);
    const float previewLines = files::previewLineCount(*log.bytes());
    analysis::HeardStore heard;
    analysis::RunControl control;
    std::string processed;
    for (auto _ : state) {
        analysis::AnalysisResult result;
        result.lineCount = store.count();
        processed.clear();
        heard.reset();
        std::optional<analysis::StationStats> stats;
        if (statistics)
            stats.emplace(demo::DemoOwnCall);
        analysis::analyseLines(store, demo::DemoOwnCall, previewLines, heard, control, result,
                               &processed, stats ? &*stats : nullptr);
        if (stats) {
            benchmark::DoNotOptimize(stats->stations().size());
            benchmark::DoNotOptimize(stats->activity().minutes.size());
        }
        benchmark::DoNotOptimize(result.receivedHeaders);
        benchmark::DoNotOptimize(processed.data());
    }
}

void BM_AnalyseLines65000_FewCalls(benchmark::State& state) {
    analysePass(state, fewCallsLog());
}
BENCHMARK(BM_AnalyseLines65000_FewCalls)->Unit(benchmark::kMillisecond);

void BM_AnalyseLines65000_ManyCalls(benchmark::State& state) {
    analysePass(state, manyCallsLog());
}
BENCHMARK(BM_AnalyseLines65000_ManyCalls)->Unit(benchmark::kMillisecond);

// The pass with the station statistics gathered and handed out.
void BM_AnalyseLines65000_ManyCalls_Statistics(benchmark::State& state) {
    analysePass(state, manyCallsLog(), true);
}
BENCHMARK(BM_AnalyseLines65000_ManyCalls_Statistics)->Unit(benchmark::kMillisecond);

// The whole run with and without a part of it, taken in turns so that both
// see the same machine; "overhead_pct" is what the part adds. Timed by the
// thread's processor time, which other work on a busy machine disturbs less
// than the clock on the wall.
double threadMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// One run's part switched on and off (`part`), over `log`: the runs' times
// with and without it, and "overhead_pct"; `counted` names what the run with
// it found. Which of the two goes first changes every time, so that neither
// gains from the other.
// The window's run over `log`: the preview's bytes handed over.
analysis::RunInput bytesInHandRun(const BenchLog& log) {
    analysis::RunInput input;
    input.currentFile = log.path();
    input.ownCall = demo::DemoOwnCall;
    input.writeRtfTempFile = false;
    input.fileBytes = log.bytes();
    return input;
}

template <class Count>
void partOverhead(benchmark::State& state, const BenchLog& log, bool analysis::RunInput::*part,
                  const char* counted, Count count) {
    analysis::RunInput input = bytesInHandRun(log);
    analysis::LineStore store;
    analysis::HeardStore heard;
    analysis::RunControl control;
    double with = 0, without = 0;
    std::size_t found = 0;
    bool withFirst = false;
    for (auto _ : state) {
        withFirst = !withFirst;
        for (const bool on : {withFirst, !withFirst}) {
            input.*part = on;
            const double start = threadMilliseconds();
            const analysis::RunOutcome outcome =
                analysis::runAnalysis(input, store, heard, control);
            (on ? with : without) += threadMilliseconds() - start;
            checkConcluded(state, outcome);
            if (on)
                found = count(outcome);
        }
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters[counted] = static_cast<double>(found);
    state.counters["with_ms"] = with / runs;
    state.counters["without_ms"] = without / runs;
    state.counters["overhead_pct"] = 100.0 * (with - without) / without;
}

void BM_StationStatisticsOverhead(benchmark::State& state) {
    partOverhead(state, manyCallsLog(), &analysis::RunInput::stationStatistics, "stations",
                 [](const analysis::RunOutcome& out) { return out.stations.size(); });
}
BENCHMARK(BM_StationStatisticsOverhead)->Unit(benchmark::kMillisecond);

// The same for the digipeater paths, gathered with the statistics: the run
// with the statistics alone against the run with the paths too. Argument 0:
// the log with 40 stations, 1: with 700.
void BM_StationPathsOverhead(benchmark::State& state) {
    partOverhead(state, state.range(0) == 0 ? fewCallsLog() : manyCallsLog(),
                 &analysis::RunInput::stationPaths, "paths",
                 [](const analysis::RunOutcome& out) { return out.paths.records().size(); });
}
BENCHMARK(BM_StationPathsOverhead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Making the records of the paths a run gathered, as the Heard stations
// window and the report do when they show them. Argument as above.
void BM_PathRecords65000(benchmark::State& state) {
    analysis::LineStore store;
    analysis::HeardStore heard;
    analysis::RunControl control;
    const analysis::RunOutcome outcome =
        analysis::runAnalysis(bytesInHandRun(state.range(0) == 0 ? fewCallsLog() : manyCallsLog()),
                              store, heard, control);
    checkConcluded(state, outcome);
    for (auto _ : state) {
        const analysis::PathTable unmade = outcome.paths;
        benchmark::DoNotOptimize(unmade.records().data());
    }
}
BENCHMARK(BM_PathRecords65000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The raw preview of a plain file: its text and line figure.
void BM_RawText65000(benchmark::State& state) {
    const BenchLog& log = fewCallsLog();
    for (auto _ : state) {
        files::RawText raw = files::rawTextFromBytes(*log.bytes());
        benchmark::DoNotOptimize(files::previewLineCount(raw.text));
        benchmark::DoNotOptimize(raw.text.data());
    }
}
BENCHMARK(BM_RawText65000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
