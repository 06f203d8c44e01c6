#pragma once

#include "ui/prompts.h"

class QWidget;

namespace tallix::ui {

// Prompts answered by the user through Qt's dialogs, modal to `parent`.
class QtPrompts : public Prompts {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    Answer message(const app::MessageBox& box) override;
    std::string input(const app::InputBox& box) override;
    std::optional<std::string> saveFile(const SaveDialogRequest& request) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace tallix::ui
