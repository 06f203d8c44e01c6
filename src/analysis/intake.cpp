#include "analysis/intake.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "app/error_numbers.h"
#include "text/basic_text.h"

namespace tallix::analysis {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

} // namespace

FileKind validateLogFile(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return FileKind::Unrecognised;
    LineReader reader(file.get());
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

std::optional<int> loadLines(const std::string& path, LineStore& store) {
    store.clear();
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return app::errorNumberFromErrno(errno);

    std::optional<int> failure;
    bool overflowed = false;
    LineSplitter splitter;
    auto onLine = [&](std::string_view line) {
        if (overflowed)
            return;
        if (!store.add(line)) {
            overflowed = true;
            failure = FailureOverflow;
        } else if (store.count() > MaxLines) {
            failure = FailureLineLimit;
        }
    };
    constexpr std::size_t Chunk = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[Chunk]);
    for (;;) {
        const std::size_t got = std::fread(buffer.get(), 1, Chunk, file.get());
        if (got > 0)
            splitter.feed(std::string_view(buffer.get(), got), onLine);
        if (got < Chunk) {
            if (std::ferror(file.get()))
                return app::errorNumberFromErrno(errno != 0 ? errno : EIO);
            break;
        }
    }
    splitter.finish(onLine);
    return failure;
}

std::size_t preprocessCut(std::string_view line) {
    const std::size_t p = text::left(line, 5).find("Fm ");
    return (p == 1 || p == 2) ? p : 0;
}

app::MessageBox unrecognisedFilePrompt() {
    return {"The file seems not to be a Kest report or Kest log file.\r"
            "Allow this file for processing?",
            "Open Kest Report", app::Buttons::YesNo, app::Icon::Exclamation};
}

app::MessageBox failureMessage(int code, std::string_view currentFile) {
    const std::string file(currentFile);
    if (code == FailureLineLimit || code == FailureOverflow)
        return {"Length of the file " + file + " is to long.\r\n"
                    "Tallix is limited to 65000 lines, so please try to reduce the file size by "
                    "slpitting the file into separate parts.",
                "File length to large, err nr:" + std::to_string(code), app::Buttons::Ok,
                app::Icon::Information};
    return {"An error has occured when opening the file " + file,
            "Error nr: " + std::to_string(code), app::Buttons::Ok, app::Icon::Exclamation};
}

} // namespace tallix::analysis
