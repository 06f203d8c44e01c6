#include "analysis/run.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <memory>

#include "base/error_numbers.h"
#include "base/input_file.h"
#include "files/raw_text.h"
#include "text/basic_text.h"

namespace tallix::analysis {

namespace {

// Writes the raw pane's text and one CR LF to the temporary file. Returns the
// error number of a failure, or 0.
int writeRtfTemp(std::string_view text) {
    errno = 0;
    std::FILE* f = std::fopen(RtfTempFileName, "wb");
    if (!f)
        return base::errorNumberFromErrno(errno);
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fwrite("\r\n", 1, 2, f) == 2 && ok;
    const int writeErr = errno;
    ok = std::fclose(f) == 0 && ok;
    return ok ? 0 : base::errorNumberFromErrno(writeErr != 0 ? writeErr : errno);
}

// The same for a source whose text the caller does not hold: it goes from the
// file to the temporary file a piece at a time (see files::readPaneText).
// Returns the error number of a failure to read the source or to write.
int writeRtfTempFrom(const std::string& source, RunControl& control) {
    base::InputFile check(source);
    if (!check.isOpen())
        return check.errorNumber(); // the temporary file stays as it was
    errno = 0;
    std::FILE* f = std::fopen(RtfTempFileName, "wb");
    if (!f)
        return base::errorNumberFromErrno(errno);
    int writeErr = 0;
    const files::PaneTextRead read = files::readPaneText(
        source,
        [&](std::string_view piece, std::uint64_t) {
            if (writeErr == 0 && std::fwrite(piece.data(), 1, piece.size(), f) != piece.size())
                writeErr = errno != 0 ? errno : EIO;
        },
        [&] { control.loading(); });
    if (writeErr == 0 && std::fwrite("\r\n", 1, 2, f) != 2)
        writeErr = errno != 0 ? errno : EIO;
    if (std::fclose(f) != 0 && writeErr == 0)
        writeErr = errno != 0 ? errno : EIO;
    if (read.errorNumber != 0)
        return read.errorNumber;
    return writeErr == 0 ? 0 : base::errorNumberFromErrno(writeErr);
}

// The raw pane's text of a source and one CR LF, read into memory: where the
// temporary file cannot be written. Rich text's own bytes are let go before
// the lines are cut from its plain text.
std::optional<int> loadRtfFromSource(const std::string& source, LineStore& store,
                                     RunControl& control) {
    auto text = std::make_shared<std::string>();
    const files::PaneTextRead read = files::readPaneText(
        source,
        [&](std::string_view piece, std::uint64_t most) {
            if (text->capacity() < most + 2)
                text->reserve(static_cast<std::size_t>(most) + 2);
            text->append(piece);
        },
        [&] { control.loading(); });
    if (read.errorNumber != 0) {
        store.clear();
        return read.errorNumber;
    }
    text->append("\r\n");
    const std::shared_ptr<const std::string> shared = std::move(text);
    return loadLinesFromText(shared, store);
}

// CurrentFile for the rest of the program after a rich-text run: the source
// path with ".txt" in place of its last four characters.
std::string textNameOf(const std::string& path) {
    return path.substr(0, path.size() >= 4 ? path.size() - 4 : 0) + ".txt";
}

// The conclusion: the figures, the heard lists and their texts. `pane` is
// the raw pane's text, needed only when the processed text is kept.
void concludeRun(const RunInput& input, RunControl& control, const HeardStore& heard,
                 const std::shared_ptr<const StationStats>& stats, const PassOutput& pass,
                 std::size_t paneSize, std::string_view pane, float paneLineCount,
                 RunOutcome& out) {
    const bool removeTx = control.removeTxFrames();
    std::size_t processedSize = pass.processedSize;
    if (!removeTx) {
        if (input.keepProcessedText)
            out.processedText = pane;
        processedSize = paneSize;
        out.processedIsRawCopy = true;
    }
    out.previewLineCount = paneLineCount;
    out.heard = heard.listed();
    out.heardSorted = sortedHeard(out.heard);
    out.heardClipboard = heardClipboardText(out.heard);
    if (stats) {
        out.stations = stats->stations();
        out.activity = stats->activity();
        out.paths = PathTable(stats);
    }
    ConclusionInput conclusion;
    conclusion.sourceDateText = out.sourceDateText;
    conclusion.removeTxFrames = removeTx;
    conclusion.processedBytes = static_cast<std::int32_t>(
        std::min<std::size_t>(processedSize, std::numeric_limits<std::int32_t>::max()));
    out.figures = conclude(out.result, conclusion);
    out.bringWindowToFront = input.isRtf;
    out.end = RunOutcome::End::Concluded;
}

void failRun(int code, RunOutcome& out) {
    out.end = RunOutcome::End::Failed;
    out.failure = Failure{code, failureMessage(code, out.currentFile)};
}

// A run that nobody watches, over a plain file whose processed text is not
// kept, made as the file is read: each line is pre-processed and analysed as
// soon as it is cut, and no copy of the file is held. The same figures as the
// ordinary way. False, with nothing changed, when the contents begin as rich
// text (their raw pane is the rich text's plain text): then the ordinary way.
bool runWhileReading(const RunInput& input, HeardStore& heard, RunControl& control,
                     RunOutcome& out) {
    base::InputFile file(input.currentFile);
    if (!file.isOpen()) {
        failRun(file.errorNumber(), out);
        return true;
    }
    constexpr std::size_t Chunk = 256 * 1024;
    std::unique_ptr<char[]> buffer(new char[Chunk]);
    long got = file.read(buffer.get(), Chunk);
    if (got > 0 &&
        files::looksLikeRtf(std::string_view(buffer.get(), static_cast<std::size_t>(got))))
        return false;

    heard.reset();
    std::shared_ptr<StationStats> stats;
    if (input.stationStatistics)
        stats = std::make_shared<StationStats>(input.ownCall, input.stationPaths);
    FramePass pass(input.ownCall, 0, heard, control, out.result, nullptr, stats.get());
    std::int32_t count = 0;
    std::optional<int> failure;
    base::LineSplitter splitter;
    auto onLine = [&](std::string_view line) {
        if (failure == FailureOverflow)
            return;
        if (count == std::numeric_limits<std::int32_t>::max()) {
            failure = FailureOverflow;
            return;
        }
        if (++count > MaxLines)
            return; // counted, never analysed
        line = text::trimTrailingSpaces(line);
        pass.step(count, line.substr(preprocessCut(line)));
    };
    std::uint64_t bytes = 0;
    files::BreakCounter breaks;
    for (; got > 0; got = file.read(buffer.get(), Chunk)) {
        const std::string_view chunk(buffer.get(), static_cast<std::size_t>(got));
        bytes += chunk.size();
        if (input.previewLineFigure)
            breaks.add(chunk);
        splitter.expectMore(static_cast<std::size_t>(
            std::max<std::uint64_t>(file.sizeAtOpen(), bytes) - bytes + chunk.size()));
        splitter.feed(chunk, onLine);
    }
    if (got < 0)
        failure = base::errorNumberFromErrno(errno != 0 ? errno : EIO);
    else
        splitter.finish(onLine);
    if (count > MaxLines)
        failure = FailureLineLimit;
    out.lineCount = count;
    if (failure) {
        out.result = {}; // as a run that fails before its main pass
        failRun(*failure, out);
        return true;
    }

    out.result.lineCount = count;
    out.result.rawBytes = static_cast<float>(bytes);
    control.passStarted(count);
    const PassOutput passed = pass.finish();
    control.yield();
    control.passEnded();
    const float paneLineCount =
        input.previewLineFigure ? static_cast<float>(breaks.breaks()) - 1.0f : 0.0f;
    concludeRun(input, control, heard, stats, passed, static_cast<std::size_t>(bytes), {},
                paneLineCount, out);
    return true;
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

    if (!control.showsProgress() && !input.isRtf && !input.rawPane && !input.fileBytes &&
        !input.keepProcessedText && !failure) {
        store.clear();
        if (runWhileReading(input, heard, control, out))
            return out;
    }

    // The raw pane is fetched once, when first needed: for a plain file only
    // after its lines were loaded, so a file far over the line limit is never
    // held whole.
    SharedBytes paneText;
    float paneLineCount = 0;
    // A rich-text source the caller does not hold is read from the file: its
    // lines are then those of the raw pane's text and a CR LF.
    const bool rtfFromSource = input.isRtf && !input.rawPane && !input.fileBytes;
    auto rawPane = [&]() -> std::string_view {
        if (!paneText) {
            if (rtfFromSource) {
                paneText = store.text();
                if (paneText.bytes.size() >= 2)
                    paneText.bytes.remove_suffix(2);
                if (!paneText)
                    paneText = std::make_shared<const std::string>();
                if (input.previewLineFigure)
                    paneLineCount = files::previewLineCount(paneText.bytes);
            } else if (input.rawPane) {
                RawPane pane = input.rawPane();
                paneText = std::make_shared<const std::string>(std::move(pane.text));
                paneLineCount = pane.previewLineCount;
            } else {
                // The bytes the lines were cut from, as the preview would show
                // them: contents that begin as rich text are shown as such.
                if (input.fileBytes)
                    paneText = input.fileBytes;
                else if (store.text() && files::looksLikeRtf(store.text().bytes))
                    paneText = std::make_shared<const std::string>(
                        files::richPlainText(store.text().bytes, [&] { control.loading(); }));
                else
                    paneText = store.text();
                if (!paneText)
                    paneText = std::make_shared<const std::string>();
                if (input.previewLineFigure)
                    paneLineCount = files::previewLineCount(paneText.bytes);
            }
        }
        return paneText.bytes;
    };

    std::optional<int> loadFailure;
    if (input.isRtf) {
        // A current folder where the temporary file cannot be written (read
        // only, full, a folder of that name) is no failure: the text is read
        // into memory instead. A source the caller does not hold goes from
        // the file to the temporary file a piece at a time.
        const int written = !input.writeRtfTempFile ? -1
                            : rtfFromSource         ? writeRtfTempFrom(label5, control)
                                                    : writeRtfTemp(rawPane());
        if (written == 0)
            out.currentFile = RtfTempFileName;
        control.yield();
        if (control.abandoned())
            return abandon(out);
        if (written == 0) {
            loadFailure = loadLines(out.currentFile, store, [&] { control.loading(); });
        } else if (rtfFromSource) {
            loadFailure = loadRtfFromSource(label5, store, control);
        } else {
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
        loadFailure = input.fileBytes
                          ? loadLinesFromText(input.fileBytes, store)
                          : loadLines(out.currentFile, store, [&] { control.loading(); });
    }
    if (loadFailure)
        failure = loadFailure;
    control.yield();
    if (control.abandoned())
        return abandon(out);

    // Pre-processing: what stands before a leading "Fm " goes.
    const std::int32_t stored = std::min(store.count(), MaxLines);
    LineCaption caption = preprocessCaption();
    const bool captions = control.showsProgress();
    for (std::int32_t i = 1; i <= stored; ++i) {
        if (const std::size_t cut = preprocessCut(store.line(i)); cut != 0)
            store.dropPrefix(i, cut);
        if (captions) {
            control.preprocessLine(i, caption.forLine(i));
            if (control.abandoned())
                return abandon(out);
        }
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
    std::shared_ptr<StationStats> stats;
    if (input.stationStatistics)
        stats = std::make_shared<StationStats>(input.ownCall, input.stationPaths);
    const PassOutput pass =
        analyseLines(store, input.ownCall, paneLineCount, heard, control, result,
                     input.keepProcessedText ? &out.processedText : nullptr, stats.get());
    out.cancelled = pass.cancelled;
    control.yield();
    control.passEnded();
    if (control.abandoned())
        return abandon(out);

    concludeRun(input, control, heard, stats, pass, pane.size(), pane, paneLineCount, out);
    out.rawPaneText = paneText;
    return out;
}

} // namespace tallix::analysis
