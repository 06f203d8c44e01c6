#include "app/host_folders.h"

#include <filesystem>
#include <system_error>

namespace tallix::app {

namespace {
constexpr char Separator = static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != Separator)
        path.push_back(Separator);
    path.append(name);
    return path;
}

std::string folderOfChoice(std::string_view hostFolder, int index) {
    for (const auto& choice : FolderChoices)
        if (choice.index == index && *choice.subfolder != '\0')
            return joinPath(hostFolder, choice.subfolder);
    return std::string(hostFolder);
}

bool entryExists(std::string_view folder, std::string_view name) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(joinPath(folder, name)), ec);
}

} // namespace tallix::app
