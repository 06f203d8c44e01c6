#pragma once
// A small PNG writer for the report's chart: an 8-bit palette image in a zlib
// stream of stored (uncompressed) deflate blocks, so no compression library
// is needed.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tallix::report {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// `pixels` holds width × height palette indexes, row by row from the top.
// Returns the PNG file's bytes.
std::string encodePng(int width, int height, const std::vector<Rgb>& palette,
                      const std::vector<std::uint8_t>& pixels);

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t adler32(const unsigned char* data, std::size_t size);

} // namespace tallix::report
