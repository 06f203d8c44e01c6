#pragma once
// The start-up decision: is the program started as Kest's add-on, from Kest's
// folder? And the reading of Kest's settings file.

#include <optional>
#include <string>
#include <string_view>

#include "base/message_box.h"

namespace tallix::app {

inline constexpr const char* LaunchCode = "4KTRMN";
inline constexpr const char* DeveloperCode = "HSTK_RW4BZ_LMQ";
inline constexpr const char* SettingsFileName = "kest.ini";

// Trimmed of blanks and upper-cased, as both code comparisons expect.
std::string normaliseArgument(std::string_view argumentText);

struct StartupDecision {
    enum class Outcome { Continue, NotFound, AddOn };
    Outcome outcome = Outcome::Continue;
    std::string ownCall;                     // line 4 of the settings file exactly as read
    std::string callCaption;                 // Label2: the call without surrounding blanks
    std::optional<base::MessageBox> message; // shown before the program ends
};

// `settings` is the whole content of kest.ini, or nothing when it cannot be
// opened.
StartupDecision decideStartup(std::string_view argumentText,
                              const std::optional<std::string>& settings);

base::MessageBox notFoundMessage();
base::MessageBox addOnMessage();

// The entry named kest.ini in `folder`, found without regard to letter case
// (the files come from a system whose names ignore case); exact name first.
std::optional<std::string> findSettingsFile(const std::string& folder);

// Line 4 of a settings file's content exactly as read, or nothing when the
// file has fewer than four lines.
std::optional<std::string> settingsCallSign(std::string_view settingsContent);

} // namespace tallix::app
