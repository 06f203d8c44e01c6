#include "files/raw_text.h"

#include "base/error_numbers.h"
#include "base/input_file.h"
#include "base/whole_file.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
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
    // of the time it takes to read.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        const unsigned pairs = ((crs << 1) | previousCr) & lfs;
        breaks += static_cast<std::size_t>(std::popcount(crs) + std::popcount(lfs) -
                                           std::popcount(pairs));
        previousCr = (crs >> 15) & 1u;
    }
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
    const std::string what = raw ? "This file" : "The processed text";
    const std::string still = raw ? "Process still reads all of it, and every figure counts the "
                                    "whole file."
                                  : "Save, Copy and Print still use all of it.";
    if (bytes > LargestPaneText)
        return what + " is too large to show here (" + std::to_string(bytes) +
               " bytes, more than " + std::to_string(LargestPaneText / 1'000'000) + " MB). " +
               still;
    if (longest > LongestPaneLine)
        return what + " holds a line too long to show here (more than " +
               std::to_string(LongestPaneLine) + " characters). " + still;
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
        p.notice = paneNotice(PaneText::RawFile, p.raw.text.size(), longestLine(p.raw.text));
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
