#include "actions/save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "app/error_numbers.h"
#include "app/host_folders.h"
#include "files/file_list.h"

namespace tallix::actions {

namespace fs = std::filesystem;

namespace {

constexpr char Separator = static_cast<char>(fs::path::preferred_separator);

int errorNumber(int err) {
    return app::errorNumberFromErrno(err);
}

bool hasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

// The folder part of a path ("." when it has none, "/" for a file at the root).
std::string folderPart(const std::string& path) {
    const std::size_t sep = path.rfind(Separator);
    if (sep == std::string::npos)
        return ".";
    return sep == 0 ? std::string(1, Separator) : path.substr(0, sep);
}

// The file a path names once every link on the way is followed; a link to a
// link to a file gives the file. Too many links leave a link, which the write
// then refuses.
std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        const fs::path p(path);
        if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec)
            return path;
        fs::path target = fs::read_symlink(p, ec);
        if (ec)
            return path;
        if (target.is_relative())
            target = fs::path(folderPart(path)) / target;
        path = target.string();
    }
    return path;
}

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// A device or a pipe cannot be replaced; it is written as it is.
int writeInPlace(const std::string& path, std::string_view bytes) {
    // Not blocking on a pipe that nobody reads.
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    int err = writeAll(fd, bytes);
    if (::close(fd) != 0 && err == 0)
        err = errno;
    return err;
}

// A temporary file beside the target, hidden from the file list by its name.
int createTemporary(const std::string& folder, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = app::joinPath(folder, ".tallix-save-" + std::to_string(::getpid()) + "-" +
                                             std::to_string(counter++) + ".tmp");
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

int replaceFile(const std::string& target, std::string_view bytes, const struct stat* existing) {
    std::string tempPath;
    const std::string folder = folderPart(target);
    const int fd = createTemporary(folder, tempPath);
    if (fd < 0)
        return errno == ENOENT ? ENOTDIR : errno; // the folder is missing
    const auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        return err;
    };
    if (existing) {
        // The owner goes first: changing it may clear the set-id bits. Only
        // root can give a file away; anyone else keeps a file of their own.
        if (::fchown(fd, existing->st_uid, existing->st_gid) != 0 && errno != EPERM)
            return fail(errno);
        if (::fchmod(fd, existing->st_mode & 07777) != 0)
            return fail(errno);
    }
    if (const int err = writeAll(fd, bytes); err != 0)
        return fail(err);
    // On disk before it takes the old file's place.
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tempPath.c_str());
        return err;
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(tempPath.c_str());
        return err;
    }
    // The new name on disk too; a folder that cannot be synced loses nothing.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

} // namespace

std::string fileNamePart(std::string_view path) {
    const std::size_t sep = path.rfind(Separator);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(sep + 1));
}

std::string proposedSavePath(std::string_view selectedPath, bool richText) {
    if (!richText)
        return std::string(selectedPath);
    std::string path(selectedPath.substr(0, selectedPath.size() -
                                                std::min<std::size_t>(selectedPath.size(), 4)));
    path.append(".txt");
    return path;
}

bool FileExists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    const std::size_t sep = path.rfind(Separator);
    const std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
    if (name.empty())
        return false; // a folder's path
    if (!hasWildcard(name)) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    std::error_code ec;
    for (fs::directory_iterator it(folderPart(path), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (files::wildcardMatch(name, it->path().filename().string(), false) && it->is_regular_file(typeError))
            return true;
    }
    return false;
}

app::MessageBox saveNameBox(std::string_view saveName) {
    return {std::string(saveName), app::ApplicationTitle, app::Buttons::Ok, app::Icon::None};
}

app::MessageBox overwriteQuestion() {
    return {"Do you want to overwrite the file?", "File already exists", app::Buttons::YesNo,
            app::Icon::Information};
}

app::MessageBox saveErrorMessage(std::string_view currentFile, int errorNumber) {
    return {"Error saving file " + std::string(currentFile) + " to disk",
            "error nr: " + std::to_string(errorNumber), app::Buttons::Ok, app::Icon::Exclamation};
}

int writeProcessedText(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return errorNumber(ENOENT);
    const std::string target = followLinks(path);
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return errorNumber(errno);
        const int err = replaceFile(target, bytes, nullptr);
        return err == 0 ? 0 : errorNumber(err);
    }
    if (S_ISLNK(st.st_mode))
        return errorNumber(ELOOP);
    if (S_ISDIR(st.st_mode))
        return errorNumber(EISDIR);
    if (!S_ISREG(st.st_mode)) {
        const int err = writeInPlace(target, bytes);
        return err == 0 ? 0 : errorNumber(err);
    }
    // A file we may not write is refused, not replaced behind its back.
    const int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (probe < 0)
        return errorNumber(errno);
    ::close(probe);
    const int err = replaceFile(target, bytes, &st);
    return err == 0 ? 0 : errorNumber(err);
}

std::string currentFolder() {
    std::error_code ec;
    return fs::current_path(ec).string();
}

int setCurrentFolder(const std::string& folder) {
    std::error_code ec;
    fs::current_path(folder, ec);
    return ec ? errorNumber(ec.value()) : 0;
}

} // namespace tallix::actions
