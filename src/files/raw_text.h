#pragma once
// The raw text of a file as the preview shows it, and the facts the preview
// derives from it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "files/rtf_reader.h"

namespace tallix::files {

// True when the upper-cased path contains ".RTF" anywhere.
bool isRtfPath(std::string_view path);
// True when the contents begin as rich text ("{\rtf").
bool looksLikeRtf(std::string_view bytes);

// The line figure of a loaded text: the number of line breaks (CR LF, a lone
// CR and a lone LF each count as one) minus 1.
float previewLineCount(std::string_view text);
// The number of those breaks.
std::size_t lineBreaks(std::string_view text);

// The breaks of a text handed over in pieces: a CR LF cut between two pieces
// is one break.
class BreakCounter {
public:
    void add(std::string_view piece);
    std::uint64_t breaks() const { return breaks_; }
    std::uint64_t bytes() const { return bytes_; }

private:
    std::uint64_t breaks_ = 0;
    std::uint64_t bytes_ = 0;
    bool lastWasCr_ = false;
};

struct RawText {
    bool loaded = false;
    int errorNumber = 0;   // why it could not be loaded
    bool richText = false; // the contents were read as rich text
    std::string text;      // the pane's plain text (8-bit)
    RtfDocument document;  // paragraphs and formatting, for rich text
};

// The plain text of rich text, without its paragraphs and runs; `reading` is
// called after every megabyte of it.
std::string richPlainText(std::string_view bytes, const std::function<void()>& reading = {});

// Loads a file as the raw pane does: rich text when its contents begin as rich
// text, else the bytes exactly as they are.
RawText loadRawText(const std::string& path);
// The same over bytes already read.
RawText rawTextFromBytes(std::string bytes);

// A pane shows a text only while laying it out stays quick and sound: up to
// this many bytes, with no line longer than LongestPaneLine characters.
// Beyond that it shows a notice in its place; the figures never depend on it.
inline constexpr std::uint64_t LargestPaneText = 8'000'000;
inline constexpr std::size_t LongestPaneLine = 65'536;

// The length of the longest line (a CR, an LF or a CR LF ends one).
std::size_t longestLine(std::string_view text);

enum class PaneText { RawFile, Processed };
// The notice a pane shows in place of a text of `bytes` bytes whose longest
// line is `longest` long; empty when the text itself is shown. The processed
// pane's `bytes` are those of the raw text it comes from.
std::string paneNotice(PaneText pane, std::uint64_t bytes, std::size_t longest);

// What the raw pane shows of a file and the line figure under it.
struct Preview {
    RawText raw;           // `raw.text` stays empty when the text is not held
    bool textHeld = false; // the text is in `raw.text`
    float lineCount = 0;   // PreviewLineCount, over the whole file
    std::string notice;    // shown instead of the text, when not empty
};

// Loads the preview of a file. A text too large to show is not held: a plain
// file is read piece by piece for its line figure only, rich text is read
// whole and its plain text counted as it is made. `reading` is called after
// every megabyte read or made, where a window may let pending events run.
Preview loadPreview(const std::string& path, const std::function<void()>& reading = {});

// The raw pane's text of a file, handed to `piece` a piece at a time and not
// held whole: a plain file's bytes as they are read, rich text's plain text
// as it is made (the rich text itself is read whole first). `piece` is also
// told the most the whole text can come to; `reading` is called as for
// loadPreview.
struct PaneTextRead {
    int errorNumber = 0;   // of a failure to open or read the file; 0 when read
    bool richText = false; // the contents were read as rich text
};
PaneTextRead readPaneText(const std::string& path,
                          const std::function<void(std::string_view, std::uint64_t)>& piece,
                          const std::function<void()>& reading = {});

} // namespace tallix::files
