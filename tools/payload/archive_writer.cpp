#include "archive_writer.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>

#include <sstream>

namespace io = boost::iostreams;

namespace vt::archive_writer {
namespace {

template <class Unsigned>
void put(std::string& out, Unsigned value) {
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

void put_text(std::string& out, const std::wstring& text) {
    put(out, static_cast<std::uint32_t>(text.size()));
    for (wchar_t unit : text) {
        put(out, static_cast<std::uint16_t>(unit));
    }
}

} // namespace

std::string encode_header(const std::vector<Record>& records, std::uint64_t header_length) {
    std::string table;
    put(table, static_cast<std::uint32_t>(records.size()));
    for (const auto& r : records) {
        put_text(table, r.source_path);
        put_text(table, r.destination);
        put(table, r.kind);
        put(table, r.size);
        put(table, r.crc32);
    }
    const std::uint64_t exact = 8 + table.size();
    const std::uint64_t length = header_length != 0 ? header_length : exact;
    std::string header;
    put(header, length);
    header += table;
    if (length > exact) {
        header.append(static_cast<std::size_t>(length - exact), '\0');
    }
    return header;
}

void compress_to(std::ostream& out, int level,
                 const std::function<void(std::ostream& decompressed)>& produce) {
    io::filtering_ostream chain;
    chain.push(io::bzip2_compressor(io::bzip2_params(level)), 4096);
    chain.push(out, 4096);
    produce(chain);
    chain.reset(); // flushes the compressor's last block and the stream trailer
}

std::string compress(std::string_view decompressed, int level) {
    std::ostringstream out(std::ios_base::binary);
    compress_to(out, level, [&](std::ostream& d) {
        d.write(decompressed.data(), static_cast<std::streamsize>(decompressed.size()));
    });
    return std::move(out).str();
}

} // namespace vt::archive_writer
