#include "png_writer.h"

#include <algorithm>

namespace tallix::report {

namespace {

void putBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

const unsigned char* bytesOf(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// Length, type, data and the CRC over type and data.
void putChunk(std::string& out, const char* type, const std::string& data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    putBigEndian(out, crc32(bytesOf(typed), typed.size()));
}

// A zlib stream of stored deflate blocks, at most 65535 bytes each.
std::string storedZlib(const std::string& raw) {
    std::string out = "\x78\x01"; // deflate, 32 KiB window, no dictionary, check bits
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + n == raw.size();
        out.push_back(last ? '\x01' : '\x00');
        const auto len = static_cast<std::uint16_t>(n);
        const auto nlen = static_cast<std::uint16_t>(~len);
        for (const std::uint16_t v : {len, nlen}) {
            out.push_back(static_cast<char>(v & 0xFF));
            out.push_back(static_cast<char>(v >> 8));
        }
        out.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    putBigEndian(out, adler32(bytesOf(raw), raw.size()));
    return out;
}

} // namespace

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t adler32(const unsigned char* data, std::size_t size) {
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::string encodePng(int width, int height, const std::vector<Rgb>& palette,
                      const std::vector<std::uint8_t>& pixels) {
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x03\x00\x00\x00", 5); // 8 bits, palette, no interlace
    putChunk(png, "IHDR", header);

    std::string colours;
    for (const Rgb& c : palette) {
        colours.push_back(static_cast<char>(c.r));
        colours.push_back(static_cast<char>(c.g));
        colours.push_back(static_cast<char>(c.b));
    }
    putChunk(png, "PLTE", colours);

    // Every row starts with filter type 0 (none).
    const auto w = static_cast<std::size_t>(width);
    std::string raw;
    raw.reserve((w + 1) * static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        raw.push_back('\0');
        raw.append(reinterpret_cast<const char*>(pixels.data() + y * w), w);
    }
    putChunk(png, "IDAT", storedZlib(raw));
    putChunk(png, "IEND", "");
    return png;
}

} // namespace tallix::report
