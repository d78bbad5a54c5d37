// Writing payload archives: the header, the table and the file data as one bzip2
// stream. Used by the payload tool, the tests and the benchmark.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vt::archive_writer {

// One record of the table, as it is stored.
struct Record {
    std::wstring source_path;
    std::wstring destination;
    std::uint32_t kind = 0;
    std::uint64_t size = 0;
    std::uint32_t crc32 = 0;
};

// The decompressed header: header_length, entry_count and the records. A
// `header_length` of 0 means the exact length of what is written; a larger one
// leaves zero bytes between the table and the data.
[[nodiscard]] std::string encode_header(const std::vector<Record>& records,
                                        std::uint64_t header_length = 0);

// Compresses everything that `produce` writes into `out` as one bzip2 stream.
void compress_to(std::ostream& out, int level,
                 const std::function<void(std::ostream& decompressed)>& produce);

// A whole archive in memory: header, then the data of each record in order.
[[nodiscard]] std::string compress(std::string_view decompressed, int level = 9);

} // namespace vt::archive_writer
