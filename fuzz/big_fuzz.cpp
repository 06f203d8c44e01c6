// Long lines and large files, which a fuzzer's small inputs never reach: the
// input is a recipe of pieces, each repeated many times, that builds a file of
// up to 8 MiB. The file is read as a run reads it, checked by the window's
// file check, and both are compared with the whole text cut at once.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "analysis/intake.h"
#include "analysis/line_store.h"
#include "base/line_cutting.h"
#include "fuzz_check.h"
#include "text/basic_text.h"

using namespace tallix;

namespace {

constexpr std::size_t MaxBuilt = 8u << 20;

// Records of [repeat byte][length byte][that many bytes]: the bytes go in
// 1 + repeat^3 times (up to some 16 million, within 8 MiB), so a few input
// bytes make a line of megabytes or a hundred thousand short lines.
std::string build(std::string_view recipe) {
    std::string out;
    std::size_t pos = 0;
    while (pos + 2 <= recipe.size() && out.size() < MaxBuilt) {
        const std::size_t r = static_cast<unsigned char>(recipe[pos]);
        const std::size_t len = std::min<std::size_t>(static_cast<unsigned char>(recipe[pos + 1]),
                                                      recipe.size() - pos - 2);
        const std::string_view piece = recipe.substr(pos + 2, len);
        pos += 2 + len;
        if (piece.empty())
            continue;
        const std::size_t times = std::min(1 + r * r * r, (MaxBuilt - out.size()) / piece.size());
        // Doubled up rather than appended piece by piece.
        const std::size_t start = out.size(), total = times * piece.size();
        out.append(piece);
        while (out.size() - start < total)
            out.append(out, start, std::min(out.size() - start, total - (out.size() - start)));
    }
    return out;
}

const std::string& scratchPath() {
    static const std::string path = fuzz::scratchFile("big", ".log");
    return path;
}

long readFrom(void* source, char* into, std::size_t n) {
    return static_cast<long>(std::fread(into, 1, n, static_cast<std::FILE*>(source)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = build(fuzz::bytesOf(data, size));
    {
        std::FILE* f = std::fopen(scratchPath().c_str(), "wb");
        TALLIX_FUZZ_CHECK(f != nullptr);
        TALLIX_FUZZ_CHECK(std::fwrite(text.data(), 1, text.size(), f) == text.size());
        TALLIX_FUZZ_CHECK(std::fclose(f) == 0);
    }
    const std::vector<std::string_view> whole = base::splitLines(text);

    // The run's reading: every line counted, the first MaxLines stored
    // without trailing blanks, and the text kept whole within the limit.
    analysis::LineStore store;
    const auto failure = analysis::loadLines(scratchPath(), store);
    TALLIX_FUZZ_CHECK(static_cast<std::size_t>(store.count()) == whole.size());
    TALLIX_FUZZ_CHECK(failure == (whole.size() > static_cast<std::size_t>(analysis::MaxLines)
                                      ? std::optional<int>(analysis::FailureLineLimit)
                                      : std::nullopt));
    const std::size_t stored = std::min<std::size_t>(whole.size(), analysis::MaxLines);
    TALLIX_FUZZ_CHECK(static_cast<std::size_t>(store.storedCount()) == stored);
    for (std::size_t i = 0; i < stored; ++i)
        TALLIX_FUZZ_CHECK(store.line(static_cast<std::int32_t>(i + 1)) ==
                          text::trimTrailingSpaces(whole[i]));
    if (!failure)
        TALLIX_FUZZ_CHECK(store.text().bytes == text);

    // The file check's reader: the same lines, each cut to what it keeps.
    constexpr std::size_t Kept = 16;
    std::FILE* f = std::fopen(scratchPath().c_str(), "rb");
    TALLIX_FUZZ_CHECK(f != nullptr);
    base::LineReader reader(f, &readFrom, Kept);
    std::string line;
    std::size_t n = 0;
    while (reader.next(line)) {
        TALLIX_FUZZ_CHECK(n < whole.size());
        TALLIX_FUZZ_CHECK(line == whole[n].substr(0, Kept));
        ++n;
    }
    std::fclose(f);
    TALLIX_FUZZ_CHECK(n == whole.size());
    analysis::validateLogFile(scratchPath());
    std::remove(scratchPath().c_str()); // megabytes each: not left behind
    return 0;
}
