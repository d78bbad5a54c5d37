// Reading the archive header that the extractor has collected.
#pragma once

#include "payload/archive.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vt {

// The header_length field from the first 8 bytes. Raises unexpected_error for a
// length that cannot be a header: below 12, or 2^32 and more.
[[nodiscard]] std::uint64_t read_header_length(std::span<const std::byte, 8> bytes);

// The entry table of a complete header (all header_length bytes). Every count and
// length is checked against the bytes that are there before anything is allocated
// from it; a record that runs past the header raises unexpected_error. Bytes after
// the last record are ignored.
[[nodiscard]] std::vector<PayloadEntry> read_archive_table(std::span<const std::byte> header);

} // namespace vt
