#pragma once
// Bytes of another code page turned into Unicode by the system's converter
// (iconv). A rich-text document names the code page of its 8-bit characters;
// to show them as Windows-1252 they go through Unicode on the way.

#include <array>
#include <cstddef>
#include <string>

namespace tallix::text {

class CodePageConverter;

// Decodes a stream of bytes whose code page may change from one byte to the
// next. A byte that begins a character of two or more bytes (a lead byte of a
// double-byte code page) waits for the bytes that complete it. One object per
// document; the converters behind it are opened once per thread and kept.
class CodePageDecoder {
public:
    // Appends the characters that `byte`, in `codePage`, completes to `out`.
    // Without a converter for the code page the byte stands for its
    // Windows-1252 character; a byte the code page leaves undefined, or a
    // sequence it cannot complete, gives '?'.
    void put(int codePage, unsigned char byte, std::u32string& out);
    // Ends a character still waiting for bytes; it gives '?'.
    void flush(std::u32string& out);
    bool waiting() const { return pendingSize_ != 0; }

    // Whether the system has a converter for the code page.
    static bool converts(int codePage);

private:
    const CodePageConverter* converter(int codePage);

    const CodePageConverter* lastConverter_ = nullptr; // of lastCodePage_; most bytes share one
    int lastCodePage_ = 0;
    std::array<unsigned char, 4> pending_{};
    std::size_t pendingSize_ = 0;
    int pendingCodePage_ = 0;
};

} // namespace tallix::text
