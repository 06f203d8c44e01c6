#pragma once

#include "ui/prompts.h"

class QString;
class QWidget;

namespace tallix::ui {

// A save dialog's filter as the dialog lists it: "Log Files (*.log)" with the
// pattern "*.log" reads "Log Files (*.log)"; "*.*" matches every name.
QString nameFilterText(const SaveDialogRequest::Filter& filter);

// Prompts answered by the user through Qt's dialogs, modal to `parent`.
class QtPrompts : public Prompts {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    Answer message(const base::MessageBox& box) override;
    std::string input(const base::InputBox& box) override;
    std::optional<std::string> saveFile(const SaveDialogRequest& request) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace tallix::ui
