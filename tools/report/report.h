#pragma once
// tallix-report: one analysis of a Kest log from the command line, its figures
// as the window's "Info" frame shows them, or as one JSON object.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/run.h"
#include "text/basic_text.h"

namespace tallix::report {

inline constexpr const char* ProgramName = "tallix-report";

struct Options {
    std::optional<std::string> call{}; // exactly as given
    bool keepTx = false;               // the removal option off
    bool json = false;
    std::optional<std::string> processedOut{};
    std::string file{};
    bool help = false;
    bool version = false;
    bool stations = false;              // the station table instead of the figures
    bool csv = false;                   // ... as CSV
    std::string sort{};                 // its order: last (also when empty), first, call, count
    std::optional<std::string> chart{}; // the activity chart's file, .svg or .png
    bool paths = false;                 // the digipeater paths instead of the figures
    std::optional<std::string> graph{}; // the path graph's file, .dot, .svg or .png
};

struct ParsedArguments {
    Options options;
    std::string error; // empty when the arguments are usable
};

// The arguments after the program name. --help and --version end the parsing
// where they stand; "--" makes every later argument a FILE.
ParsedArguments parseArguments(const std::vector<std::string>& args);

// An output that is the input FILE or another output, compared by the file
// each path names (device and inode; for a file not there yet, its folder's
// and its name), not by spelling: the usage error, or an empty text.
std::string outputClash(const Options& options);

std::string usageLine();
std::string helpText();
std::string versionText();

// The own call when --call is not given: line 4 of the kest.ini in the file's
// folder or, failing that, in its parent (a Kest folder or one of its
// subfolders).
struct CallLookup {
    std::optional<std::string> call; // line 4 exactly as read
    std::string settingsFile;        // the kest.ini found, empty when none
};
CallLookup lookUpOwnCall(const std::string& filePath);

// The run's partner in a terminal: nobody can be asked, so an unrecognised
// file is noted and processed.
class TerminalControl : public analysis::RunControl {
public:
    explicit TerminalControl(bool removeTxFrames) : removeTxFrames_(removeTxFrames) {}
    bool confirmUnrecognised(const base::MessageBox& prompt) override;
    bool removeTxFrames() override { return removeTxFrames_; }
    bool showsProgress() override { return false; } // nobody watches a terminal run

    // The prompt's first sentence when the file was not recognised.
    const std::optional<std::string>& unrecognisedNote() const { return unrecognisedNote_; }

private:
    bool removeTxFrames_;
    std::optional<std::string> unrecognisedNote_;
};

// One run over `path`. A plain file is read once, and a file over the line
// limit is never held whole; a rich-text source (by its name) is read from
// memory.
// Without `keepProcessedText` only the processed text's size is counted;
// without `stationStatistics` the stations and the activity are not gathered,
// without `stationPaths` their paths;
// without `previewLineFigure` the raw pane's line figure is left at 0.
analysis::RunOutcome analyseFile(const std::string& path, const std::string& ownCall,
                                 TerminalControl& control, bool keepProcessedText = true,
                                 bool stationStatistics = true, bool previewLineFigure = true,
                                 bool stationPaths = true);

// The figures caption by caption, then the heard list, in UTF-8; empty when
// the run did not conclude.
std::string textReport(const analysis::RunOutcome& outcome, std::string_view ownCall);
// One JSON object; after a failure only "failure" and "line_count".
std::string jsonReport(const analysis::RunOutcome& outcome);
// A failure's message box for the terminal: title, then text, in UTF-8.
std::string failureText(const analysis::Failure& failure);
// The same with the message naming `currentFile` as the terminal shows it.
std::string failureText(const analysis::Failure& failure, std::string_view currentFile);

// Control bytes as "\x1b" and the like, so that nothing a log holds can
// steer the terminal.
using text::visibleBytes;
// visibleBytes, then Windows-1252 to UTF-8.
std::string terminalText(std::string_view cp1252Text);

// The station table's order for --sort: "last" (newest last heard first, also
// for the empty text), "first" (earliest first heard first), "call", "count"
// (most frames first). Nothing for any other word.
struct StationOrder {
    analysis::StationColumn column = analysis::StationColumn::LastHeard;
    bool descending = true;
};
std::optional<StationOrder> stationOrder(std::string_view word);

// The station table as aligned columns, in UTF-8; empty when the run did not
// conclude.
std::string stationsTextReport(const analysis::RunOutcome& outcome, StationOrder order);
// The same as CSV with a header row: the bytes the window's "Save as CSV..."
// writes (Windows-1252, CR LF).
std::string stationsCsvReport(const analysis::RunOutcome& outcome, StationOrder order);
// jsonReport with a "stations" array in that order and an "activity" array
// (one object per minute) after the figures.
std::string jsonReport(const analysis::RunOutcome& outcome, StationOrder stations);
// What follows the figures: with `stations` the arrays above, with `paths` a
// "paths" array (the path table's rows) and a "digipeaters" array.
struct JsonParts {
    std::optional<StationOrder> stations;
    bool paths = false;
};
std::string jsonReport(const analysis::RunOutcome& outcome, const JsonParts& parts);

// The path table (station, path, frames, first and last heard, heard from)
// and the digipeater table (frames, repeated, stations) as aligned columns,
// in UTF-8; empty when the run did not conclude.
std::string pathsTextReport(const analysis::RunOutcome& outcome);
// The path table as CSV with a header row, as the station table's CSV.
std::string pathsCsvReport(const analysis::RunOutcome& outcome);

// Writes bytes exactly as they are; 0, or the error number of the failure.
int writeBytes(const std::string& path, std::string_view bytes);

} // namespace tallix::report
