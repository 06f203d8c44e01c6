#include "files/file_facts.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "base/error_numbers.h"

namespace tallix::files {

FileFactsResult readFileFacts(const std::string& path) {
    FileFactsResult r;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        r.errorNumber = base::errorNumberFromErrno(errno);
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.errorNumber = base::errorNumberFromErrno(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        return r;
    }
    std::tm local{};
    const std::time_t t = st.st_mtime;
    if (::localtime_r(&t, &local) == nullptr) {
        r.errorNumber = base::errorNumberFromErrno(EINVAL);
        return r;
    }
    FileFacts f;
    f.size = static_cast<std::uint64_t>(st.st_size);
    f.modified = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     local.tm_sec};
    r.facts = f;
    return r;
}

std::uint64_t sizeKb(std::uint64_t bytes) {
    return bytes / 1024 + 1;
}

DateFormat defaultDateFormat() {
    return {[](const LocalDateTime& d) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
                return std::string(buf);
            },
            [](const LocalDateTime& d) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", d.hour, d.minute, d.second);
                return std::string(buf);
            }};
}

std::string generalDateText(const LocalDateTime& when, const DateFormat& format) {
    if (when.hour == 0 && when.minute == 0 && when.second == 0)
        return format.shortDate(when);
    return format.shortDate(when) + " " + format.longTime(when);
}

} // namespace tallix::files
