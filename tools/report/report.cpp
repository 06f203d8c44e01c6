#include "report.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "actions/save.h"
#include "analysis/figure_table.h"
#include "app/startup.h"
#include "base/whole_file.h"
#include "chart_file.h"
#include "files/raw_text.h"
#include "graph/path_graph.h"
#include "json_output.h"
#include "text/basic_text.h"
#include "text/cp1252.h"

namespace fs = std::filesystem;

namespace tallix::report {

std::string terminalText(std::string_view cp1252Text) {
    return text::cp1252ToUtf8(visibleBytes(cp1252Text));
}

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// An option that takes a value, as "--name VALUE" or "--name=VALUE".
// Returns false (with `error` set) when the value is missing.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
               std::optional<std::string>& value, std::string& error) {
    const std::string& arg = args[i];
    if (arg.size() > name.size()) { // "--name=VALUE"
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        error = "option '" + std::string(name) + "' needs an argument";
        return false;
    }
    value = args[++i];
    return true;
}

// "--name" itself or "--name=...".
bool isOption(std::string_view arg, std::string_view name) {
    return arg == name ||
           (startsWith(arg, name) && arg.size() > name.size() && arg[name.size()] == '=');
}

// For the terminal: CR LF and a lone CR end a line as LF does; every other
// control byte is shown.
std::string terminalLines(std::string_view cp1252Text) {
    std::string out;
    out.reserve(cp1252Text.size());
    for (std::size_t i = 0; i < cp1252Text.size(); ++i) {
        if (cp1252Text[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < cp1252Text.size() && cp1252Text[i + 1] == '\n')
                ++i;
        } else {
            out += visibleBytes(cp1252Text.substr(i, 1));
        }
    }
    return text::cp1252ToUtf8(out);
}

using analysis::SummaryFigures;

struct InfoRow {
    const char* label; // the caption label's text
    std::string SummaryFigures::*figure;
};

// The frame "Info" from top to bottom, after "Your Call:".
constexpr InfoRow InfoRows[] = {
    {"File created:", &SummaryFigures::fileDate},
    {"File size:", &SummaryFigures::processedSize},
    {"Total lines:", &SummaryFigures::totalLines},
    {"Total of your digi's:", &SummaryFigures::ownDigipeated},
    {"Total transmitted frames:", &SummaryFigures::transmittedFrames},
    {"Total received headers:", &SummaryFigures::receivedHeaders},
    {"Total Digipeated Stations:", &SummaryFigures::heardCount},
    {"First packet logged:", &SummaryFigures::firstPacketTime},
    {"Last packet logged:", &SummaryFigures::lastPacketTime},
    {"Total log time:", &SummaryFigures::logTime},
    {"RX Average Frames/Minute:", &SummaryFigures::rxPerMinute},
    {"Efficiency:", &SummaryFigures::efficiency},
};

// "Label text value", or the label alone when the value is empty.
void appendRow(std::string& out, std::string_view label, std::string_view cp1252Value) {
    out += label;
    if (!cp1252Value.empty()) {
        out.push_back(' ');
        out += terminalText(cp1252Value);
    }
    out.push_back('\n');
}

Json jsonTexts(const std::vector<std::string>& texts) {
    Json array = Json::array();
    for (const auto& t : texts)
        array.push_back(jsonText(t));
    return array;
}

} // namespace

ParsedArguments parseArguments(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    Options& o = parsed.options;
    bool haveFile = false;
    bool onlyFiles = false;
    auto addFile = [&](const std::string& arg) {
        if (haveFile) {
            parsed.error = "more than one FILE given: '" + o.file + "' and '" + arg + "'";
            return false;
        }
        o.file = arg;
        haveFile = true;
        return true;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // A lone "-" is a file name like any other.
        if (onlyFiles || arg.size() < 2 || arg[0] != '-') {
            if (!addFile(arg))
                return parsed;
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "--help") {
            o.help = true;
            return parsed;
        } else if (arg == "--version") {
            o.version = true;
            return parsed;
        } else if (arg == "--keep-tx") {
            o.keepTx = true;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--stations") {
            o.stations = true;
        } else if (arg == "--csv") {
            o.csv = true;
        } else if (arg == "--paths") {
            o.paths = true;
        } else if (isOption(arg, "--graph")) {
            if (!takeValue(args, i, "--graph", o.graph, parsed.error))
                return parsed;
            if (!graph::graphFormatOf(*o.graph)) {
                parsed.error = "option '--graph' needs a file name ending in .dot, .svg or .png";
                return parsed;
            }
        } else if (isOption(arg, "--sort")) {
            std::optional<std::string> word;
            if (!takeValue(args, i, "--sort", word, parsed.error))
                return parsed;
            if (!stationOrder(*word) || word->empty()) {
                parsed.error =
                    "option '--sort' takes last, first, call or count, not '" + *word + "'";
                return parsed;
            }
            o.sort = *word;
        } else if (isOption(arg, "--chart")) {
            if (!takeValue(args, i, "--chart", o.chart, parsed.error))
                return parsed;
            if (!chartFormatOf(*o.chart)) {
                parsed.error = "option '--chart' needs a file name ending in .svg or .png";
                return parsed;
            }
        } else if (isOption(arg, "--call")) {
            if (!takeValue(args, i, "--call", o.call, parsed.error))
                return parsed;
        } else if (isOption(arg, "--processed-out")) {
            if (!takeValue(args, i, "--processed-out", o.processedOut, parsed.error))
                return parsed;
            if (o.processedOut->empty()) {
                parsed.error = "option '--processed-out' needs a file name";
                return parsed;
            }
        } else if (isOption(arg, "--keep-tx") || isOption(arg, "--json") ||
                   isOption(arg, "--help") || isOption(arg, "--version") ||
                   isOption(arg, "--stations") || isOption(arg, "--csv") ||
                   isOption(arg, "--paths")) {
            parsed.error = "option '" + arg.substr(0, arg.find('=')) + "' takes no argument";
            return parsed;
        } else {
            parsed.error = "unknown option '" + arg + "'";
            return parsed;
        }
    }
    if (!o.stations && !o.sort.empty())
        parsed.error = "option '--sort' goes with '--stations'";
    else if (o.csv && !o.stations && !o.paths)
        parsed.error = "option '--csv' goes with '--stations' or '--paths'";
    else if (o.csv && o.stations && o.paths)
        parsed.error = "option '--csv' goes with one of '--stations' and '--paths'";
    else if (o.csv && o.json)
        parsed.error = "options '--csv' and '--json' do not go together";
    else if (!haveFile)
        parsed.error = "no FILE given";
    return parsed;
}

namespace {

// What a path names on disk, links followed: the file itself when there is
// one, else its folder and its name. Nothing when not even the folder is
// there (the write will say so).
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::string name; // empty for a file that is there
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return FileIdentity{st.st_dev, st.st_ino, {}};
    const fs::path p(path);
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : ".";
    if (::stat(folder.c_str(), &st) != 0)
        return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino, p.filename().string()};
}

} // namespace

std::string outputClash(const Options& options) {
    struct Named {
        std::string what;
        const std::optional<std::string>& path;
    };
    const std::optional<std::string> input = options.file;
    const Named outputs[] = {{"'--processed-out' file", options.processedOut},
                             {"'--chart' file", options.chart},
                             {"'--graph' file", options.graph}};
    std::vector<std::pair<std::string, FileIdentity>> seen;
    if (const auto id = identityOf(options.file))
        seen.emplace_back("the input FILE", *id);
    for (const Named& out : outputs) {
        if (!out.path)
            continue;
        const auto id = identityOf(*out.path);
        if (!id)
            continue;
        for (const auto& [what, other] : seen)
            if (other == *id)
                return "the " + out.what + " '" + *out.path + "' is " +
                       (what == "the input FILE" ? what : "also the " + what) +
                       "; it would be written over";
        seen.emplace_back(out.what, *id);
    }
    return {};
}

std::string usageLine() {
    return std::string("Usage: ") + ProgramName +
           " [--call CALL] [--keep-tx] [--json] [--processed-out FILE]\n"
           "       [--stations [--sort last|first|call|count] [--csv]]\n"
           "       [--paths] [--chart FILE.svg|FILE.png]\n"
           "       [--graph FILE.dot|FILE.svg|FILE.png] FILE\n";
}

std::string helpText() {
    return usageLine() +
           "\n"
           "Analyses one Kest log or report file and prints its figures as the\n"
           "window's Info frame shows them, followed by the heard stations.\n"
           "\n"
           "  --call CALL           your call sign, used exactly as given; without it\n"
           "                        line 4 of the kest.ini in the file's folder or its\n"
           "                        parent folder is used\n"
           "  --keep-tx             keep your transmitted frames (\"Remove Your TX Frames\"\n"
           "                        off): the processed text is the raw text\n"
           "  --json                print one JSON object instead\n"
           "  --processed-out FILE  write the processed text to FILE, bytes as built\n"
           "  --stations            print the heard stations as a table instead: frames,\n"
           "                        first and last heard, direct or via a digipeater;\n"
           "                        with --json, add the \"stations\" and \"activity\" arrays\n"
           "  --sort ORDER          the table's order: last (newest last heard first, the\n"
           "                        default), first (earliest first heard first), call,\n"
           "                        count (most frames first)\n"
           "  --csv                 the table as CSV with a header row, bytes as the log\n"
           "                        holds them (Windows-1252), CR LF line ends\n"
           "  --chart FILE          write the activity per minute as a chart to FILE,\n"
           "                        SVG or PNG by its name's ending\n"
           "  --paths               print the digipeater paths instead: per station\n"
           "                        each path with its frames, first and last heard and\n"
           "                        the station heard on air; then per digipeater its\n"
           "                        frames, those it repeated (*) and its stations;\n"
           "                        with --csv the path table, with --json add the\n"
           "                        \"paths\" and \"digipeaters\" arrays\n"
           "  --graph FILE          write who is heard through whom as a graph to FILE:\n"
           "                        DOT, SVG or PNG by its name's ending\n"
           "  --help                show this help\n"
           "  --version             show the version\n"
           "\n"
           "A FILE beginning with '-' can be given after '--'.\n"
           "Exit status: 0 after a run, 1 when the file cannot be analysed (a pipe,\n"
           "a device or a folder is refused unread) or the processed text, the\n"
           "chart or the graph cannot be written, 2 on a usage error, an output that\n"
           "is the input FILE or another output among them. Control bytes are\n"
           "shown as \\x1b and the like; CSV fields that would start a formula\n"
           "begin with '.\n";
}

std::string versionText() {
    return std::string(ProgramName) + " " + TALLIX_VERSION + "\n";
}

CallLookup lookUpOwnCall(const std::string& filePath) {
    CallLookup lookup;
    std::error_code ec;
    fs::path file = fs::absolute(fs::path(filePath), ec);
    if (ec)
        file = fs::path(filePath);
    const fs::path folder = file.lexically_normal().parent_path();
    std::vector<fs::path> folders{folder};
    if (folder.has_parent_path() && folder.parent_path() != folder)
        folders.push_back(folder.parent_path());

    for (const fs::path& f : folders) {
        const auto settings = app::findSettingsFile(f.empty() ? std::string(".") : f.string());
        if (!settings)
            continue;
        lookup.settingsFile = *settings;
        if (const auto content = base::readWholeFile(*settings))
            lookup.call = app::settingsCallSign(*content);
        break;
    }
    return lookup;
}

bool TerminalControl::confirmUnrecognised(const base::MessageBox& prompt) {
    unrecognisedNote_ = prompt.text.substr(0, prompt.text.find('\r'));
    return true;
}

namespace {

analysis::RunOutcome runWith(const analysis::RunInput& input, TerminalControl& control) {
    // The stores go when the run is over; the outcome holds what is reported.
    auto store = std::make_unique<analysis::LineStore>();
    auto heard = std::make_unique<analysis::HeardStore>();
    return analysis::runAnalysis(input, *store, *heard, control);
}
} // namespace

analysis::RunOutcome analyseFile(const std::string& path, const std::string& ownCall,
                                 TerminalControl& control, bool keepProcessedText,
                                 bool stationStatistics, bool previewLineFigure,
                                 bool stationPaths) {
    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = files::isRtfPath(path);
    input.ownCall = ownCall;
    input.writeRtfTempFile = false;
    input.keepProcessedText = keepProcessedText;
    input.stationStatistics = stationStatistics;
    input.stationPaths = stationPaths;
    input.previewLineFigure = previewLineFigure;
    // A plain file is read once, straight into the line store: its bytes are
    // both the lines and the raw pane. A rich-text source's raw pane is its
    // plain text, as the preview loads it.
    if (input.isRtf)
        input.rawPane = [path] {
            analysis::RawPane pane;
            files::RawText raw = files::loadRawText(path);
            if (raw.loaded) {
                pane.previewLineCount = files::previewLineCount(raw.text);
                pane.text = std::move(raw.text);
            }
            return pane;
        };
    return runWith(input, control);
}

std::optional<StationOrder> stationOrder(std::string_view word) {
    using analysis::StationColumn;
    if (word.empty() || word == "last")
        return StationOrder{StationColumn::LastHeard, true};
    if (word == "first")
        return StationOrder{StationColumn::FirstHeard, false};
    if (word == "call")
        return StationOrder{StationColumn::Call, false};
    if (word == "count")
        return StationOrder{StationColumn::Frames, true};
    return std::nullopt;
}

namespace {

std::vector<analysis::StationRecord> orderedStations(const analysis::RunOutcome& outcome,
                                                     StationOrder order) {
    std::vector<analysis::StationRecord> stations = outcome.stations;
    analysis::sortStations(stations, order.column, order.descending);
    return stations;
}

} // namespace

namespace {

struct Column {
    const char* title;
    bool right; // numbers stand right
};

// Rows of cells in Windows-1252 (control bytes already shown) under their
// titles, aligned, in UTF-8.
std::string alignedTable(const std::vector<Column>& columns,
                         const std::vector<std::vector<std::string>>& cells) {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(cells.size() + 1);
    std::vector<std::string> titles;
    for (const Column& c : columns)
        titles.emplace_back(c.title);
    rows.push_back(std::move(titles));
    rows.insert(rows.end(), cells.begin(), cells.end());
    // Widths in characters: one byte is one character of the station's code
    // page, so the padding is counted before the text becomes UTF-8.
    std::vector<std::size_t> widths(columns.size());
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                line += "  ";
            const std::string pad(widths[c] - row[c].size(), ' ');
            line += columns[c].right ? pad + row[c] : row[c] + pad;
        }
        out += text::cp1252ToUtf8(text::trimTrailingSpaces(line));
        out.push_back('\n');
    }
    return out;
}

} // namespace

std::string stationsTextReport(const analysis::RunOutcome& outcome, StationOrder order) {
    if (outcome.end != analysis::RunOutcome::End::Concluded)
        return {};
    std::vector<std::vector<std::string>> rows;
    for (const analysis::StationRecord& s : orderedStations(outcome, order))
        rows.push_back({visibleBytes(s.call), std::to_string(s.frames), s.firstHeard(),
                        s.lastHeard(), std::to_string(s.direct), std::to_string(s.viaDigipeater),
                        s.own ? "yes" : ""});
    return alignedTable({{"Call", false},
                         {"Frames", true},
                         {"First heard", false},
                         {"Last heard", false},
                         {"Direct", true},
                         {"Via digipeater", true},
                         {"Own", false}},
                        rows);
}

std::string pathsTextReport(const analysis::RunOutcome& outcome) {
    if (outcome.end != analysis::RunOutcome::End::Concluded)
        return {};
    std::vector<std::vector<std::string>> paths;
    for (const analysis::PathRecord& p : outcome.paths.records())
        paths.push_back({visibleBytes(p.station), visibleBytes(analysis::shownPath(p.via)),
                         std::to_string(p.frames), p.firstHeard(), p.lastHeard(),
                         visibleBytes(p.heardFrom())});
    std::vector<std::vector<std::string>> digis;
    for (const analysis::DigipeaterRecord& d : analysis::digipeaters(outcome.paths.records()))
        digis.push_back({visibleBytes(d.call), std::to_string(d.frames), std::to_string(d.repeated),
                         std::to_string(d.stations)});
    return alignedTable({{"Station", false},
                         {"Path", false},
                         {"Frames", true},
                         {"First heard", false},
                         {"Last heard", false},
                         {"Heard from", false}},
                        paths) +
           "\n" +
           alignedTable(
               {{"Digipeater", false}, {"Frames", true}, {"Repeated", true}, {"Stations", true}},
               digis);
}

std::string pathsCsvReport(const analysis::RunOutcome& outcome) {
    if (outcome.end != analysis::RunOutcome::End::Concluded)
        return {};
    return analysis::pathsCsv(outcome.paths.records());
}

std::string stationsCsvReport(const analysis::RunOutcome& outcome, StationOrder order) {
    if (outcome.end != analysis::RunOutcome::End::Concluded)
        return {};
    return analysis::stationsCsv(orderedStations(outcome, order));
}

std::string textReport(const analysis::RunOutcome& outcome, std::string_view ownCall) {
    std::string out;
    if (outcome.end != analysis::RunOutcome::End::Concluded)
        return out; // nothing to show; a failure goes to the error stream
    appendRow(out, "Your Call:", text::trimSpaces(ownCall));
    const SummaryFigures& figures = outcome.figures;
    for (const InfoRow& row : InfoRows)
        appendRow(out, row.label, figures.*row.figure);
    out.push_back('\n');
    appendRow(out, "Total lines:", figures.lineCount);
    appendRow(out, terminalText(figures.processedCaption), "");
    appendRow(out, terminalText(figures.totalBytesProcessed), "");
    appendRow(out, "Heard Stations", figures.heardListed);
    for (const auto& call : outcome.heard)
        appendRow(out, terminalText(call), "");
    return out;
}

namespace {

void addStationArrays(Json& json, const analysis::RunOutcome& outcome, StationOrder order) {
    Json& stations = json["stations"] = Json::array();
    for (const analysis::StationRecord& s : orderedStations(outcome, order))
        stations.push_back({{"call", jsonText(s.call)},
                            {"frames", s.frames},
                            {"direct", s.direct},
                            {"via_digipeater", s.viaDigipeater},
                            {"first_heard", jsonText(s.firstHeard())},
                            {"last_heard", jsonText(s.lastHeard())},
                            {"own", s.own}});
    Json& activity = json["activity"] = Json::array();
    const analysis::ActivitySeries& series = outcome.activity;
    for (std::size_t i = 0; i < series.minutes.size(); ++i) {
        const std::int64_t minute = series.firstMinute + static_cast<std::int64_t>(i);
        const analysis::ActivityMinute& m = series.minutes[i];
        activity.push_back({{"minute", minute},
                            {"time", jsonText(analysis::minuteText(minute))},
                            {"received", m.received},
                            {"transmitted", m.transmitted},
                            {"digipeated", m.digipeated}});
    }
}

void addPathArrays(Json& json, const analysis::RunOutcome& outcome) {
    Json& paths = json["paths"] = Json::array();
    for (const analysis::PathRecord& p : outcome.paths.records())
        paths.push_back({{"station", jsonText(p.station)},
                         {"via", jsonText(p.via)},
                         {"frames", p.frames},
                         {"first", jsonText(p.firstHeard())},
                         {"last", jsonText(p.lastHeard())},
                         {"heard_from", jsonText(p.heardFrom())}});
    Json& digis = json["digipeaters"] = Json::array();
    for (const analysis::DigipeaterRecord& d : analysis::digipeaters(outcome.paths.records()))
        digis.push_back({{"call", jsonText(d.call)},
                         {"frames", d.frames},
                         {"repeated", d.repeated},
                         {"stations", d.stations}});
}

} // namespace

std::string jsonReport(const analysis::RunOutcome& outcome, const JsonParts& parts) {
    using End = analysis::RunOutcome::End;
    Json json = Json::object();
    if (outcome.end != End::Concluded) {
        json["failure"] = nullptr;
        if (outcome.failure)
            json["failure"] = {{"code", outcome.failure->code},
                               {"title", jsonText(outcome.failure->message.title)},
                               {"message", jsonText(outcome.failure->message.text)}};
        json["line_count"] = outcome.lineCount;
        return jsonLine(json) + "\n";
    }

    const analysis::AnalysisResult& r = outcome.result;
    json["file_kind"] = static_cast<int>(outcome.fileKind);
    json["failure"] = nullptr;
    json["line_count"] = outcome.lineCount;
    json["raw_bytes"] = jsonFigure(r.rawBytes);
    json["received_headers"] = r.receivedHeaders;
    json["transmitted_frames"] = r.transmittedFrames;
    json["own_digipeated"] = r.ownDigipeated;
    json["kept_lines"] = r.keptLines;
    json["first_packet_time"] = jsonText(r.firstPacketTime);
    json["last_packet_time"] = jsonText(r.lastPacketTime);
    json["heard_count"] = r.heardCount;
    json["heard_listed"] = r.heardListed;
    json["heard"] = jsonTexts(outcome.heard);
    json["heard_sorted"] = jsonTexts(outcome.heardSorted);
    json["heard_clipboard"] = jsonText(outcome.heardClipboard);
    json["processed_bytes"] = r.processedBytes;
    json["log_seconds"] = jsonFigure(r.logSeconds);
    json["rx_per_minute"] = jsonFigure(r.rxPerMinute);
    json["preview_line_count"] = jsonFigure(outcome.previewLineCount);
    Json& captions = json["captions"] = Json::object();
    for (const analysis::FigurePlace& place : analysis::FigureTable) {
        if (!place.reportKey.empty())
            captions[std::string(place.reportKey)] = jsonText(outcome.figures.*place.figure);
    }
    if (parts.stations)
        addStationArrays(json, outcome, *parts.stations);
    if (parts.paths)
        addPathArrays(json, outcome);
    return jsonLine(json) + "\n";
}

std::string jsonReport(const analysis::RunOutcome& outcome) {
    return jsonReport(outcome, JsonParts{});
}

std::string jsonReport(const analysis::RunOutcome& outcome, StationOrder stations) {
    return jsonReport(outcome, JsonParts{stations, false});
}

std::string failureText(const analysis::Failure& failure) {
    return terminalLines(failure.message.title) + "\n" + terminalLines(failure.message.text) + "\n";
}

std::string failureText(const analysis::Failure& failure, std::string_view currentFile) {
    // The message built again around the path as shown, so that the path's
    // own line ends cannot pass for the message's.
    analysis::Failure shownFailure = failure;
    shownFailure.message = analysis::failureMessage(failure.code, visibleBytes(currentFile));
    return failureText(shownFailure);
}

int writeBytes(const std::string& path, std::string_view bytes) {
    // As the window's Save: an existing file is replaced only once the new
    // one is whole, and a link planted in a shared folder is not followed.
    return actions::writeProcessedText(path, bytes);
}

} // namespace tallix::report
