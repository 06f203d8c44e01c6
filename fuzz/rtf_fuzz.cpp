// The rich-text reader over arbitrary bytes, and the raw pane's text taken from
// them: nothing crashes, and the texts agree with each other.

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/raw_text.h"
#include "files/rtf_reader.h"
#include "fuzz_check.h"

using namespace tallix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);

    // Any bytes are read, whether or not they begin as rich text.
    const files::RtfDocument document = files::readRtf(bytes);
    TALLIX_FUZZ_CHECK(!document.paragraphs.empty());
    const std::string plain = document.plainText();
    std::size_t runBytes = 0;
    for (const auto& paragraph : document.paragraphs) {
        std::size_t paragraphBytes = 0;
        for (const auto& run : paragraph.runs) {
            paragraphBytes += run.text.size();
            TALLIX_FUZZ_CHECK(run.fontSizeHalfPoints > 0);
            TALLIX_FUZZ_CHECK(run.color <= 0xFFFFFFu);
        }
        TALLIX_FUZZ_CHECK(paragraph.text().size() == paragraphBytes);
        runBytes += paragraphBytes;
    }
    // Paragraphs are joined with CR LF, none after the last.
    TALLIX_FUZZ_CHECK(plain.size() == runBytes + 2 * (document.paragraphs.size() - 1));
    // Read for the plain text only, the same text.
    std::string pieces;
    files::readRtfText(bytes, [&](std::string_view piece) { pieces += piece; });
    TALLIX_FUZZ_CHECK(pieces == plain);

    // The raw pane: rich text read as such, anything else exactly as it is.
    const files::RawText raw = files::rawTextFromBytes(std::string(bytes));
    TALLIX_FUZZ_CHECK(raw.loaded);
    TALLIX_FUZZ_CHECK(raw.errorNumber == 0);
    if (files::looksLikeRtf(bytes)) {
        TALLIX_FUZZ_CHECK(raw.richText);
        TALLIX_FUZZ_CHECK(raw.text == plain);
    } else {
        TALLIX_FUZZ_CHECK(!raw.richText);
        TALLIX_FUZZ_CHECK(raw.text == bytes);
    }
    const float lineFigure = files::previewLineCount(raw.text);
    TALLIX_FUZZ_CHECK(lineFigure == static_cast<float>(fuzz::breaksIn(raw.text)) - 1.0f);
    return 0;
}
