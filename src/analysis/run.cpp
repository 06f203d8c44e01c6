#include "analysis/run.h"

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <limits>

#include "app/error_numbers.h"
#include "files/raw_text.h"

namespace tallix::analysis {

const std::string* RunOutcome::caption(std::string_view element) const {
    for (const auto& c : captions)
        if (c.element == element)
            return &c.text;
    return nullptr;
}

namespace {

// Writes the raw pane's text and one CR LF to the temporary file. Returns the
// error number of a failure, or 0.
int writeRtfTemp(std::string_view text) {
    errno = 0;
    std::FILE* f = std::fopen(RtfTempFileName, "wb");
    if (!f)
        return app::errorNumberFromErrno(errno);
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fwrite("\r\n", 1, 2, f) == 2 && ok;
    const int writeErr = errno;
    ok = std::fclose(f) == 0 && ok;
    return ok ? 0 : app::errorNumberFromErrno(writeErr != 0 ? writeErr : errno);
}

// CurrentFile for the rest of the program after a rich-text run: the source
// path with ".txt" in place of its last four characters.
std::string textNameOf(const std::string& path) {
    return path.substr(0, path.size() >= 4 ? path.size() - 4 : 0) + ".txt";
}

RunOutcome abandon(RunOutcome& out) {
    out.end = RunOutcome::End::Abandoned;
    return std::move(out);
}

} // namespace

RunOutcome runAnalysis(const RunInput& input, LineStore& store, HeardStore& heard,
                       RunControl& control) {
    RunOutcome out;
    out.currentFile = input.currentFile;

    out.fileKind = validateLogFile(input.currentFile);
    if (!input.isRtf && out.fileKind == FileKind::Unrecognised &&
        !control.confirmUnrecognised(unrecognisedFilePrompt())) {
        out.end = RunOutcome::End::Declined;
        return out;
    }

    const std::string label5 = input.currentFile;
    control.intakeStarted(label5);
    std::optional<int> failure;
    control.yield();
    if (control.abandoned())
        return abandon(out);

    const files::FileFactsResult facts = files::readFileFacts(input.currentFile);
    if (facts.facts)
        out.sourceDateText = files::generalDateText(facts.facts->modified, input.dateFormat);
    else
        failure = facts.errorNumber;

    // The raw pane is fetched once, when first needed: for a plain file only
    // after its lines were loaded, so a file far over the line limit is never
    // held whole.
    SharedBytes paneText;
    float paneLineCount = 0;
    auto rawPane = [&]() -> std::string_view {
        if (!paneText) {
            if (input.rawPane) {
                RawPane pane = input.rawPane();
                paneText = std::make_shared<const std::string>(std::move(pane.text));
                paneLineCount = pane.previewLineCount;
            } else {
                paneText = input.fileBytes ? input.fileBytes
                                           : SharedBytes(std::make_shared<const std::string>());
                paneLineCount = files::previewLineCount(paneText.bytes);
            }
        }
        return paneText.bytes;
    };

    std::optional<int> loadFailure;
    if (input.isRtf) {
        // A current folder where the temporary file cannot be written (read
        // only, full, a folder of that name) is no failure: the text is at
        // hand and is read from memory instead.
        if (input.writeRtfTempFile && writeRtfTemp(rawPane()) == 0) {
            out.currentFile = RtfTempFileName;
            control.yield();
            if (control.abandoned())
                return abandon(out);
            loadFailure = loadLines(out.currentFile, store);
        } else {
            control.yield();
            if (control.abandoned())
                return abandon(out);
            auto text = std::make_shared<std::string>();
            text->reserve(rawPane().size() + 2);
            text->append(rawPane()).append("\r\n");
            const std::shared_ptr<const std::string> shared = std::move(text);
            loadFailure = loadLinesFromText(shared, store);
        }
        out.currentFile = textNameOf(label5);
    } else {
        control.yield();
        if (control.abandoned())
            return abandon(out);
        loadFailure = input.fileBytes ? loadLinesFromText(input.fileBytes, store)
                                      : loadLines(out.currentFile, store);
    }
    if (loadFailure)
        failure = loadFailure;
    control.yield();
    if (control.abandoned())
        return abandon(out);

    // Pre-processing: what stands before a leading "Fm " goes.
    const std::int32_t stored = std::min(store.count(), MaxLines);
    LineCaption caption = preprocessCaption();
    for (std::int32_t i = 1; i <= stored; ++i) {
        if (const std::size_t cut = preprocessCut(store.line(i)); cut != 0)
            store.dropPrefix(i, cut);
        control.preprocessLine(i, caption.forLine(i));
        if (control.abandoned())
            return abandon(out);
    }
    if (store.count() > MaxLines)
        failure = FailureLineLimit;
    out.lineCount = store.count();
    control.yield();
    if (control.abandoned())
        return abandon(out);

    if (failure) {
        out.end = RunOutcome::End::Failed;
        out.failure = Failure{*failure, failureMessage(*failure, out.currentFile)};
        return out;
    }

    // The main pass.
    const std::string_view pane = rawPane();
    AnalysisResult& result = out.result;
    result.lineCount = store.count();
    result.rawBytes = static_cast<float>(pane.size());
    heard.reset();
    if (input.keepProcessedText)
        out.processedText.reserve(pane.size() + 2);
    control.passStarted(store.count());
    std::optional<StationStats> stats;
    if (input.stationStatistics)
        stats.emplace(input.ownCall);
    const PassOutput pass =
        analyseLines(store, input.ownCall, paneLineCount, heard, control, result,
                     input.keepProcessedText ? &out.processedText : nullptr,
                     stats ? &*stats : nullptr);
    out.cancelled = pass.cancelled;
    control.yield();
    control.passEnded();
    if (control.abandoned())
        return abandon(out);

    // The conclusion.
    const bool removeTx = control.removeTxFrames();
    std::size_t processedSize = pass.processedSize;
    if (!removeTx) {
        if (input.keepProcessedText)
            out.processedText = pane;
        processedSize = pane.size();
        out.processedIsRawCopy = true;
    }
    out.previewLineCount = paneLineCount;
    out.heard = heard.listed();
    out.heardSorted = sortedHeard(out.heard);
    out.heardClipboard = heardClipboardText(out.heard);
    if (stats) {
        out.stations = stats->stations();
        out.activity = stats->activity();
    }
    ConclusionInput conclusion;
    conclusion.sourceDateText = out.sourceDateText;
    conclusion.removeTxFrames = removeTx;
    conclusion.processedBytes = static_cast<std::int32_t>(
        std::min<std::size_t>(processedSize, std::numeric_limits<std::int32_t>::max()));
    out.captions = conclude(result, conclusion);
    out.bringWindowToFront = input.isRtf;
    out.end = RunOutcome::End::Concluded;
    return out;
}

} // namespace tallix::analysis
