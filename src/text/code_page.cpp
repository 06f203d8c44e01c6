#include "text/code_page.h"

#include "text/cp1252.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace tallix::text {

namespace {

constexpr std::int32_t LeadByte = -1; // begins a character of more bytes
constexpr std::int32_t UndefinedByte = -2;

// The name glibc's iconv knows a Windows code page by.
std::string iconvName(int codePage) {
    switch (codePage) {
    case 10000:
        return "MACINTOSH";
    case 65001:
        return "UTF-8";
    case 1361:
        return "JOHAB";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28599)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    if (codePage == 28603 || codePage == 28605)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

enum class Outcome { Complete, Incomplete, Invalid };

struct Converted {
    Outcome outcome = Outcome::Invalid;
    std::array<char32_t, 4> codePoints{};
    std::size_t count = 0;
};

} // namespace

// One converter to UTF-32, with what each single byte gives.
class CodePageConverter {
public:
    explicit CodePageConverter(iconv_t handle) : handle_(handle) {
        // Every Windows code page a document can name keeps ASCII as it is;
        // some of the system's converters do not (its Johab reads 0x5C as
        // the won sign), and Windows' reading is the one to follow.
        for (std::size_t b = 0; b < 0x80; ++b)
            single_[b] = static_cast<std::int32_t>(b);
        for (std::size_t b = 0x80; b < single_.size(); ++b) {
            const auto byte = static_cast<unsigned char>(b);
            const Converted c = convert(&byte, 1);
            single_[b] = c.outcome == Outcome::Incomplete ? LeadByte
                         : c.outcome == Outcome::Complete && c.count > 0
                             ? static_cast<std::int32_t>(c.codePoints[0])
                             : UndefinedByte;
        }
    }
    ~CodePageConverter() { iconv_close(handle_); }
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    std::int32_t single(unsigned char byte) const { return single_[byte]; }

    Converted convert(const unsigned char* bytes, std::size_t size) const {
        Converted result;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr); // a fresh start
        char in[4] = {};
        for (std::size_t i = 0; i < size && i < sizeof in; ++i)
            in[i] = static_cast<char>(bytes[i]);
        char out[4 * 4] = {};
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = size, outLeft = sizeof out;
        const std::size_t done = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            result.outcome = errno == EINVAL ? Outcome::Incomplete : Outcome::Invalid;
            return result;
        }
        // Some converters hold a character back to combine it with the next.
        iconv(handle_, nullptr, nullptr, &outPtr, &outLeft);
        result.outcome = Outcome::Complete;
        const auto produced = static_cast<std::size_t>(outPtr - out) / 4;
        for (std::size_t i = 0; i < produced; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(out + 4 * i);
            result.codePoints[i] = static_cast<char32_t>(p[0]) | static_cast<char32_t>(p[1]) << 8 |
                                   static_cast<char32_t>(p[2]) << 16 |
                                   static_cast<char32_t>(p[3]) << 24;
        }
        result.count = produced;
        return result;
    }

private:
    iconv_t handle_;
    std::array<std::int32_t, 256> single_{};
};

namespace {

// The converters of this thread by code page; an empty entry where the system
// has none. Opening one and learning its single bytes costs far more than a
// document's worth of lookups, so each is opened once.
const CodePageConverter* converterFor(int codePage) {
    static thread_local std::unordered_map<int, std::unique_ptr<CodePageConverter>> converters;
    if (codePage <= 0 || codePage > 65535)
        return nullptr;
    const auto found = converters.find(codePage);
    if (found != converters.end())
        return found->second.get();
    std::unique_ptr<CodePageConverter> converter;
    const iconv_t handle = iconv_open("UTF-32LE", iconvName(codePage).c_str());
    if (handle != reinterpret_cast<iconv_t>(-1))
        converter = std::make_unique<CodePageConverter>(handle);
    return converters.emplace(codePage, std::move(converter)).first->second.get();
}

} // namespace

const CodePageConverter* CodePageDecoder::converter(int codePage) {
    if (codePage != lastCodePage_) {
        lastCodePage_ = codePage;
        lastConverter_ = codePage == 1252 ? nullptr : converterFor(codePage);
    }
    return lastConverter_;
}

bool CodePageDecoder::converts(int codePage) {
    return converterFor(codePage) != nullptr;
}

void CodePageDecoder::flush(std::u32string& out) {
    if (pendingSize_ == 0)
        return;
    pendingSize_ = 0;
    out.push_back(U'?');
}

void CodePageDecoder::put(int codePage, unsigned char byte, std::u32string& out) {
    if (pendingSize_ != 0 && codePage != pendingCodePage_)
        flush(out);
    const CodePageConverter* converter = this->converter(codePage);
    if (!converter) {
        out.push_back(cp1252ToUnicode(byte));
        return;
    }
    if (pendingSize_ == 0) {
        const std::int32_t single = converter->single(byte);
        if (single >= 0) {
            out.push_back(static_cast<char32_t>(single));
        } else if (single == UndefinedByte) {
            out.push_back(U'?');
        } else {
            pending_[0] = byte;
            pendingSize_ = 1;
            pendingCodePage_ = codePage;
        }
        return;
    }
    pending_[pendingSize_++] = byte;
    const Converted c = converter->convert(pending_.data(), pendingSize_);
    switch (c.outcome) {
    case Outcome::Complete:
        pendingSize_ = 0;
        out.append(c.codePoints.data(), c.count);
        break;
    case Outcome::Incomplete:
        if (pendingSize_ == pending_.size())
            flush(out);
        break;
    case Outcome::Invalid: {
        // The lead byte gives '?'; the bytes after it are read again on their
        // own, so an ASCII character that follows a stray lead byte stays.
        const std::array<unsigned char, 4> rest = pending_;
        const std::size_t restSize = pendingSize_ - 1;
        pendingSize_ = 0;
        out.push_back(U'?');
        for (std::size_t i = 1; i <= restSize; ++i)
            put(codePage, rest[i], out);
        break;
    }
    }
}

} // namespace tallix::text
