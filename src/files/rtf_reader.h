#pragma once
// A reader of the standard rich-text format (RTF) into paragraphs of plain
// 8-bit text with their alignment, indents and character formatting. No library; any
// input, however malformed, gives a best-effort result without crashing.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tallix::files {

enum class Alignment { Left, Center, Right, Justify };

// A run of characters with one character formatting.
struct RtfRun {
    std::string text; // Windows-1252 bytes
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::uint32_t color = 0; // 0xRRGGBB; 0 when automatic/black
    int fontSizeHalfPoints = 24;
    friend bool operator==(const RtfRun&, const RtfRun&) = default;
};

// A paragraph's layout: its alignment and its indents in twips (\li, \ri,
// \fi; the first-line indent may be negative, a hanging indent).
struct ParagraphFormat {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;
    friend bool operator==(const ParagraphFormat&, const ParagraphFormat&) = default;
};

struct RtfParagraph {
    ParagraphFormat format;
    std::vector<RtfRun> runs;
    std::string text() const; // the runs' texts joined
};

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;
    // The plain text: paragraphs joined with CR LF; the text after the last
    // paragraph mark is the last line, without a break after it.
    std::string plainText() const;
};

// Parses `bytes` as RTF. Input that does not begin with "{\rtf" is not RTF; the
// caller decides that before calling (see looksLikeRtf in raw_text.h).
RtfDocument readRtf(std::string_view bytes);

// The same document's plain text only (RtfDocument::plainText()), without
// its paragraphs and runs, handed to `sink` a piece at a time as the input is
// read (about one piece per megabyte of input, the last one possibly empty).
void readRtfText(std::string_view bytes, const std::function<void(std::string_view)>& sink);

} // namespace tallix::files
