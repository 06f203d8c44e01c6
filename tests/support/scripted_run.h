#pragma once
// A scripted RunControl that records what the window would be told, and a way
// to run one analysis over a text written to a file.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/figure_table.h"
#include "analysis/run.h"
#include "temp_dir.h"

namespace tallix::testsupport {

// Answers the prompt, cancels or flips the removal option after a given line,
// and records what the window is told.
class ScriptedControl : public analysis::RunControl {
public:
    bool answerPrompt = true;
    bool removal = true;
    std::int32_t cancelAfterLine = 0;      // 0: never
    std::int32_t flipRemovalAfterLine = 0; // 0: never
    bool cancel = false;

    std::vector<base::MessageBox> prompts;
    std::vector<std::string> intakePaths, preprocessCaptions, heardCalls, appended, passCaptions;
    std::vector<std::int32_t> passStartedCounts;

    bool confirmUnrecognised(const base::MessageBox& box) override {
        prompts.push_back(box);
        return answerPrompt;
    }
    void intakeStarted(std::string_view path) override { intakePaths.emplace_back(path); }
    void preprocessLine(std::int32_t, std::string_view caption) override {
        preprocessCaptions.emplace_back(caption);
    }
    void passStarted(std::int32_t lineCount) override { passStartedCounts.push_back(lineCount); }
    void heardAdded(std::string_view call) override { heardCalls.emplace_back(call); }
    void processedLineAppended(std::string_view line) override { appended.emplace_back(line); }
    void passLine(std::int32_t line, std::string_view caption) override {
        passCaptions.emplace_back(caption);
        removal = line == flipRemovalAfterLine ? !removal : removal;
        cancel = cancel || line == cancelAfterLine;
    }
    bool removeTxFrames() override { return removal; }
    bool cancelRequested() override { return cancel; }
};

// The input of a run over `content` written to a file named `name` in `dir`;
// the raw pane holds the same bytes. The file's date reads as a fixed text, so
// that two runs compared figure by figure do not differ by their files' ages.
inline analysis::RunInput inputOver(const TempDir& dir, std::string_view name,
                                    const std::string& content, const std::string& ownCall) {
    analysis::RunInput input;
    input.currentFile = dir.write(name, content);
    input.ownCall = ownCall;
    input.rawPane = [content] { return analysis::RawPane{content, 0}; };
    input.dateFormat.shortDate = [](const files::LocalDateTime&) { return std::string("date"); };
    input.dateFormat.longTime = [](const files::LocalDateTime&) { return std::string("time"); };
    return input;
}

// One run of `input` with stores of its own.
inline analysis::RunOutcome runFresh(const analysis::RunInput& input,
                                     analysis::RunControl& control) {
    analysis::LineStore store;
    analysis::HeardStore heard;
    return analysis::runAnalysis(input, store, heard, control);
}

inline analysis::RunOutcome runOver(const TempDir& dir, std::string_view name,
                                    const std::string& content, const std::string& ownCall,
                                    analysis::RunControl& control) {
    return runFresh(inputOver(dir, name, content, ownCall), control);
}

} // namespace tallix::testsupport

namespace tallix::analysis {

// The figures as a failed comparison shows them, by the labels that show them.
inline void PrintTo(const SummaryFigures& figures, std::ostream* out) {
    for (const FigurePlace& place : FigureTable)
        *out << place.element << '=' << figures.*place.figure << "; ";
}

} // namespace tallix::analysis
