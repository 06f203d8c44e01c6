#pragma once
// A file's size and date as the file list shows them.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tallix::files {

struct LocalDateTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

struct FileFacts {
    std::uint64_t size = 0;
    LocalDateTime modified; // last change, local time
};

// The facts of an ordinary file, or the error number of the failure.
struct FileFactsResult {
    std::optional<FileFacts> facts;
    int errorNumber = 0;
};
FileFactsResult readFileFacts(const std::string& path);

// Size in kilobytes as shown: bytes / 1024 with the remainder dropped, plus one.
std::uint64_t sizeKb(std::uint64_t bytes);

// The system's short date and long time; the window gives the desktop's, the
// core's own default is ISO ("2026-12-06", "14:05:09").
struct DateFormat {
    std::function<std::string(const LocalDateTime&)> shortDate;
    std::function<std::string(const LocalDateTime&)> longTime;
};
DateFormat defaultDateFormat();

// The general date form: short date, a blank and long time; a time of exactly
// midnight is left out.
std::string generalDateText(const LocalDateTime& when, const DateFormat& format);

} // namespace tallix::files
