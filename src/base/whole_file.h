#pragma once
// Reading a whole file into memory.

#include <optional>
#include <string>

namespace tallix::base {

// Reads a whole regular file; nothing when it cannot be opened or read, or
// is no regular file (a pipe, a device, a folder), with the failure's error
// number in `errorNumber` when given.
std::optional<std::string> readWholeFile(const std::string& path, int* errorNumber = nullptr);

} // namespace tallix::base
