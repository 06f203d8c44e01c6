// The whole analysis run over arbitrary bytes: a plain file read from memory,
// the same file read from disk, and the same bytes as a rich-text source read
// back from the raw pane. The prompt's answer, the removal option (flipped
// during the pass) and a cancel come from the input, pseudo-randomly.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/line_store.h"
#include "analysis/run.h"
#include "analysis/summary.h"
#include "base/line_cutting.h"
#include "files/raw_text.h"
#include "fuzz_check.h"

using namespace tallix;
using analysis::RunOutcome;

namespace {

// Cancels and flips the removal option at given lines; records what a window
// would be told, as far as the checks need it.
class FuzzControl : public analysis::RunControl {
public:
    explicit FuzzControl(std::uint64_t choice)
        : answer_((choice & 1U) != 0), removal_((choice & 2U) != 0),
          flipAt_(static_cast<std::int32_t>((choice >> 8) % 48)),
          cancelAt_(static_cast<std::int32_t>((choice >> 16) % 64)) {}

    bool confirmUnrecognised(const base::MessageBox&) override {
        ++prompts;
        return answer_;
    }
    void passStarted(std::int32_t) override { ++passesStarted; }
    void processedLineAppended(std::string_view line) override {
        appended.append(line).append("\r\n");
    }
    void passLine(std::int32_t line, std::string_view) override {
        TALLIX_FUZZ_CHECK(line == lastLine + 1);
        lastLine = line;
        if (line == flipAt_)
            removal_ = !removal_;
        if (line == cancelAt_)
            cancel_ = true;
    }
    bool removeTxFrames() override { return removal_; }
    bool cancelRequested() override { return cancel_; }

    int prompts = 0;
    int passesStarted = 0;
    std::int32_t lastLine = 0;
    std::string appended;
    bool flipped() const { return flipAt_ != 0 && lastLine >= flipAt_; }

private:
    bool answer_;
    bool removal_;
    std::int32_t flipAt_;   // 0: never
    std::int32_t cancelAt_; // 0: never
    bool cancel_ = false;
};

// What holds for every run, whatever its source.
void checkOutcome(const RunOutcome& out, const analysis::LineStore& store,
                  const FuzzControl& control, std::string_view rawPane, bool isRtf) {
    TALLIX_FUZZ_CHECK(out.lineCount >= 0);
    TALLIX_FUZZ_CHECK(out.lineCount >= store.storedCount());
    TALLIX_FUZZ_CHECK(store.storedCount() == std::min(out.lineCount, analysis::MaxLines));
    if (isRtf)
        TALLIX_FUZZ_CHECK(control.prompts == 0);

    switch (out.end) {
    case RunOutcome::End::Declined:
        TALLIX_FUZZ_CHECK(!isRtf && control.prompts == 1);
        TALLIX_FUZZ_CHECK(out.fileKind == analysis::FileKind::Unrecognised);
        TALLIX_FUZZ_CHECK(out.figures == analysis::SummaryFigures{} && control.passesStarted == 0);
        return;
    case RunOutcome::End::Failed:
        TALLIX_FUZZ_CHECK(out.failure.has_value() && out.failure->code > 0);
        TALLIX_FUZZ_CHECK(!out.failure->message.text.empty());
        TALLIX_FUZZ_CHECK(out.figures == analysis::SummaryFigures{} && control.passesStarted == 0);
        return;
    case RunOutcome::End::Abandoned:
        TALLIX_FUZZ_CHECK(false); // nobody closes a window here
        return;
    case RunOutcome::End::Concluded:
        break;
    }
    TALLIX_FUZZ_CHECK(!out.failure.has_value());
    TALLIX_FUZZ_CHECK(control.passesStarted == 1);
    TALLIX_FUZZ_CHECK(control.lastLine <= store.storedCount());
    TALLIX_FUZZ_CHECK(out.cancelled || control.lastLine == store.storedCount());

    const auto& r = out.result;
    TALLIX_FUZZ_CHECK(r.lineCount == out.lineCount);
    TALLIX_FUZZ_CHECK(r.rawBytes == static_cast<float>(rawPane.size()));
    TALLIX_FUZZ_CHECK(r.keptLines >= 0 && r.keptLines <= control.lastLine);
    TALLIX_FUZZ_CHECK(r.receivedHeaders >= 0 && r.receivedHeaders <= control.lastLine);
    TALLIX_FUZZ_CHECK(r.transmittedFrames >= 0 && r.transmittedFrames <= control.lastLine);
    TALLIX_FUZZ_CHECK(r.ownDigipeated >= 0 && r.ownDigipeated <= r.keptLines);
    TALLIX_FUZZ_CHECK(out.heard.size() == out.heardSorted.size());
    TALLIX_FUZZ_CHECK(out.figures.lineCount == std::to_string(out.lineCount));

    // Every station's frames are those of its paths, and no path is empty.
    std::map<std::string, std::int64_t> overPaths;
    for (const analysis::PathRecord& p : out.paths.records()) {
        TALLIX_FUZZ_CHECK(p.frames > 0);
        overPaths[p.station] += p.frames;
    }
    for (const analysis::StationRecord& s : out.stations)
        TALLIX_FUZZ_CHECK(overPaths[s.call] == s.frames);
    TALLIX_FUZZ_CHECK(overPaths.size() == out.stations.size());

    // The processed text and its size figure.
    TALLIX_FUZZ_CHECK(static_cast<std::size_t>(r.processedBytes) == out.processedText.size());
    TALLIX_FUZZ_CHECK(out.figures.processedSize == analysis::processedSizeText(r.processedBytes));
    if (out.processedIsRawCopy) {
        TALLIX_FUZZ_CHECK(out.processedText == rawPane);
        TALLIX_FUZZ_CHECK(out.figures.processedCaption == analysis::ProcessedCaptionKept);
    } else {
        TALLIX_FUZZ_CHECK(out.figures.processedCaption == analysis::ProcessedCaptionRemoved);
        // What the window was told to append is the processed text.
        TALLIX_FUZZ_CHECK(out.processedText == control.appended);
        if (!control.flipped())
            TALLIX_FUZZ_CHECK(std::count(out.processedText.begin(), out.processedText.end(),
                                         '\n') >= r.keptLines);
    }
}

// The file the runs look at (validation and the file's date); one per process.
const std::string& scratchPath() {
    static const std::string path = fuzz::scratchFile("run", ".rtf.log");
    return path;
}

void writeScratch(std::string_view bytes) {
    std::FILE* f = std::fopen(scratchPath().c_str(), "wb");
    TALLIX_FUZZ_CHECK(f != nullptr);
    TALLIX_FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    TALLIX_FUZZ_CHECK(std::fclose(f) == 0);
}

// The line cutter fed in pieces of pseudo-random sizes gives the same lines as
// the whole text cut at once.
void checkSplitter(std::string_view bytes, std::uint64_t choice) {
    const std::vector<std::string_view> whole = base::splitLines(bytes);
    std::vector<std::string> pieces;
    base::LineSplitter splitter;
    auto onLine = [&](std::string_view line) { pieces.emplace_back(line); };
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t n = std::min<std::size_t>(bytes.size() - pos, 1 + choice % 7);
        choice = choice * 6364136223846793005ULL + 1442695040888963407ULL;
        splitter.feed(bytes.substr(pos, n), onLine);
        pos += n;
    }
    splitter.finish(onLine);
    TALLIX_FUZZ_CHECK(pieces.size() == whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
        TALLIX_FUZZ_CHECK(pieces[i] == whole[i]);
}

// A control that keeps the removal option and never cancels, watching the
// run (a window) or not (a terminal, which reads the file as it goes).
class SteadyControl : public analysis::RunControl {
public:
    SteadyControl(bool removal, bool watched) : removal_(removal), watched_(watched) {}
    bool removeTxFrames() override { return removal_; }
    bool showsProgress() override { return watched_; }

private:
    bool removal_, watched_;
};

// The same file read as a window reads it and as a terminal does: the same
// outcome, figure by figure.
void checkUnwatchedRun(std::uint64_t choice) {
    analysis::RunOutcome outcomes[2];
    for (const bool watched : {true, false}) {
        analysis::RunInput input;
        input.currentFile = scratchPath();
        input.ownCall = (choice & 4U) != 0 ? "PA3XYZ" : "ON4AB";
        input.keepProcessedText = false;
        input.previewLineFigure = (choice & 16U) != 0;
        analysis::LineStore store;
        analysis::HeardStore heard;
        SteadyControl control((choice & 2U) != 0, watched);
        outcomes[watched ? 0 : 1] = analysis::runAnalysis(input, store, heard, control);
    }
    const RunOutcome& a = outcomes[0];
    const RunOutcome& b = outcomes[1];
    TALLIX_FUZZ_CHECK(a.end == b.end && a.lineCount == b.lineCount);
    TALLIX_FUZZ_CHECK((a.failure ? a.failure->code : 0) == (b.failure ? b.failure->code : 0));
    TALLIX_FUZZ_CHECK(a.figures == b.figures && a.heard == b.heard);
    TALLIX_FUZZ_CHECK(a.previewLineCount == b.previewLineCount);
    TALLIX_FUZZ_CHECK(a.result.rawBytes == b.result.rawBytes);
    TALLIX_FUZZ_CHECK(a.stations.size() == b.stations.size());
    TALLIX_FUZZ_CHECK(a.activity.minutes == b.activity.minutes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::uint64_t choice = fuzz::hashOf(bytes);
    // The own call: none, or one that the seed logs use.
    const std::string ownCall = (choice & 4U) != 0 ? "PA3XYZ" : ((choice & 8U) != 0 ? "" : "ON4AB");
    writeScratch(bytes);
    checkSplitter(bytes, choice >> 24);
    checkUnwatchedRun(choice);

    const auto shared = std::make_shared<const std::string>(bytes);

    // A plain file whose bytes were read already.
    analysis::RunInput input;
    input.currentFile = scratchPath();
    input.ownCall = ownCall;
    input.fileBytes = shared;
    analysis::LineStore store;
    analysis::HeardStore heard;
    FuzzControl control(choice);
    const RunOutcome fromMemory = analysis::runAnalysis(input, store, heard, control);
    checkOutcome(fromMemory, store, control, bytes, false);
    if (fromMemory.end == RunOutcome::End::Concluded)
        TALLIX_FUZZ_CHECK(static_cast<std::size_t>(fromMemory.lineCount) ==
                          base::splitLines(bytes).size());

    // The same file read from disk, with the raw pane holding its bytes: the
    // same outcome.
    analysis::RunInput fromDiskInput;
    fromDiskInput.currentFile = scratchPath();
    fromDiskInput.ownCall = ownCall;
    fromDiskInput.rawPane = [shared] {
        return analysis::RawPane{*shared, files::previewLineCount(*shared)};
    };
    analysis::LineStore diskStore;
    FuzzControl diskControl(choice);
    const RunOutcome fromDisk = analysis::runAnalysis(fromDiskInput, diskStore, heard, diskControl);
    checkOutcome(fromDisk, diskStore, diskControl, bytes, false);
    TALLIX_FUZZ_CHECK(fromDisk.end == fromMemory.end);
    TALLIX_FUZZ_CHECK(fromDisk.lineCount == fromMemory.lineCount);
    TALLIX_FUZZ_CHECK(fromDisk.processedText == fromMemory.processedText);
    TALLIX_FUZZ_CHECK(fromDisk.figures == fromMemory.figures);
    TALLIX_FUZZ_CHECK(fromDisk.heard == fromMemory.heard);

    // A rich-text source: the raw pane's text as the preview takes it from
    // these bytes, read from memory; the store keeps what the earlier run left.
    const std::string pane = files::rawTextFromBytes(std::string(bytes)).text;
    analysis::RunInput rtfInput;
    rtfInput.currentFile = scratchPath();
    rtfInput.isRtf = true;
    rtfInput.writeRtfTempFile = false;
    rtfInput.ownCall = ownCall;
    rtfInput.rawPane = [&pane] { return analysis::RawPane{pane, files::previewLineCount(pane)}; };
    FuzzControl rtfControl(choice >> 32);
    const RunOutcome fromRtf = analysis::runAnalysis(rtfInput, store, heard, rtfControl);
    checkOutcome(fromRtf, store, rtfControl, pane, true);
    // The pane's text and one CR LF were read as lines.
    TALLIX_FUZZ_CHECK(static_cast<std::size_t>(fromRtf.lineCount) ==
                      base::splitLines(pane + "\r\n").size());
    if (fromRtf.lineCount <= analysis::MaxLines) {
        TALLIX_FUZZ_CHECK(fromRtf.end == RunOutcome::End::Concluded);
        TALLIX_FUZZ_CHECK(fromRtf.bringWindowToFront);
    }
    return 0;
}
