#pragma once
// Help and the About window's texts and decisions, without any window: the
// help document's name and the folder it is looked up in, the version and
// title texts, the maker's addresses and the message shown when there is no
// system-information tool.

#include <string>

#include "base/message_box.h"

namespace tallix::app {

// The help document, a bare name: it is looked up in the current folder.
inline constexpr const char* HelpDocumentName = "tallix-help.html";

// Makes `folder` the process's current folder unless the current folder's
// text is already exactly that. True when the folder was changed.
bool makeFolderCurrent(const std::string& folder);

inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 4;
inline constexpr int VersionRevision = 0;

// "About " and the program's title.
std::string aboutTitle();
// "Version " and the three numbers in decimal, separated by dots.
std::string versionCaption(int major, int minor, int revision);

inline constexpr const char* MakerEmail = "tallix@example.org";
inline constexpr const char* MakerWebAddress = "https://www.example.org/tallix";
inline constexpr const char* MakerDonationPage = "https://www.example.org/tallix/donate";

// Shown when the tool is not found or cannot be started.
base::MessageBox sysInfoUnavailableMessage();

} // namespace tallix::app
