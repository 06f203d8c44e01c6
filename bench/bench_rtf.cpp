// Timings of the rich-text reader over a report of about 2 MB: in Windows-1252,
// where bytes are copied, and in code pages whose bytes go through the
// system's converter and the best fit to Windows-1252.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "demo/demo_logs.h"
#include "files/rtf_reader.h"

namespace {

using namespace tallix;

// A log of 40000 lines as rich text, each line a paragraph; every character
// of `accented` the log holds is written as a hex byte, as writers do with
// 8-bit characters.
std::string richReport(const std::string& header, const std::string& accented) {
    demo::LogOptions options;
    options.seed = 2026;
    options.lines = 40000;
    const std::string log = demo::generateLog(options);
    std::string rtf = "{\\rtf1" + header + "\r\n";
    rtf.reserve(log.size() * 5 / 4);
    for (std::size_t i = 0; i < log.size(); ++i) {
        const char c = log[i];
        if (c == '\r') {
            rtf += "\\par\r\n";
            i += i + 1 < log.size() && log[i + 1] == '\n';
        } else if (c == '\\' || c == '{' || c == '}') {
            rtf += {'\\', c};
        } else if (accented.find(c) != std::string::npos) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned char>(c) | 0x80);
            rtf += hex;
        } else {
            rtf += c;
        }
    }
    return rtf + "}";
}

void readReport(benchmark::State& state, const std::string& rtf) {
    std::size_t textBytes = 0;
    for (auto _ : state) {
        const files::RtfDocument document = files::readRtf(rtf);
        textBytes = document.plainText().size();
        benchmark::DoNotOptimize(textBytes);
    }
    state.counters["rtf_MB"] = static_cast<double>(rtf.size()) / 1e6;
    state.counters["text_MB"] = static_cast<double>(textBytes) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(rtf.size()));
}

// Vowels become 8-bit bytes: a report written in another language.
void BM_ReadRtfReport_Western(benchmark::State& state) {
    static const std::string rtf = richReport("\\ansi\\ansicpg1252", "aeiou");
    readReport(state, rtf);
}
BENCHMARK(BM_ReadRtfReport_Western)->Unit(benchmark::kMillisecond);

void BM_ReadRtfReport_Cyrillic(benchmark::State& state) {
    static const std::string rtf = richReport("\\ansi\\ansicpg1251", "aeiou");
    readReport(state, rtf);
}
BENCHMARK(BM_ReadRtfReport_Cyrillic)->Unit(benchmark::kMillisecond);

// Every vowel a lead byte, the next character its second half.
void BM_ReadRtfReport_Japanese(benchmark::State& state) {
    static const std::string rtf = richReport("\\ansi\\ansicpg932", "aeiou");
    readReport(state, rtf);
}
BENCHMARK(BM_ReadRtfReport_Japanese)->Unit(benchmark::kMillisecond);

} // namespace
