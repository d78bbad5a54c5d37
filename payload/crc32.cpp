#include "payload/crc32.h"

#include <array>

namespace vt {
namespace {

constexpr std::array<std::uint32_t, 256> make_table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[i] = c;
    }
    return table;
}

constexpr auto crc_table = make_table();

} // namespace

void Crc32::update(const void* data, std::size_t size) noexcept {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t c = state_;
    for (std::size_t i = 0; i < size; ++i) {
        c = crc_table[(c ^ bytes[i]) & 0xFFu] ^ (c >> 8);
    }
    state_ = c;
}

std::uint32_t crc32_of(const void* data, std::size_t size) noexcept {
    Crc32 crc;
    crc.update(data, size);
    return crc.value();
}

} // namespace vt
