// Timings of an analysis over logs at the line limit: the whole run, loading,
// the main pass alone, and the raw preview's text and line figure.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "analysis/frame_pass.h"
#include "analysis/heard_list.h"
#include "analysis/intake.h"
#include "analysis/line_store.h"
#include "analysis/run.h"
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
void runWholeAnalysis(benchmark::State& state, const BenchLog& log, bool bytesInHand) {
    analysis::RunInput input;
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
void analysePass(benchmark::State& state, const BenchLog& log) {
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
        analysis::analyseLines(store, demo::DemoOwnCall, previewLines, heard, control, result,
                               &processed);
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
