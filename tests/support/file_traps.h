#pragma once
// Traps at the file boundary for the tests: a link planted by another user in
// a shared sticky folder (as /tmp), and a folder that takes no new file while
// the files in it stay writable.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace tallix::testsupport {

// Someone else: not us, not root.
inline constexpr uid_t OtherUser = 65534;

// Makes `folder` shared and sticky (mode 1777) and puts a link `name` to
// `target` into it, owned by `owner`. False when the link's owner cannot be
// set (only root may give a link away).
inline bool plantLink(const std::filesystem::path& folder, const std::string& name,
                      const std::string& target, uid_t owner) {
    ::chmod(folder.c_str(), 01777);
    const std::filesystem::path link = folder / name;
    std::filesystem::create_symlink(target, link);
    return ::lchown(link.c_str(), owner, static_cast<gid_t>(-1)) == 0;
}

// While it lives, no file can be made in `folder`, and the files already in
// it can still be written. As root (whom permission bits do not stop) the
// folder is marked immutable; `ready` is false where that is not possible.
class NoNewFiles {
public:
    explicit NoNewFiles(const std::filesystem::path& folder) : folder_(folder) {
        if (::geteuid() != 0) {
            ready = ::chmod(folder.c_str(), 0555) == 0;
            return;
        }
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        immutable_ = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
        if (fd >= 0)
            ::close(fd);
        ready = immutable_;
    }
    ~NoNewFiles() {
        if (::geteuid() != 0) {
            ::chmod(folder_.c_str(), 0755);
        } else if (immutable_) {
            const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0)
                ::close(fd);
        }
    }
    NoNewFiles(const NoNewFiles&) = delete;
    NoNewFiles& operator=(const NoNewFiles&) = delete;

    bool ready = false;

private:
    std::filesystem::path folder_;
    bool immutable_ = false;
};

} // namespace tallix::testsupport
