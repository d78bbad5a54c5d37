// The payload archive: one bzip2 stream carried as a resource of the installer,
// holding a header, a table of entries and the data of every file.
#pragma once

#include <cstdint>
#include <string>

namespace vt {

// Where the archive is carried: resource type 260, identifier 134.
struct PayloadArchive {
    static constexpr unsigned short resource_type = 260;
    static constexpr unsigned short resource_id = 134;
    static constexpr unsigned short resource_language = 1024;
};

// What the installation run does with a file. The archive itself does not
// interpret the kind.
enum class FileKind : std::uint32_t {
    Plain = 0,        // a language resource library of the product
    MainProgram = 1,  // the product's main executable
    Uninstaller = 2,  // the product's uninstaller
    KeepExisting = 3, // a file the user may change: an existing copy stays
    SkipOnUpdate = 4, // samples and textures: not written over an older version
    Temporary = 5,    // needed only while the installation runs
};

// One record of the archive table.
struct PayloadEntry {
    std::wstring source_path; // the file's path where the archive was built
    std::wstring destination; // as read; the full target path once the table is complete
    std::uint32_t kind = 0;   // a FileKind, as read
    std::uint64_t size = 0;
    std::uint32_t crc32 = 0;
};

// Fixed layout of the decompressed header, little-endian throughout.
namespace archive_layout {
constexpr std::uint64_t length_field_size = 8;
constexpr std::uint64_t table_offset = 12;                   // after header_length and entry_count
constexpr std::uint64_t smallest_record = 4 + 4 + 4 + 8 + 4; // two empty strings
// The longest header accepted: a real one of 200,000 entries takes a few MiB, and
// the header is buffered whole, so a declared length above this is refused as
// soon as it is read rather than buffered.
constexpr std::uint64_t header_length_limit = std::uint64_t{64} << 20;
} // namespace archive_layout

} // namespace vt
