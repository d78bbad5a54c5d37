// Builds payload archives in memory for the tests.
#pragma once

#include "archive_writer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt::test {

struct ArchiveFile {
    std::wstring name; // file name; stored under a build folder
    std::wstring destination = L"<InstallPath>";
    std::uint32_t kind = 0;
    std::string data;
    std::optional<std::uint32_t> forged_crc; // stored instead of the real CRC-32
};

class ArchiveBuilder {
public:
    ArchiveBuilder& add(ArchiveFile file);
    ArchiveBuilder& add(std::wstring name, std::string data,
                        std::wstring destination = L"<InstallPath>");
    // Leaves zero bytes between the end of the table and the first file's data.
    ArchiveBuilder& header_length(std::uint64_t length);

    [[nodiscard]] std::vector<archive_writer::Record> records() const;
    [[nodiscard]] std::string header() const;
    [[nodiscard]] std::string decompressed() const; // header + data
    [[nodiscard]] std::string compressed(int level = 9) const;

private:
    std::vector<ArchiveFile> files_;
    std::uint64_t header_length_ = 0;
};

// Deterministic data of a given size.
[[nodiscard]] std::string pattern(std::size_t size, unsigned seed = 1);

} // namespace vt::test
