#include "actions/rename_delete.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "app/host_folders.h"
#include "base/error_numbers.h"
#include "text/basic_text.h"

namespace tallix::actions {

namespace {

constexpr char Separator = static_cast<char>(std::filesystem::path::preferred_separator);

std::string_view lastChars(std::string_view s, std::size_t n) {
    return s.size() <= n ? s : s.substr(s.size() - n);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// A rename that fails when the new name is taken. Where the file system cannot
// say so in one step, a hard link claims the new name first; only where it has
// no hard links either is the name tested before an ordinary rename.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0)
            return 0;
        const int err = errno;
        ::unlink(to.c_str());
        return err;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
    if (exists(to))
        return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace

base::InputBox renameInputBox(std::string_view selectedName) {
    return {"Type the new name of this file:", "Rename File", std::string(selectedName)};
}

std::optional<std::string> renameTarget(std::string_view selectedName, std::string_view answer) {
    std::string name(text::trimSpaces(answer));
    if (name.size() <= 2)
        return std::nullopt;
    const std::string_view kept = lastChars(selectedName, 4);
    if (lastChars(name, 4) != kept)
        name.append(kept);
    return name;
}

int renameFile(std::string_view folder, std::string_view oldName, std::string_view newName) {
    for (std::string_view name : {oldName, newName})
        if (name.empty() || name.find(Separator) != std::string_view::npos ||
            name.find('\0') != std::string_view::npos)
            return base::errorNumberFromErrno(EINVAL);
    const int err = renameNoReplace(app::joinPath(folder, oldName), app::joinPath(folder, newName));
    return err == 0 ? 0 : base::errorNumberFromErrno(err);
}

base::MessageBox renameErrorMessage(int errorNumber) {
    return {"Could not rename file!", "Rename error:" + std::to_string(errorNumber),
            base::Buttons::Ok, base::Icon::Exclamation};
}

base::MessageBox noFileToDeleteMessage() {
    return {"Please select a file first to delete", "No file selected", base::Buttons::Ok,
            base::Icon::Information};
}

base::MessageBox deleteQuestion(std::string_view selectedName) {
    return {"Are you sure you want to delete " + std::string(selectedName) + " ?", "Delete",
            base::Buttons::YesNo, base::Icon::None};
}

bool deleteFile(std::string_view folder, std::string_view name) {
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return false;
    return ::unlink(app::joinPath(folder, name).c_str()) == 0;
}

} // namespace tallix::actions
