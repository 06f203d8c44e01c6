#pragma once
// The operator's own call sign and the rule by which the user changes it.

#include <optional>
#include <string>
#include <string_view>

#include "base/message_box.h"

namespace tallix::app {

// The input box that asks for a new call; title and default repeat the stored
// call exactly, blanks included.
base::InputBox callSignInputBox(std::string_view ownCall);

// The new call for an input box answer: nothing for an empty answer (Cancel or
// an emptied field); otherwise the answer trimmed of blanks and upper-cased.
std::optional<std::string> acceptCallSignAnswer(std::string_view answer);

} // namespace tallix::app
