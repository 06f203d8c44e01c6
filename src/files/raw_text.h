#pragma once
// The raw text of a file as the preview shows it, and the facts the preview
// derives from it.

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
// The number of those breaks; a text read in pieces adds up the pieces' and
// takes off one for a CR LF cut between two of them.
std::size_t lineBreaks(std::string_view text);

struct RawText {
    bool loaded = false;
    int errorNumber = 0;   // why it could not be loaded
    bool richText = false; // the contents were read as rich text
    std::string text;      // the pane's plain text (8-bit)
    RtfDocument document;  // paragraphs and formatting, for rich text
};

// Loads a file as the raw pane does: rich text when its contents begin as rich
// text, else the bytes exactly as they are.
RawText loadRawText(const std::string& path);
// The same over bytes already read.
RawText rawTextFromBytes(std::string bytes);

} // namespace tallix::files
