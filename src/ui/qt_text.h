#pragma once
// 8-bit texts (Windows-1252 bytes) and Qt's strings. The bytes stay the truth;
// a QString is only what a person sees.

#include <QString>

#include <string>
#include <string_view>

namespace tallix::ui {

QString fromBytes(std::string_view bytes);
std::string toBytes(const QString& text);
// For showing a text whose lines end in CR LF, a lone CR or a lone LF: every
// line end becomes "\n".
QString toDisplayText(std::string_view bytes);
// The same for a text pane, which builds a document of one block per line ten
// times slower than one of a few lines per block: the line ends within a
// block are line separators (U+2028), which the pane lays out as line breaks
// and gives back as "\n" (toPlainText). The text's last line end ends a block.
QString toPaneText(std::string_view bytes);

// A file name or path as the file system holds it (UTF-8 as a rule) and back.
// A byte that is no part of valid UTF-8 shows as "\xE9", so two different
// names never look alike; a literal "\x" followed by two hex digits shows as
// "\\x". toPath turns both back, so a name shown and typed again names the
// same file.
QString fromPath(std::string_view path);
std::string toPath(const QString& path);

// A path handed to Qt's own file functions and back, in Qt's file-name
// encoding.
QString qtFileName(const std::string& path);
std::string fromQtFileName(const QString& name);

// The texts the prompts show and take are UTF-8: a path shown in one, and a
// text the desktop gives (a date, a time, an error description), which is
// UTF-8 already.
std::string displayPath(std::string_view path);
QString fromDesktop(std::string_view utf8);
std::string toDesktop(const QString& text);

} // namespace tallix::ui
