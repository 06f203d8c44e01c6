#pragma once
// Kest's four folders and the choice among them: the Kest folder itself and
// its subfolders "Reports", "Logs" and "Monitor".

#include <array>
#include <string>
#include <string_view>

namespace tallix::app {

struct FolderChoiceInfo {
    int index;
    const char* caption;
    const char* subfolder; // empty for the Kest folder itself
    const char* missingMessage;
};

// By index 0..3; on screen they stand in the order 0, 3, 1, 2.
inline constexpr std::array<FolderChoiceInfo, 4> FolderChoices = {{
    {0, "Kest folder", "", "Could not find the Kest directory"},
    {1, "Reports folder", "Reports", "Could not find the Reports directory!"},
    {2, "Logs folder", "Logs", "Could not find the Logs directory"},
    {3, "Monitor folder", "Monitor", "Could not find the Monitor directory"},
}};

// The folder a choice shows, without a trailing separator.
std::string folderOfChoice(std::string_view hostFolder, int index);

// Whether an entry of that name exists in the folder (a plain file passes too).
bool entryExists(std::string_view folder, std::string_view name);

// Joins a folder and a name with one platform separator.
std::string joinPath(std::string_view folder, std::string_view name);

} // namespace tallix::app
