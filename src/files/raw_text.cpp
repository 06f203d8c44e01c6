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

Preview loadPreview(const std::string& path, bool holdText) {
    Preview p;
    app::InputFile file(path);
    if (!file.isOpen()) {
        p.raw.errorNumber = file.errorNumber();
        return p;
    }
    constexpr std::size_t Chunk = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[Chunk]);
    long got = file.read(buffer.get(), Chunk);
    const std::string_view first(buffer.get(), got > 0 ? static_cast<std::size_t>(got) : 0);
    if (holdText || file.sizeAtOpen() <= LargestPaneText || looksLikeRtf(first)) {
        // Small enough to hold, or rich text, whose plain text needs the whole.
        std::string bytes(first);
        for (got = got < 0 ? got : file.read(buffer.get(), Chunk); got > 0;
             got = file.read(buffer.get(), Chunk))
            bytes.append(buffer.get(), static_cast<std::size_t>(got));
        if (got < 0) {
            p.raw.errorNumber = app::errorNumberFromErrno(errno != 0 ? errno : EIO);
            return p;
        }
        p.raw = rawTextFromBytes(std::move(bytes));
        p.textHeld = true;
        p.lineCount = previewLineCount(p.raw.text);
        const std::size_t size = p.raw.text.size();
        p.notice = paneNotice(PaneText::RawFile, size,
                              size > LargestPaneText ? 0 : longestLine(p.raw.text));
        return p;
    }
    // Too large to show: only its line breaks are counted, a piece at a time.
    std::uint64_t bytes = 0, breaks = 0;
    bool lastWasCr = false;
    for (; got > 0; got = file.read(buffer.get(), Chunk)) {
        const std::string_view piece(buffer.get(), static_cast<std::size_t>(got));
        bytes += piece.size();
        breaks += lineBreaks(piece) - (lastWasCr && piece.front() == '\n' ? 1 : 0);
        lastWasCr = piece.back() == '\r';
    }
    if (got < 0) {
        p.raw.errorNumber = app::errorNumberFromErrno(errno != 0 ? errno : EIO);
        return p;
    }
    p.raw.loaded = true;
    p.lineCount = static_cast<float>(breaks) - 1.0f;
    p.notice = paneNotice(PaneText::RawFile, bytes, 0);
    return p;
}

} // namespace tallix::files
