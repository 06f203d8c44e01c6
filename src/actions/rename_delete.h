#pragma once
// Rename and delete of the file selected in the file list, within its folder.

#include <optional>
#include <string>
#include <string_view>

#include "base/message_box.h"

namespace tallix::actions {

base::InputBox renameInputBox(std::string_view selectedName);

// The new name for an answer to the rename box: the answer without leading
// and trailing blanks, with the selected name's last four characters (its
// extension, the whole name when it is shorter) appended unless it already
// ends with exactly them. Nothing when the trimmed answer has two characters
// or fewer (a Cancel among them).
std::optional<std::string> renameTarget(std::string_view selectedName, std::string_view answer);

// Renames folder/oldName to folder/newName; 0 when done, else the error number.
// Never replaces an existing file, and never moves the file to another folder:
// a name holding a separator is refused as a bad name.
int renameFile(std::string_view folder, std::string_view oldName, std::string_view newName);

base::MessageBox renameErrorMessage(int errorNumber);
base::MessageBox noFileToDeleteMessage();
base::MessageBox deleteQuestion(std::string_view selectedName);

// Deletes folder/name, a file (never a folder); false when it could not.
bool deleteFile(std::string_view folder, std::string_view name);

} // namespace tallix::actions
