#include "app/own_call.h"

#include "text/basic_text.h"

namespace tallix::app {

base::InputBox callSignInputBox(std::string_view ownCall) {
    return {"Do you want to change the call sign to analyse (default read from the KEST.INI file)?",
            "Changing call sign " + std::string(ownCall), std::string(ownCall)};
}

std::optional<std::string> acceptCallSignAnswer(std::string_view answer) {
    if (answer.empty())
        return std::nullopt;
    return text::upperCase(text::trimSpaces(answer));
}

} // namespace tallix::app
