#include "analysis/intake.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "base/error_numbers.h"
#include "base/input_file.h"
#include "text/basic_text.h"

namespace tallix::analysis {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

} // namespace

FileKind validateLogFile(const std::string& path) {
    base::InputFile file(path);
    if (!file.isOpen())
        return FileKind::Unrecognised;
    // Only the first few characters of a line are ever looked at.
    constexpr std::size_t KeptBytes = 16;
    base::LineReader reader(
        &file,
        [](void* source, char* into, std::size_t n) {
            return static_cast<base::InputFile*>(source)->read(into, n);
        },
        KeptBytes);
    std::string current;
    // A read past the end of the file leaves the current line as it was.
    auto readNext = [&] {
        std::string next;
        if (reader.next(next))
            current = std::move(next);
    };

    readNext();
    if (startsWith(current, "Report Kest") || startsWith(current, "Kest"))
        return FileKind::HeaderOrFm;

    readNext();
    int fmCount = 0;
    for (int i = 0; i < 5; ++i) {
        if (startsWith(current, "Fm"))
            ++fmCount; // the same line is counted again by the remaining rounds
        else
            readNext();
    }
    int colonCount = 0;
    if (fmCount == 0) {
        for (int i = 0; i < 5; ++i) {
            if (text::mid(current, 2, 3) == ":Fm")
                ++colonCount;
            else
                readNext();
        }
    }
    if (colonCount > 0)
        return FileKind::ColonFm;
    return fmCount > 0 ? FileKind::HeaderOrFm : FileKind::Unrecognised;
}

std::optional<int> loadLinesFromText(SharedBytes text, LineStore& store) {
    if (!store.addAll(std::move(text)))
        return FailureOverflow;
    if (store.count() > MaxLines)
        return FailureLineLimit;
    return std::nullopt;
}

std::optional<int> loadLines(const std::string& path, LineStore& store,
                             const std::function<void()>& reading) {
    store.clear();
    base::InputFile file(path);
    if (!file.isOpen())
        return file.errorNumber();

    // The file is read straight into the store, a piece at a time, and the
    // lines are cut as the bytes come: the store's lines and the file's text
    // are one copy. Once
    // the line limit is passed, the rest is only counted, never kept.
    constexpr std::size_t Chunk = 1 << 20;
    // Room for the file as it is now and a little more, where a read finds
    // its end; a file that grows meanwhile makes the buffer grow.
    ReadBuffer& bytes = store.startReading(
        static_cast<std::size_t>(std::min<std::uint64_t>(file.sizeAtOpen(), std::size_t(-1) / 2)) +
        4096);
    std::optional<int> failure;
    base::LineCutter cutter;
    std::size_t lineBegin = 0;
    bool lineStarted = false;
    bool counting = false; // past the limit: bytes are read into `scratch`
    std::unique_ptr<char[]> scratch;
    auto lineEnds = [&](std::size_t end) {
        if (failure == FailureOverflow)
            return;
        if (counting ? !store.countOnly() : !store.addRange(lineBegin, end)) {
            failure = FailureOverflow;
        } else if (store.count() > MaxLines) {
            failure = FailureLineLimit;
            counting = true;
        }
        lineStarted = false;
    };
    for (;;) {
        char* into;
        if (counting) {
            if (!scratch)
                scratch.reset(new char[Chunk]);
            into = scratch.get();
        } else {
            if (!bytes.reserveMore(1)) {
                store.keepRead(); // the lines so far stay readable
                return base::errorNumberFromErrno(ENOMEM);
            }
            into = bytes.end();
        }
        const long got = file.read(into, counting ? Chunk : std::min(bytes.room(), Chunk));
        if (got < 0) {
            const int err = errno != 0 ? errno : EIO;
            store.keepRead(); // the lines so far stay readable
            return base::errorNumberFromErrno(err);
        }
        if (got == 0)
            break;
        const char* base = counting ? nullptr : bytes.data();
        if (!counting)
            bytes.grow(static_cast<std::size_t>(got));
        cutter.feed(std::string_view(into, static_cast<std::size_t>(got)),
                    [&](std::string_view piece, bool endsLine) {
                        if (!lineStarted && base) {
                            lineBegin = static_cast<std::size_t>(piece.data() - base);
                            lineStarted = true;
                        }
                        if (endsLine)
                            lineEnds(
                                base ? static_cast<std::size_t>(piece.data() + piece.size() - base)
                                     : 0);
                        return true;
                    });
        if (reading)
            reading();
    }
    if (cutter.lineOpen())
        lineEnds(bytes.size());
    store.keepRead();
    return failure;
}

base::MessageBox unrecognisedFilePrompt() {
    return {"The file seems not to be a Kest report or Kest log file.\r"
            "Allow this file for processing?",
            "Open Kest Report", base::Buttons::YesNo, base::Icon::Exclamation};
}

base::MessageBox failureMessage(int code, std::string_view currentFile) {
    const std::string file(currentFile);
    if (code == FailureLineLimit || code == FailureOverflow)
        return {"Length of the file " + file +
                    " is to long.\r\n"
                    "Tallix is limited to 65000 lines, so please try to reduce the file size by "
                    "slpitting the file into separate parts.",
                "File length to large, err nr:" + std::to_string(code), base::Buttons::Ok,
                base::Icon::Information};
    return {"An error has occured when opening the file " + file,
            "Error nr: " + std::to_string(code), base::Buttons::Ok, base::Icon::Exclamation};
}

} // namespace tallix::analysis
