#include "app/startup.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/line_cutting.h"
#include "text/basic_text.h"

namespace tallix::app {

std::string normaliseArgument(std::string_view argumentText) {
    return text::upperCase(text::trimSpaces(argumentText));
}

base::MessageBox notFoundMessage() {
    return {"Can't find Kest in this directory. Please copy this program and all it's files into "
            "the folder of Kest.",
            "Kest not found", base::Buttons::Ok, base::Icon::Exclamation};
}

base::MessageBox addOnMessage() {
    return {"This is an Add-On for Kest v3.x and can only run from within Kest.\r"
            "Please run Kest and select the 'Kest Modules'-menu.",
            base::WindowTitle, base::Buttons::Ok, base::Icon::Exclamation};
}

std::optional<std::string> settingsCallSign(std::string_view settingsContent) {
    const auto lines = base::splitLines(settingsContent);
    if (lines.size() < 4)
        return std::nullopt;
    return std::string(lines[3]);
}

StartupDecision decideStartup(std::string_view argumentText,
                              const std::optional<std::string>& settings) {
    const std::string argument = normaliseArgument(argumentText);
    const bool developer = argument == DeveloperCode;
    StartupDecision d;

    if (!settings && !developer) {
        d.outcome = StartupDecision::Outcome::NotFound;
        d.message = notFoundMessage();
        return d;
    }
    if (settings) {
        const auto lines = base::splitLines(*settings);
        const std::string_view first = lines.empty() ? std::string_view{} : lines[0];
        if (first.substr(0, 5) != ";Kest" && !developer) {
            d.outcome = StartupDecision::Outcome::NotFound;
            d.message = notFoundMessage();
            return d;
        }
        if (lines.size() >= 4)
            d.ownCall = std::string(lines[3]);
    }
    d.callCaption = std::string(text::trimSpaces(d.ownCall));
    if (argument != LaunchCode && !developer) {
        d.outcome = StartupDecision::Outcome::AddOn;
        d.message = addOnMessage();
    }
    return d;
}

std::optional<std::string> findSettingsFile(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exact = fs::path(folder) / SettingsFileName;
    if (fs::is_regular_file(exact, ec))
        return exact.string();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (text::upperCase(name) == "KEST.INI" && it->is_regular_file(ec))
            return it->path().string();
    }
    return std::nullopt;
}

} // namespace tallix::app
