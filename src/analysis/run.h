#pragma once
// One analysis run, from the Process click to the last caption, without any
// window: the window (or a terminal tool, or a test) takes part through
// RunControl, which is told every point where a window shows something or lets
// pending events run.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/frame_pass.h"
#include "analysis/heard_list.h"
#include "analysis/intake.h"
#include "analysis/line_store.h"
#include "analysis/station_stats.h"
#include "analysis/summary.h"
#include "base/message_box.h"
#include "files/file_facts.h"

namespace tallix::analysis {

// What the run is told about and asks. Every member has a default that suits a
// caller without a window: no prompt is refused, nothing is cancelled.
class RunControl {
public:
    virtual ~RunControl() = default;

    // The file is not recognised: go on (true) or end the run unchanged.
    virtual bool confirmUnrecognised(const base::MessageBox&) { return true; }
    // Past validation: the indicator shows, the path label reads `path`, the
    // pointer is busy and the blink timer runs.
    virtual void intakeStarted(std::string_view /*path*/) {}
    // A point where the window lets pending events run.
    virtual void yield() {}
    // Loading goes on (after every megabyte read): a point where the window
    // may let pending events run, when it is time to.
    virtual void loading() {}
    // Pre-processing reached line `line`; the indicator reads `caption`.
    virtual void preprocessLine(std::int32_t /*line*/, std::string_view /*caption*/) {}
    // The main pass starts over `lineCount` lines: the processed pane and the
    // heard lists are emptied, Save, Print and Copy are enabled, the raw
    // pane's line figure reads `lineCount`, the button reads "Cancel".
    virtual void passStarted(std::int32_t /*lineCount*/) {}
    // A call was added to the heard list (List1 and List2).
    virtual void heardAdded(std::string_view /*call*/) {}
    // A line (without its CR LF) was appended to the processed text.
    virtual void processedLineAppended(std::string_view /*line*/) {}
    // Line `line` of the main pass is done; the indicator reads `caption`.
    // This is where a Cancel click is taken in.
    virtual void passLine(std::int32_t /*line*/, std::string_view /*caption*/) {}
    // Read every time a line is to be written, and once more at the end.
    virtual bool removeTxFrames() { return true; }
    // Read after every line of the main pass.
    virtual bool cancelRequested() { return false; }
    // False when nobody watches the run (a terminal): no captions are built,
    // preprocessLine, passLine and processedLineAppended are not called, the
    // removal option is read once as the main pass starts, and no cancel is
    // asked for. A plain file whose processed text is not kept is then
    // analysed as it is read, without a copy in the line store (left empty),
    // and passStarted comes once the file is read.
    virtual bool showsProgress() { return true; }
    // The main pass is over: pointer normal, the button reads "Process".
    virtual void passEnded() {}
    // The window is closing: read wherever the run lets events run, and the
    // run ends there at once, showing nothing more.
    virtual bool abandoned() { return false; }
};

// The raw pane: the text the preview loaded and its line figure.
struct RawPane {
    std::string text;
    float previewLineCount = 0;
};

struct RunInput {
    std::string currentFile; // the selected file's full path
    bool isRtf = false;      // CurrentFileIsRtf
    std::string ownCall;     // used exactly as held
    // Asked once, when the run first needs the raw pane; a caller that can be
    // interrupted hands over a copy taken before the run. Without it the raw
    // pane is `fileBytes`, or else the bytes the lines were read from, as the
    // preview would show them.
    std::function<RawPane()> rawPane;
    // The file's bytes, when the caller has read them already: the lines are
    // cut from them instead of reading the file a second time. A plain text
    // file only; validation and the file's date still look at the file.
    SharedBytes fileBytes;
    // Without the processed text only its size is counted (a caller that
    // shows the figures and writes no text).
    bool keepProcessedText = true;
    // A rich-text source is written out as "rtftemp.tmp" in the current folder
    // and read back from there; without it, or when the file cannot be
    // written there, the text is read from memory.
    bool writeRtfTempFile = true;
    // Per-station figures and the activity per minute, gathered in the main
    // pass (RunOutcome::stations and ::activity).
    bool stationStatistics = true;
    // With them, each station's digipeater paths (RunOutcome::paths).
    bool stationPaths = true;
    // The raw pane's line figure, when the run takes the pane from the file's
    // bytes; without it the figure stays 0 (a caller that never shows it).
    bool previewLineFigure = true;
    files::DateFormat dateFormat = files::defaultDateFormat();
};

inline constexpr const char* RtfTempFileName = "rtftemp.tmp";

struct Failure {
    int code = 0;
    base::MessageBox message;
};

struct RunOutcome {
    enum class End { Declined, Failed, Concluded, Abandoned };
    End end = End::Declined;
    FileKind fileKind = FileKind::Unrecognised;
    std::int32_t lineCount = 0;
    std::optional<Failure> failure;
    // CurrentFile as the run leaves it: for a rich-text source the source
    // path with ".txt" in place of its last four characters.
    std::string currentFile;
    std::string sourceDateText;
    bool cancelled = false;

    // Filled when the run concludes.
    AnalysisResult result;
    float previewLineCount = 0;
    std::vector<std::string> heard;       // List1
    std::vector<std::string> heardSorted; // List2
    std::string heardClipboard;
    std::string processedText;
    bool processedIsRawCopy = false;     // the removal option was off at the end
    SharedBytes rawPaneText;             // the raw pane's text the run counted
    SummaryFigures figures;              // every figure as shown
    bool bringWindowToFront = false;     // a rich-text source was analysed
    std::vector<StationRecord> stations; // in the order first heard
    ActivitySeries activity;
    PathTable paths;
};

// The whole run. `store` and `heard` belong to the caller and outlive the run.
RunOutcome runAnalysis(const RunInput& input, LineStore& store, HeardStore& heard,
                       RunControl& control);

} // namespace tallix::analysis
