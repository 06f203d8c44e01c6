#pragma once
// Save: the proposed path, the dialog's settings, the existence test behind
// the overwrite question, and the write of the processed text, which never
// loses the file it replaces.

#include <array>
#include <string>
#include <string_view>

#include "base/message_box.h"

namespace tallix::actions {

inline constexpr const char* SaveDialogTitle = "Save File";

struct DialogFilter {
    const char* description;
    const char* pattern; // ";" between patterns
};
// In this order; the dialog starts on the first.
inline constexpr std::array<DialogFilter, 3> SaveDialogFilters = {{
    {"Text and Log Files", "*.txt;*.log"},
    {"Log Files (*.log)", "*.log"},
    {"All Files (*.*)", "*.*"},
}};

// The file-name part of a path: every character after its last separator;
// empty when it holds no separator.
std::string fileNamePart(std::string_view path);

// What Save keeps between its steps (and between Saves, though every Save
// starts from a fresh proposal).
struct SaveState {
    std::string savePath;      // the proposed path; after a confirmed dialog, the chosen one
    std::string saveName;      // the file-name part of savePath
    bool saveAccepted = false; // confirmed, and an existing file may be overwritten

    void splitFilePath() { saveName = fileNamePart(savePath); }
};

// The path Save proposes for the selected file: a rich-text source loses its
// last four characters and gets ".txt"; any other path stays as it is.
std::string proposedSavePath(std::string_view selectedPath, bool richText);

// True when `path` names an ordinary file (a link to one counts; folders,
// devices and missing paths do not). "*" and "?" in the file-name part match
// any run of characters and any one character, against the names in its
// folder exactly, case included.
bool fileExists(const std::string& path);

// Boxes of the Save flow.
base::MessageBox saveNameBox(std::string_view saveName);
base::MessageBox overwriteQuestion();
// Names the selected file, whatever path the dialog chose.
base::MessageBox saveErrorMessage(std::string_view currentFile, int errorNumber);

// Writes the bytes exactly as they are (nothing added) to `path`; 0 when done,
// else the failure's error number. An existing file is replaced only once the
// new content is complete and on disk, so a failed write leaves it whole; it
// keeps its permissions, and one it may not be written is refused. Where no
// new file can be made beside it (a folder we may not write, no room for a
// second copy), a file we may write is truncated and written in place, and
// its original bytes are written back on any failure. A link is written
// through: the file it names gets the content and the link stays; but a link
// in a shared sticky folder (as /tmp) that belongs neither to us nor to the
// folder's owner is refused (70).
int writeProcessedText(const std::string& path, std::string_view bytes);

// The process's current folder; setting it returns 0 or the error number.
std::string currentFolder();
int setCurrentFolder(const std::string& folder);

} // namespace tallix::actions
