// The CRC-32 of the archive entries: the reflected CRC of polynomial 0x04C11DB7,
// initial value all ones, final complement (the checksum of zlib and ZIP).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vt {

class Crc32 {
public:
    void update(const void* data, std::size_t size) noexcept;
    [[nodiscard]] std::uint32_t value() const noexcept { return ~state_; }

private:
    std::uint32_t state_ = 0xFFFFFFFFu;
};

[[nodiscard]] std::uint32_t crc32_of(const void* data, std::size_t size) noexcept;

// The CRC-32 of a file's bytes on disk. A sharing violation (another process has
// the file open) is retried three times, a second apart. Failures raise
// boost::filesystem::filesystem_error with the path and the system's error code.
[[nodiscard]] std::uint32_t file_crc32(const std::wstring& path);

namespace details {
// How many times the last file_crc32 of this thread waited for another process
// to let go of the file (tests only).
[[nodiscard]] int file_crc32_retries() noexcept;
} // namespace details

} // namespace vt
