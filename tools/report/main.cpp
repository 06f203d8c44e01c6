// tallix-report: the analysis of one Kest log from the command line.

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/error_numbers.h"
#include "base/input_file.h"
#include "chart_file.h"
#include "graph_file.h"
#include "report.h"
#include "text/cp1252.h"

namespace {

using namespace tallix;

constexpr int ExitRun = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

void put(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

void note(std::string_view utf8) {
    put(stderr, std::string(report::ProgramName) + ": " + std::string(utf8) + "\n");
}

// Paths are bytes too; shown as the station's code page reads them, control
// bytes made visible.
std::string shown(std::string_view path) {
    return report::terminalText(path);
}

} // namespace

#ifdef __SANITIZE_ADDRESS__
// Graphviz's text layout keeps fontconfig's caches until the process ends:
// not a leak of this program's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

int main(int argc, char** argv) {
    // No signal ends a run: a reader that went away (| head) or a file size
    // limit makes the write fail, and that is reported.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    report::ParsedArguments parsed = report::parseArguments(args);
    // No output may take the place of the input or of another output.
    if (parsed.error.empty() && !parsed.options.help && !parsed.options.version)
        parsed.error = report::outputClash(parsed.options);
    const report::Options& options = parsed.options;
    if (!parsed.error.empty()) {
        note(shown(parsed.error));
        put(stderr, report::usageLine());
        put(stderr, std::string("Try '") + report::ProgramName + " --help' for more.\n");
        return ExitUsage;
    }
    if (options.help) {
        put(stdout, report::helpText());
        return std::fflush(stdout) == 0 ? ExitRun : ExitFailure;
    }
    if (options.version) {
        put(stdout, report::versionText());
        return std::fflush(stdout) == 0 ? ExitRun : ExitFailure;
    }

    std::string ownCall;
    if (options.call) {
        ownCall = *options.call;
    } else {
        const report::CallLookup lookup = report::lookUpOwnCall(options.file);
        if (lookup.call)
            ownCall = *lookup.call;
        else if (lookup.settingsFile.empty())
            note("warning: no --call given and no kest.ini found in the file's folder or its "
                 "parent; using an empty call");
        else
            note("warning: no --call given and " + shown(lookup.settingsFile) +
                 " has no call sign (line 4); using an empty call");
    }

    report::TerminalControl control(!options.keepTx);
    const bool paths = options.paths || options.graph.has_value();
    const analysis::RunOutcome outcome = report::analyseFile(
        options.file, ownCall, control, options.processedOut.has_value(),
        options.stations || options.chart.has_value() || paths, options.json, paths);
    int status = ExitRun;
    if (outcome.failure) {
        put(stderr, std::string(report::ProgramName) + ": " +
                        report::failureText(*outcome.failure, outcome.currentFile));
        if (const auto what = base::notARegularFile(options.file))
            note(shown(options.file) + " is " + *what + ", not a regular file; it was not read");
        status = ExitFailure;
    } else if (control.unrecognisedNote()) {
        // A file that could not be opened is "not recognised" too; that note
        // would only hide the real message, so it is given for a run that went on.
        note("warning: " + shown(options.file) + ": " + shown(*control.unrecognisedNote()) +
             " Processed anyway.");
    }
    // A file that cannot be written is named with the error number the
    // window's Save would show.
    auto write = [&](const std::string& what, const std::string& path, std::string_view bytes) {
        if (const int number = report::writeBytes(path, bytes); number != 0) {
            note("cannot write " + what + " to " + shown(path) + ": error nr " +
                 std::to_string(number) + " (" + base::errorDescription(number) + ")");
            status = ExitFailure;
        }
    };
    if (outcome.end == analysis::RunOutcome::End::Concluded && options.processedOut)
        write("the processed text", *options.processedOut, outcome.processedText);

    // A picture that could not be made is named with the reason.
    auto writeMade = [&](const std::string& what, const std::string& path, const std::string& bytes,
                         const std::string& error) {
        if (error.empty()) {
            write(what, path, bytes);
        } else {
            note("cannot write " + what + " to " + shown(path) + ": " + error);
            status = ExitFailure;
        }
    };
    if (outcome.end == analysis::RunOutcome::End::Concluded && options.chart) {
        const report::ChartPicture picture = report::chartPicture(
            outcome.activity,
            report::chartFormatOf(*options.chart).value_or(report::ChartFormat::Svg));
        writeMade("the chart", *options.chart, picture.bytes, picture.error);
    }
    if (outcome.end == analysis::RunOutcome::End::Concluded && options.graph) {
        const graph::GraphFile file = report::pathGraphFile(
            outcome.paths.records(), analysis::ownStationOf(outcome.stations),
            graph::graphFormatOf(*options.graph).value_or(graph::GraphFormat::Dot));
        writeMade("the graph", *options.graph, file.bytes, file.error);
    }

    const report::StationOrder order =
        report::stationOrder(options.sort).value_or(report::StationOrder{});
    if (options.json) {
        report::JsonParts parts;
        if (options.stations)
            parts.stations = order;
        parts.paths = options.paths;
        put(stdout, report::jsonReport(outcome, parts));
    } else if (options.stations || options.paths) {
        if (options.stations)
            put(stdout, options.csv ? report::stationsCsvReport(outcome, order)
                                    : report::stationsTextReport(outcome, order));
        if (options.stations && options.paths)
            put(stdout, "\n");
        if (options.paths)
            put(stdout,
                options.csv ? report::pathsCsvReport(outcome) : report::pathsTextReport(outcome));
    } else {
        put(stdout, report::textReport(outcome, ownCall));
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        note("cannot write the report");
        return ExitFailure;
    }
    return status;
}
