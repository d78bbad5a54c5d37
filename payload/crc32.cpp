#include "payload/crc32.h"

#include <array>

namespace vt {
namespace {

// The reflected table of polynomial 0x04C11DB7, and seven more derived from it so
// that eight bytes are folded at a time (the same result as byte by byte).
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables make_tables() {
    Tables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        t[0][i] = c;
    }
    for (std::size_t k = 1; k < 8; ++k) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
        }
    }
    return t;
}

constexpr Tables crc_tables = make_tables();

} // namespace

void Crc32::update(const void* data, std::size_t size) noexcept {
    const auto* p = static_cast<const unsigned char*>(data);
    const auto& t = crc_tables;
    std::uint32_t c = state_;
    for (; size >= 8; size -= 8, p += 8) {
        const std::uint32_t lo = c ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                      std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
        c = t[7][lo & 0xFFu] ^ t[6][(lo >> 8) & 0xFFu] ^ t[5][(lo >> 16) & 0xFFu] ^ t[4][lo >> 24] ^
            t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; size > 0; --size, ++p) {
        c = t[0][(c ^ *p) & 0xFFu] ^ (c >> 8);
    }
    state_ = c;
}

std::uint32_t crc32_of(const void* data, std::size_t size) noexcept {
    Crc32 crc;
    crc.update(data, size);
    return crc.value();
}

} // namespace vt
