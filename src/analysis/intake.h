#pragma once
// Log intake: is the file a Kest log or report, reading its lines into the
// store, and the pre-processing that strips what stands before a leading "Fm ".

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/line_store.h"
#include "base/message_box.h"

namespace tallix::analysis {

enum class FileKind : int { Unrecognised = 0, HeaderOrFm = 1, ColonFm = 3 };

// Failure codes of a run: the two of the analysis, and any other positive
// number for a file that cannot be opened or read (see app/error_numbers.h).
inline constexpr int FailureLineLimit = 9;
inline constexpr int FailureOverflow = 6;

// Examines the first lines of a file; a file that cannot be opened is
// Unrecognised. Nothing is reported.
FileKind validateLogFile(const std::string& path);

// Loads a file's lines into `store` (emptied first). Returns the failure code
// met, if any: 9 when the file has more than MaxLines lines (reading goes on to
// count them all, nothing more is stored), or the error number of a failure to
// open or read it. The file is read in pieces and never held whole.
// `reading` is called after every piece read (a megabyte), where a window
// lets pending events run.
std::optional<int> loadLines(const std::string& path, LineStore& store,
                             const std::function<void()>& reading = {});
// The same over a text already in memory; the store keeps the text.
std::optional<int> loadLinesFromText(SharedBytes text, LineStore& store);

// The prefix rule for one line: the position (0-based) of "Fm " within the
// first five characters, if it is 1 or 2; such a line loses what stands before.
// True when "Fm " stands at position p (0-based) of the line; spelled out, as
// the analysis asks it of every line.
inline bool fmAt(std::string_view line, std::size_t p) {
    return line.size() >= p + 3 && line[p] == 'F' && line[p + 1] == 'm' && line[p + 2] == ' ';
}

inline std::size_t preprocessCut(std::string_view line) {
    if (fmAt(line, 0))
        return 0;
    if (fmAt(line, 1))
        return 1;
    return fmAt(line, 2) ? 2 : 0;
}

// The prompt for a file that is not recognised.
base::MessageBox unrecognisedFilePrompt();
// The message box for a failure code; `currentFile` is the path it names.
base::MessageBox failureMessage(int code, std::string_view currentFile);

} // namespace tallix::analysis
