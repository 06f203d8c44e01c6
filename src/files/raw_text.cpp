#include "files/raw_text.h"

#include "base/error_numbers.h"
#include "base/input_file.h"
#include "base/whole_file.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cerrno>
#include <memory>

namespace tallix::files {

bool isRtfPath(std::string_view path) {
    for (std::size_t i = 0; i + 4 <= path.size(); ++i) {
        if (path[i] == '.' && (path[i + 1] | 0x20) == 'r' && (path[i + 2] | 0x20) == 't' &&
            (path[i + 3] | 0x20) == 'f')
            return true;
    }
    return false;
}

bool looksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

std::size_t lineBreaks(std::string_view text) {
    // Every CR and every LF is a break, except the LF of a CR LF pair.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t breaks = 0;
    std::size_t i = 0;
    unsigned previousCr = 0; // the byte before the current one is a CR
#ifdef __SSE2__
    // Sixteen bytes at a time: a file of a gigabyte is counted in a fraction
    // of the time it takes to read. Each byte is at most one break; its
    // counter takes up to 127 rounds before it is added up.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    __m128i lastCrs = zero;
    const std::size_t wholeEnd = n - n % 16;
    while (i < wholeEnd) {
        const std::size_t batchEnd = std::min(wholeEnd, i + 16 * 127);
        __m128i counts = zero;
        for (; i < batchEnd; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i crs = _mm_cmpeq_epi8(v, cr);
            const __m128i lfs = _mm_cmpeq_epi8(v, lf);
            const __m128i afterCr =
                _mm_or_si128(_mm_slli_si128(crs, 1), _mm_srli_si128(lastCrs, 15));
            const __m128i breakHere = _mm_or_si128(crs, _mm_andnot_si128(afterCr, lfs));
            counts = _mm_sub_epi8(counts, breakHere); // a match is -1
            lastCrs = crs;
        }
        const __m128i sums = _mm_sad_epu8(counts, zero);
        breaks += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                  static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
    previousCr = static_cast<unsigned>(_mm_movemask_epi8(lastCrs)) >> 15 & 1u;
#endif
    for (; i < n; ++i) {
        const unsigned isCr = p[i] == '\r', isLf = p[i] == '\n';
        breaks += isCr + (isLf & (previousCr ^ 1u));
        previousCr = isCr;
    }
    return breaks;
}

float previewLineCount(std::string_view text) {
    return static_cast<float>(lineBreaks(text)) - 1.0f;
}

RawText rawTextFromBytes(std::string bytes) {
    RawText r;
    r.loaded = true;
    if (looksLikeRtf(bytes)) {
        r.richText = true;
        r.document = readRtf(bytes);
        std::string().swap(bytes); // the markup is not needed any more
        r.text = r.document.plainText();
    } else {
        r.text = std::move(bytes);
    }
    return r;
}

std::string richPlainText(std::string_view bytes, const std::function<void()>& reading) {
    std::string text;
    text.reserve(bytes.size()); // room at once: the text is shorter than its rich text
    readRtfText(bytes, [&](std::string_view piece) {
        text += piece;
        if (reading)
            reading();
    });
    return text;
}

RawText loadRawText(const std::string& path) {
    int errorNumber = 0;
    auto bytes = app::readWholeFile(path, &errorNumber);
    if (!bytes) {
        RawText r;
        r.errorNumber = errorNumber;
        return r;
    }
    return rawTextFromBytes(std::move(*bytes));
}

std::size_t longestLine(std::string_view text) {
    // A CR LF ends a line and then an empty one, which changes no maximum.
    std::size_t longest = 0, current = 0;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            longest = std::max(longest, current);
            current = 0;
        } else {
            ++current;
        }
    }
    return std::max(longest, current);
}

std::string paneNotice(PaneText pane, std::uint64_t bytes, std::size_t longest) {
    const bool raw = pane == PaneText::RawFile;
    const std::string limit = std::to_string(LargestPaneText / 1'000'000) + " MB";
    const std::string still = raw ? " Process still reads all of it, and every figure counts the "
                                    "whole file."
                                  : " Save, Copy and Print still use all of it.";
    if (bytes > LargestPaneText)
        return (raw ? "This file is too large to show here (" + std::to_string(bytes) +
                          " bytes, more than " + limit + ")."
                    : "The processed text of a file this large (more than " + limit +
                          ") is not shown here.") +
               still;
    if (longest > LongestPaneLine)
        return (raw ? "This file" : "The processed text") +
               std::string(" holds a line too long to show here (more than ") +
               std::to_string(LongestPaneLine) + " characters)." + still;
    return {};
}

namespace {

constexpr std::size_t ReadPiece = 1 << 20;

// The rest of an open file after its first piece, read whole. False, with
// errno telling why, on a read failure.
bool readRest(app::InputFile& file, std::string& bytes, const std::function<void()>& reading) {
    bytes.reserve(static_cast<std::size_t>(
                      std::min<std::uint64_t>(file.sizeAtOpen(), std::string().max_size() / 2)) +
                  ReadPiece);
    for (;;) {
        const std::size_t had = bytes.size();
        bytes.resize(had + ReadPiece);
        const long got = file.read(bytes.data() + had, ReadPiece);
        bytes.resize(had + static_cast<std::size_t>(std::max(got, 0L)));
        if (got <= 0)
            return got == 0;
        if (reading)
            reading();
    }
}

int readFailure() {
    return app::errorNumberFromErrno(errno != 0 ? errno : EIO);
}

// The preview of a text held whole.
Preview heldPreview(RawText raw) {
    Preview p;
    p.raw = std::move(raw);
    p.textHeld = true;
    p.lineCount = previewLineCount(p.raw.text);
    const std::size_t size = p.raw.text.size();
    p.notice =
        paneNotice(PaneText::RawFile, size, size > LargestPaneText ? 0 : longestLine(p.raw.text));
    return p;
}

} // namespace

void BreakCounter::add(std::string_view piece) {
    if (piece.empty())
        return;
    bytes_ += piece.size();
    breaks_ += lineBreaks(piece) - (lastWasCr_ && piece.front() == '\n' ? 1 : 0);
    lastWasCr_ = piece.back() == '\r';
}

PaneTextRead readPaneText(const std::string& path,
                          const std::function<void(std::string_view, std::uint64_t)>& piece,
                          const std::function<void()>& reading) {
    PaneTextRead r;
    app::InputFile file(path);
    if (!file.isOpen()) {
        r.errorNumber = file.errorNumber();
        return r;
    }
    std::string bytes(ReadPiece, '\0');
    long got = file.read(bytes.data(), ReadPiece);
    bytes.resize(static_cast<std::size_t>(std::max(got, 0L)));
    r.richText = looksLikeRtf(bytes);
    if (r.richText) {
        if (!readRest(file, bytes, reading)) {
            r.errorNumber = readFailure();
            return r;
        }
        readRtfText(bytes, [&](std::string_view text) {
            piece(text, bytes.size());
            if (reading)
                reading();
        });
        return r;
    }
    for (; got > 0; got = file.read(bytes.data(), ReadPiece)) {
        piece(std::string_view(bytes.data(), static_cast<std::size_t>(got)),
              std::max<std::uint64_t>(file.sizeAtOpen(), ReadPiece));
        if (reading)
            reading();
        bytes.resize(ReadPiece);
    }
    if (got < 0)
        r.errorNumber = readFailure();
    return r;
}

Preview loadPreview(const std::string& path, const std::function<void()>& reading) {
    Preview p;
    app::InputFile file(path);
    if (!file.isOpen()) {
        p.raw.errorNumber = file.errorNumber();
        return p;
    }
    if (file.sizeAtOpen() <= LargestPaneText) {
        std::string bytes;
        if (!readRest(file, bytes, reading)) {
            p.raw.errorNumber = readFailure();
            return p;
        }
        return heldPreview(rawTextFromBytes(std::move(bytes)));
    }
    // Too large to show: only the text's line breaks are counted, a piece at
    // a time.
    BreakCounter counted;
    const PaneTextRead read = readPaneText(
        path, [&](std::string_view piece, std::uint64_t) { counted.add(piece); }, reading);
    if (read.errorNumber != 0) {
        p.raw.errorNumber = read.errorNumber;
        return p;
    }
    if (read.richText && counted.bytes() <= LargestPaneText) {
        // Mostly markup: its text is small enough to show after all.
        RawText raw = loadRawText(path);
        if (raw.loaded && raw.richText)
            return heldPreview(std::move(raw));
    }
    p.raw.loaded = true;
    p.raw.richText = read.richText;
    p.lineCount = static_cast<float>(counted.breaks()) - 1.0f;
    p.notice = paneNotice(PaneText::RawFile, counted.bytes(), 0);
    return p;
}

} // namespace tallix::files
