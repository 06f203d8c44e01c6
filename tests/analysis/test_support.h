#pragma once
// Helpers shared by the analysis tests: a scratch folder that removes itself,
// a scripted RunControl that records what the window would be told, and a way
// to run one analysis over a text written to a file.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/run.h"
#include "app/message_box.h"

namespace tallix::testsupport {

// A row's name as a test name: letters and digits kept, the rest "_".
inline std::string testName(std::string_view name) {
    std::string out;
    for (char c : name)
        out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return out;
}

// Name generator for INSTANTIATE_TEST_SUITE_P over rows with a `name`.
struct RowName {
    template <class Row> std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return testName(row.param.name);
    }
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        std::mt19937_64 gen((static_cast<std::uint64_t>(rd()) << 32) ^ rd());
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            dir_ = base / ("tallix-test-" + std::to_string(gen()));
            if (std::filesystem::create_directory(dir_))
                break;
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::string path(std::string_view name) const { return (dir_ / name).string(); }

    // Writes the bytes exactly as given and returns the file's path.
    std::string write(std::string_view name, std::string_view bytes) const {
        const std::string p = path(name);
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

private:
    std::filesystem::path dir_;
};

inline std::string readBytes(const std::string& path) {
    std::string out;
    std::ifstream in(path, std::ios::binary);
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        out.append(buffer, static_cast<std::size_t>(in.gcount()));
    return out;
}

// Joins lines, each followed by CR LF.
inline std::string crlfLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

// Answers the prompt, cancels or flips the removal option after a given line,
// and records every point the window is told about.
class ScriptedControl : public analysis::RunControl {
public:
    bool answerPrompt = true;
    bool removal = true;
    std::int32_t cancelAfterLine = 0;      // 0: never
    std::int32_t flipRemovalAfterLine = 0; // 0: never

    std::vector<app::MessageBox> prompts;
    std::vector<std::string> intakePaths;
    std::vector<std::int32_t> preprocessLines;
    std::vector<std::string> preprocessCaptions;
    std::vector<std::int32_t> passStartedCounts;
    std::vector<std::string> heardCalls;
    std::vector<std::string> appended;
    std::vector<std::int32_t> passLines;
    std::vector<std::string> passCaptions;
    int passEndedCount = 0;

    bool confirmUnrecognised(const app::MessageBox& box) override {
        prompts.push_back(box);
        return answerPrompt;
    }
    void intakeStarted(std::string_view path) override { intakePaths.emplace_back(path); }
    void preprocessLine(std::int32_t line, std::string_view caption) override {
        preprocessLines.push_back(line);
        // Keeping every caption of a 65000-line run would be wasteful; the
        // first few and the last one tell all.
        if (preprocessCaptions.size() < 100)
            preprocessCaptions.emplace_back(caption);
        lastPreprocessCaption.assign(caption);
    }
    void passStarted(std::int32_t lineCount) override { passStartedCounts.push_back(lineCount); }
    void heardAdded(std::string_view call) override { heardCalls.emplace_back(call); }
    void processedLineAppended(std::string_view line) override { appended.emplace_back(line); }
    void passLine(std::int32_t line, std::string_view caption) override {
        passLines.push_back(line);
        passCaptions.emplace_back(caption);
        if (flipRemovalAfterLine != 0 && line == flipRemovalAfterLine)
            removal = !removal;
        if (cancelAfterLine != 0 && line == cancelAfterLine)
            cancel = true;
    }
    bool removeTxFrames() override { return removal; }
    bool cancelRequested() override { return cancel; }
    void passEnded() override { ++passEndedCount; }

    std::string lastPreprocessCaption;

private:
    bool cancel = false;
};

// One run over `content` written to a file named `name` in `dir`; the raw pane
// holds the same bytes.
inline analysis::RunOutcome runOver(const TempDir& dir, std::string_view name,
                                    const std::string& content, const std::string& ownCall,
                                    analysis::RunControl& control, float previewLineCount = 0) {
    analysis::RunInput input;
    input.currentFile = dir.write(name, content);
    input.ownCall = ownCall;
    input.rawPane = [content, previewLineCount] {
        return analysis::RawPane{content, previewLineCount};
    };
    analysis::LineStore store;
    analysis::HeardStore heard;
    return analysis::runAnalysis(input, store, heard, control);
}

// The caption of an element, or a marker text when the run did not write it.
inline std::string captionOf(const analysis::RunOutcome& outcome, std::string_view element) {
    const std::string* c = outcome.caption(element);
    return c ? *c : std::string("<no caption ") + std::string(element) + ">";
}

} // namespace tallix::testsupport
