#pragma once
// A message box as the logic decides it; the window shows it, a test reads it.

#include <string>

namespace tallix::base {

inline constexpr const char* ApplicationTitle = "Tallix";
inline constexpr const char* WindowTitle = "Tallix 1.4.0 for Kest";
inline constexpr const char* VersionText = "1.4.0";

enum class Buttons { Ok, YesNo };
enum class Icon { None, Information, Exclamation, Critical };

struct MessageBox {
    std::string text;
    std::string title = ApplicationTitle;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;

    friend bool operator==(const MessageBox&, const MessageBox&) = default;
};

// An input box: a prompt, a title and the text the entry field starts with.
struct InputBox {
    std::string prompt;
    std::string title = ApplicationTitle;
    std::string defaultText;

    friend bool operator==(const InputBox&, const InputBox&) = default;
};

} // namespace tallix::base
