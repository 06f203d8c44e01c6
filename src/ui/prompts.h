#pragma once
// The window's questions to the user: message boxes, input boxes and (for
// Save) the save dialog. The window asks through this interface; the program
// answers with Qt's dialogs, a test answers by script.

#include <optional>
#include <string>
#include <vector>

#include "base/message_box.h"

namespace tallix::ui {

enum class Answer { Ok, Yes, No };

// What a save dialog is asked to show.
struct SaveDialogRequest {
    std::string title;
    struct Filter {
        std::string description;
        std::string pattern;
    };
    std::vector<Filter> filters;
    std::string folder;      // the folder it opens in
    std::string initialName; // the name it proposes
};

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual Answer message(const base::MessageBox& box) = 0;
    // The entered text, or the empty text on Cancel.
    virtual std::string input(const base::InputBox& box) = 0;
    // The chosen full path, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> saveFile(const SaveDialogRequest& request) = 0;
};

} // namespace tallix::ui
