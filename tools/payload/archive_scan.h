// Reading an archive without writing anything: its table, and optionally every
// entry's data checked against its CRC-32.
#pragma once

#include "payload/archive.h"

#include <istream>
#include <vector>

namespace vt::tool {

struct ArchiveScan {
    std::uint64_t header_length = 0;
    std::vector<PayloadEntry> entries; // destinations as stored
};

enum class ScanDepth { table, data };

// Raises std::system_error with a code of compress_category() (and a message that
// names the entry for a CRC mismatch) or the decoder's bzip2_error.
[[nodiscard]] ArchiveScan scan_archive(std::istream& compressed, ScanDepth depth);

} // namespace vt::tool
