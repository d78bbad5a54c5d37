#include "payload/archive_table.h"

#include "payload/compress_error.h"

#include <string>

namespace vt {
namespace {

// Little-endian fields out of a bounded block; running past its end is a
// malformed archive.
class HeaderReader {
public:
    explicit HeaderReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    [[nodiscard]] std::size_t left() const noexcept { return bytes_.size() - at_; }

    template <class Unsigned>
    Unsigned number() {
        need(sizeof(Unsigned));
        Unsigned value = 0;
        for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
            value |= static_cast<Unsigned>(std::to_integer<unsigned>(bytes_[at_ + i])) << (8 * i);
        }
        at_ += sizeof(Unsigned);
        return value;
    }

    std::wstring text() {
        const auto units = number<std::uint32_t>();
        need(std::uint64_t{units} * 2);
        std::wstring value(units, L'\0');
        for (std::uint32_t i = 0; i < units; ++i) {
            value[i] = static_cast<wchar_t>(std::to_integer<unsigned>(bytes_[at_]) |
                                            std::to_integer<unsigned>(bytes_[at_ + 1]) << 8);
            at_ += 2;
        }
        return value;
    }

    void skip(std::size_t count) {
        need(count);
        at_ += count;
    }

private:
    void need(std::uint64_t count) const {
        if (count > left()) {
            throw_compress_error(compress_error::unexpected_error);
        }
    }

    std::span<const std::byte> bytes_;
    std::size_t at_ = 0;
};

} // namespace

std::uint64_t read_header_length(std::span<const std::byte, 8> bytes) {
    const auto length = HeaderReader(bytes).number<std::uint64_t>();
    if (length < archive_layout::table_offset || length > archive_layout::header_length_limit) {
        throw_compress_error(compress_error::unexpected_error);
    }
    return length;
}

std::vector<PayloadEntry> read_archive_table(std::span<const std::byte> header) {
    HeaderReader reader(header);
    reader.skip(archive_layout::length_field_size);
    const auto count = reader.number<std::uint32_t>();
    if (count > reader.left() / archive_layout::smallest_record) {
        throw_compress_error(compress_error::unexpected_error);
    }
    std::vector<PayloadEntry> entries;
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        PayloadEntry entry;
        entry.source_path = reader.text();
        entry.destination = reader.text();
        entry.kind = reader.number<std::uint32_t>();
        entry.size = reader.number<std::uint64_t>();
        entry.crc32 = reader.number<std::uint32_t>();
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace vt
