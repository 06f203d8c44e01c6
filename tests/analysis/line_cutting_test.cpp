#include "base/line_cutting.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "row_name.h"

namespace tallix::analysis {
namespace {

struct SplitRow : testsupport::NamedRow {
    std::string text;
    std::vector<std::string> lines;
};

std::vector<std::string> viaSplitLines(const std::string& text) {
    std::vector<std::string> out;
    for (auto l : base::splitLines(text))
        out.emplace_back(l);
    return out;
}

// Feeds the text to the splitter in pieces of `piece` bytes, so that every
// CR LF is also met cut between two pieces.
std::vector<std::string> viaSplitter(const std::string& text, std::size_t piece) {
    std::vector<std::string> out;
    base::LineSplitter splitter;
    auto onLine = [&](std::string_view l) { out.emplace_back(l); };
    for (std::size_t pos = 0; pos < text.size(); pos += piece)
        splitter.feed(std::string_view(text).substr(pos, piece), onLine);
    splitter.finish(onLine);
    return out;
}

std::vector<std::string> viaReader(const std::string& text,
                                   std::size_t keepBytes = std::string::npos) {
    std::FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    base::LineReader reader(f, keepBytes);
    std::vector<std::string> out;
    std::string line;
    while (reader.next(line))
        out.push_back(line);
    std::fclose(f);
    return out;
}

class LineSplitTest : public testing::TestWithParam<SplitRow> {};

TEST_P(LineSplitTest, EveryReaderCutsTheSameLines) {
    const auto& row = GetParam();
    EXPECT_EQ(viaSplitLines(row.text), row.lines);
    EXPECT_EQ(viaReader(row.text), row.lines);
    for (std::size_t piece = 1; piece <= 4; ++piece)
        EXPECT_EQ(viaSplitter(row.text, piece), row.lines) << "pieces of " << piece;
    // Keeping only the start of every line changes which bytes, not which lines.
    std::vector<std::string> starts;
    for (const auto& l : row.lines)
        starts.push_back(l.substr(0, 1));
    EXPECT_EQ(viaReader(row.text, 1), starts);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, LineSplitTest,
    testing::Values(SplitRow{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                    SplitRow{"LoneCr", "a\rb", {"a", "b"}},
                    SplitRow{"LoneLfStaysInTheLine", "a\nb\r\nc", {"a\nb", "c"}},
                    SplitRow{"LastLineWithoutBreak", "a\r\nlast", {"a", "last"}},
                    SplitRow{"CrBeforeCrLf", "a\r\r\nb", {"a", "", "b"}},
                    SplitRow{"NulBytesKept", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace tallix::analysis
