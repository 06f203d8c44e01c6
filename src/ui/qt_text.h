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
// A path as the file system names it (local 8-bit encoding) and back.
QString fromPath(const std::string& path);
std::string toPath(const QString& path);

} // namespace tallix::ui
