#pragma once
// Helpers shared by the tests: a scratch folder that removes itself, a scripted
// RunControl that records what the window would be told, and a way to run one
// analysis over a text written to a file.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "analysis/figure_table.h"
#include "analysis/run.h"

namespace tallix::testsupport {

// Name generator for INSTANTIATE_TEST_SUITE_P over rows with a `name`: letters
// and digits kept, the rest "_".
struct RowName {
    template <class Row> std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        std::string out = row.param.name;
        for (char& c : out)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return out;
    }
};

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir() {
        std::string name = (std::filesystem::temp_directory_path() / "tallix-test-XXXXXX").string();
        dir_ = ::mkdtemp(name.data());
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
        std::ofstream(path(name), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }

private:
    std::filesystem::path dir_;
};

inline std::string readBytes(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

// Joins lines, each followed by CR LF.
inline std::string crlfLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

// "a|b||c" as the lines a, b, an empty one and c (a last empty line is lost).
inline std::vector<std::string> bars(const std::string& joined) {
    std::vector<std::string> out;
    std::istringstream in(joined);
    for (std::string part; std::getline(in, part, '|');)
        out.push_back(part);
    return out;
}

// Answers the prompt, cancels or flips the removal option after a given line,
// and records what the window is told.
class ScriptedControl : public analysis::RunControl {
public:
    bool answerPrompt = true;
    bool removal = true;
    std::int32_t cancelAfterLine = 0;      // 0: never
    std::int32_t flipRemovalAfterLine = 0; // 0: never
    bool cancel = false;

    std::vector<app::MessageBox> prompts;
    std::vector<std::string> intakePaths, preprocessCaptions, heardCalls, appended, passCaptions;
    std::vector<std::int32_t> passStartedCounts;

    bool confirmUnrecognised(const app::MessageBox& box) override {
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

// One run over `content` written to a file named `name` in `dir`; the raw pane
// holds the same bytes.
inline analysis::RunOutcome runOver(const TempDir& dir, std::string_view name,
                                    const std::string& content, const std::string& ownCall,
                                    analysis::RunControl& control) {
    analysis::RunInput input;
    input.currentFile = dir.write(name, content);
    input.ownCall = ownCall;
    input.rawPane = [content] { return analysis::RawPane{content, 0}; };
    analysis::LineStore store;
    analysis::HeardStore heard;
    return analysis::runAnalysis(input, store, heard, control);
}

} // namespace tallix::testsupport

namespace tallix::analysis {

// The figures as a failed comparison shows them, by the labels that show them.
inline void PrintTo(const SummaryFigures& figures, std::ostream* out) {
    for (const FigurePlace& place : FigureTable)
        *out << place.element << '=' << figures.*place.figure << "; ";
}

} // namespace tallix::analysis
