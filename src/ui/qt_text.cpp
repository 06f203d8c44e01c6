#include "ui/qt_text.h"

#include <QFile>

#include "text/cp1252.h"

namespace tallix::ui {

QString fromBytes(std::string_view bytes) {
    const std::u16string utf16 = text::cp1252ToUtf16(bytes);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

std::string toBytes(const QString& text) {
    return text::utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                   static_cast<std::size_t>(text.size())));
}

QString toDisplayText(std::string_view bytes) {
    QString s = fromBytes(bytes);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString toPaneText(std::string_view bytes) {
    constexpr std::size_t LinesPerBlock = 16;
    const std::u16string wide = text::cp1252ToUtf16(bytes);
    QString shown(static_cast<qsizetype>(wide.size()), Qt::Uninitialized);
    QChar* out = shown.data();
    std::size_t lines = 0;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char16_t c = wide[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < wide.size() && wide[i + 1] == u'\n')
                ++i;
            const bool blockEnds = ++lines % LinesPerBlock == 0 || i + 1 == wide.size();
            c = blockEnds ? u'\n' : static_cast<char16_t>(QChar::LineSeparator);
        }
        *out++ = QChar(c);
    }
    shown.truncate(out - shown.data());
    return shown;
}

namespace {

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool isHexDigit(char c) {
    return isHexDigit(QLatin1Char(c));
}

// The length of the valid UTF-8 sequence at the start of `s`, or 0.
std::size_t utf8SequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

} // namespace

QString fromPath(std::string_view path) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(path.size()));
    for (std::size_t i = 0; i < path.size();) {
        if (path.compare(i, 2, "\\x") == 0 && i + 3 < path.size() && isHexDigit(path[i + 2]) &&
            isHexDigit(path[i + 3])) {
            shown += QLatin1String("\\\\x");
            i += 2;
            continue;
        }
        if (const std::size_t n = utf8SequenceLength(path.substr(i)); n > 0) {
            shown += QString::fromUtf8(path.data() + i, static_cast<qsizetype>(n));
            i += n;
            continue;
        }
        shown += QLatin1String("\\x") + QString::number(static_cast<unsigned char>(path[i]), 16)
                                            .toUpper()
                                            .rightJustified(2, QLatin1Char('0'));
        ++i;
    }
    return shown;
}

std::string toPath(const QString& shown) {
    std::string path;
    path.reserve(static_cast<std::size_t>(shown.size()));
    QString plain; // a run of text without escapes
    const auto flush = [&] {
        path += plain.toUtf8().toStdString();
        plain.clear();
    };
    for (qsizetype i = 0; i < shown.size();) {
        if (shown.mid(i, 3) == QLatin1String("\\\\x") && i + 4 < shown.size() &&
            isHexDigit(shown[i + 3]) && isHexDigit(shown[i + 4])) {
            plain += QLatin1String("\\x");
            i += 3;
        } else if (shown.mid(i, 2) == QLatin1String("\\x") && i + 3 < shown.size() &&
                   isHexDigit(shown[i + 2]) && isHexDigit(shown[i + 3])) {
            flush();
            path.push_back(static_cast<char>(shown.mid(i + 2, 2).toUInt(nullptr, 16)));
            i += 4;
        } else {
            plain += shown[i];
            ++i;
        }
    }
    flush();
    return path;
}

QString qtFileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string fromQtFileName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

std::string displayPath(std::string_view path) {
    return toDesktop(fromPath(path));
}

QString fromDesktop(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toDesktop(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace tallix::ui
