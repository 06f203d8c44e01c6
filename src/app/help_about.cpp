#include "app/help_about.h"

#include <filesystem>
#include <system_error>

namespace tallix::app {

bool makeFolderCurrent(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (!ec && current.string() == folder)
        return false;
    fs::current_path(folder, ec);
    return !ec;
}

std::string aboutTitle() {
    return std::string("About ") + base::ApplicationTitle;
}

std::string versionCaption(int major, int minor, int revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(revision);
}

base::MessageBox sysInfoUnavailableMessage() {
    return {"System Information Is Unavailable At This Time", base::ApplicationTitle,
            base::Buttons::Ok, base::Icon::None};
}

} // namespace tallix::app
