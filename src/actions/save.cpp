#include "actions/save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "app/host_folders.h"
#include "base/error_numbers.h"
#include "files/file_list.h"

namespace tallix::actions {

namespace fs = std::filesystem;

namespace {

constexpr char Separator = static_cast<char>(fs::path::preferred_separator);

int errorNumber(int err) {
    return base::errorNumberFromErrno(err);
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

// A link in a folder that anyone may write to but only owners may delete from
// (as /tmp) may have been planted there by anyone, to make us write where
// they may not. It is followed only when it belongs to us or to the folder's
// owner, as the kernel does when it protects links; otherwise EACCES.
int plantedLink(const std::string& link, const struct stat& linkStat) {
    struct stat folder {};
    if (::stat(folderPart(link).c_str(), &folder) != 0)
        return errno;
    const bool sharedSticky = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    if (!sharedSticky || linkStat.st_uid == ::geteuid() || linkStat.st_uid == folder.st_uid)
        return 0;
    return EACCES;
}

// Every link on the way to `path`, in its folders as in its last part, passes
// plantedLink.
int plantedLinkOnTheWay(const std::string& path) {
    for (std::size_t end = path.find(Separator, 1);; end = path.find(Separator, end + 1)) {
        const std::string prefix = path.substr(0, end);
        struct stat st {};
        if (!prefix.empty() && ::lstat(prefix.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            if (const int err = plantedLink(prefix, st); err != 0)
                return err;
        if (end == std::string::npos)
            return 0;
    }
}

// The file a path names once every link on the way is followed; a link to a
// link to a file gives the file. Too many links leave a link, which the write
// then refuses. Returns EACCES for a planted link (see plantedLink), else 0.
int followLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        if (const int err = plantedLinkOnTheWay(path); err != 0)
            return err;
        std::error_code ec;
        const fs::path p(path);
        if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec)
            return 0;
        fs::path target = fs::read_symlink(p, ec);
        if (ec)
            return 0;
        if (target.is_relative())
            target = fs::path(folderPart(path)) / target;
        path = target.string();
    }
    return 0;
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

bool diskFull(int err) {
    return err == ENOSPC || err == EDQUOT;
}

// Replaces the target through a new file beside it. `inPlaceMayDo` is set
// when that failed only because the folder takes no new file or the disk has
// no room for a second copy.
int replaceFile(const std::string& target, std::string_view bytes, const struct stat* existing,
                bool& inPlaceMayDo) {
    std::string tempPath;
    const std::string folder = folderPart(target);
    const int fd = createTemporary(folder, tempPath);
    if (fd < 0) {
        inPlaceMayDo = errno == EACCES || errno == EPERM || errno == EROFS || diskFull(errno);
        return errno == ENOENT ? ENOTDIR : errno; // the folder is missing
    }
    const auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        inPlaceMayDo = diskFull(err);
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
        inPlaceMayDo = diskFull(err);
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

int readAllAt(int fd, std::string& out) {
    char buf[64 * 1024];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, at);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        out.append(buf, static_cast<std::size_t>(n));
        at += n;
    }
}

// Truncates the file and writes the bytes into it, for a file that can be
// written where no file beside it can be made. Its original bytes are read
// first and written back on any failure, so a failed write still loses
// nothing. `expected` is the file as it was looked at: another file put in
// its place meanwhile is not touched.
int replaceInPlace(const std::string& target, std::string_view bytes, const struct stat& expected) {
    const int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != expected.st_dev ||
        st.st_ino != expected.st_ino) {
        ::close(fd);
        return EAGAIN;
    }
    std::string original;
    if (const int err = readAllAt(fd, original); err != 0) {
        ::close(fd);
        return err;
    }
    const auto writeFromStart = [fd](std::string_view content) {
        if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0)
            return errno;
        if (const int err = writeAll(fd, content); err != 0)
            return err;
        return ::fsync(fd) == 0 ? 0 : errno;
    };
    const int err = writeFromStart(bytes);
    if (err != 0)
        writeFromStart(original);
    if (::close(fd) != 0 && err == 0)
        return errno;
    return err;
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

bool fileExists(const std::string& path) {
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
        if (files::wildcardMatch(name, it->path().filename().string(), false) &&
            it->is_regular_file(typeError))
            return true;
    }
    return false;
}

base::MessageBox saveNameBox(std::string_view saveName) {
    return {std::string(saveName), base::ApplicationTitle, base::Buttons::Ok, base::Icon::None};
}

base::MessageBox overwriteQuestion() {
    return {"Do you want to overwrite the file?", "File already exists", base::Buttons::YesNo,
            base::Icon::Information};
}

base::MessageBox saveErrorMessage(std::string_view currentFile, int errorNumber) {
    return {"Error saving file " + std::string(currentFile) + " to disk",
            "error nr: " + std::to_string(errorNumber), base::Buttons::Ok, base::Icon::Exclamation};
}

int writeProcessedText(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return errorNumber(ENOENT);
    std::string target = path;
    if (const int err = followLinks(target); err != 0)
        return errorNumber(err);
    struct stat st {};
    bool inPlaceMayDo = false;
    if (::lstat(target.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return errorNumber(errno);
        const int err = replaceFile(target, bytes, nullptr, inPlaceMayDo);
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
    int err = replaceFile(target, bytes, &st, inPlaceMayDo);
    // A file that may be written in a folder that takes no new file (or on a
    // disk without room for a second copy) is rewritten where it stands.
    if (err != 0 && inPlaceMayDo)
        err = replaceInPlace(target, bytes, st);
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
