#include "base/error_numbers.h"

#include <cerrno>

namespace tallix::base {

int errorNumberFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return 53;
    case ENOTDIR:
        return 76;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return 70;
    case EEXIST:
    case ENOTEMPTY:
        return 58;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 61;
    case EIO:
        return 57;
    case EMFILE:
    case ENFILE:
        return 67;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return 52;
    default:
        return 75;
    }
}

std::string errorDescription(int errorNumber) {
    switch (errorNumber) {
    case 52:
        return "Bad file name or number";
    case 53:
        return "File not found";
    case 57:
        return "Device I/O error";
    case 58:
        return "File already exists";
    case 61:
        return "Disk full";
    case 67:
        return "Too many files";
    case 70:
        return "Permission denied";
    case 76:
        return "Path not found";
    default:
        return "Path/File access error";
    }
}

} // namespace tallix::base
