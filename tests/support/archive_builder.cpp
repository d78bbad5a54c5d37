#include "archive_builder.h"

#include "payload/crc32.h"

namespace vt::test {

ArchiveBuilder& ArchiveBuilder::add(ArchiveFile file) {
    files_.push_back(std::move(file));
    return *this;
}

ArchiveBuilder& ArchiveBuilder::add(std::wstring name, std::string data, std::wstring destination) {
    ArchiveFile file;
    file.name = std::move(name);
    file.data = std::move(data);
    file.destination = std::move(destination);
    return add(std::move(file));
}

ArchiveBuilder& ArchiveBuilder::header_length(std::uint64_t length) {
    header_length_ = length;
    return *this;
}

std::vector<archive_writer::Record> ArchiveBuilder::records() const {
    std::vector<archive_writer::Record> records;
    for (const auto& f : files_) {
        records.push_back({L"D:\\build\\payload\\" + f.name, f.destination, f.kind, f.data.size(),
                           f.forged_crc.value_or(crc32_of(f.data.data(), f.data.size()))});
    }
    return records;
}

std::string ArchiveBuilder::header() const {
    return archive_writer::encode_header(records(), header_length_);
}

std::string ArchiveBuilder::decompressed() const {
    std::string bytes = header();
    for (const auto& f : files_) {
        bytes += f.data;
    }
    return bytes;
}

std::string ArchiveBuilder::compressed(int level) const {
    return archive_writer::compress(decompressed(), level);
}

std::string pattern(std::size_t size, unsigned seed) {
    std::string data(size, '\0');
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (auto& c : data) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    return data;
}

} // namespace vt::test
