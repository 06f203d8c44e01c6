#pragma once
// One numbering for every failure number the program shows ("Error nr: 53",
// "error nr: 70", "Rename error:75"): the classic BASIC run-time error numbers
// a Kest operator knows, derived from the system's error code.
//
//   52 bad file name      53 file not found       57 device I/O error
//   58 file already exists 61 disk full           67 too many files
//   70 permission denied  75 path/file access error 76 path not found
//
// 6 and 9 are the analysis' own overflow and line-limit codes and never come
// from here.

#include <string>

namespace tallix::base {

int errorNumberFromErrno(int err);
// A short description of the failure ("Path not found"), for titles that show
// a description rather than a number.
std::string errorDescription(int errorNumber);

} // namespace tallix::base
