#pragma once
// What the fuzz targets share: a check that stops the run with a message (the
// fuzzer then keeps the input that broke it), and the input as bytes.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define TALLIX_FUZZ_CHECK(condition)                                                               \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace tallix::fuzz {

// A scratch file of this process, "/tmp/tallix-fuzz-<what>-<pid><ending>".
inline std::string scratchFile(const char* what, const char* ending) {
    char name[96];
    std::snprintf(name, sizeof name, "/tmp/tallix-fuzz-%s-%ld%s", what,
                  static_cast<long>(::getpid()), ending);
    return name;
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string_view()
                     : std::string_view(reinterpret_cast<const char*>(data), size);
}

// A 64-bit FNV-1a hash: pseudo-random choices that still follow the input.
inline std::uint64_t hashOf(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ULL;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ULL;
    }
    return h;
}

// Line breaks as the raw pane counts them: CR LF, a lone CR and a lone LF.
inline std::size_t breaksIn(std::string_view text) {
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n')))
            ++breaks;
    }
    return breaks;
}

} // namespace tallix::fuzz
