#include "archive_scan.h"

#include "console.h"
#include "payload/archive_table.h"
#include "payload/compress_error.h"
#include "payload/crc32.h"

#include <boost/iostreams/compose.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/operations.hpp>

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace io = boost::iostreams;

namespace vt::tool {
namespace {

struct table_complete {}; // ends the decoding once the table is read

class Scanner {
public:
    explicit Scanner(ScanDepth depth) : depth_(depth) {}

    void consume(const char* s, std::size_t n) {
        while (n > 0) {
            const std::size_t taken = table_read_ ? data(s, n) : header(s, n);
            s += taken;
            n -= taken;
        }
    }

    void finish() {
        if (!table_read_ || next_ != scan.entries.size()) {
            throw_compress_error(compress_error::unexpected_error);
        }
    }

    ArchiveScan scan;

private:
    std::size_t header(const char* s, std::size_t n) {
        const std::uint64_t wanted = header_.size() < 8 ? 8 : scan.header_length;
        const auto take =
            static_cast<std::size_t>(std::min<std::uint64_t>(wanted - header_.size(), n));
        header_.append(s, take);
        const auto bytes = std::as_bytes(std::span(header_.data(), header_.size()));
        if (header_.size() == 8 && scan.header_length == 0) {
            scan.header_length = read_header_length(bytes.first<8>());
        } else if (header_.size() == scan.header_length) {
            scan.entries = read_archive_table(bytes);
            table_read_ = true;
            header_.clear();
            if (depth_ == ScanDepth::table) {
                throw table_complete{};
            }
            begin_entry();
        }
        return take;
    }

    void begin_entry() {
        while (next_ < scan.entries.size() && scan.entries[next_].size == 0) {
            check(scan.entries[next_], Crc32{});
            ++next_;
        }
        crc_ = Crc32{};
        left_ = next_ < scan.entries.size() ? scan.entries[next_].size : 0;
    }

    std::size_t data(const char* s, std::size_t n) {
        if (next_ >= scan.entries.size()) {
            throw_compress_error(compress_error::unexpected_error); // more data than announced
        }
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(left_, n));
        crc_.update(s, take);
        left_ -= take;
        if (left_ == 0) {
            check(scan.entries[next_], crc_);
            ++next_;
            begin_entry();
        }
        return take;
    }

    static void check(const PayloadEntry& entry, const Crc32& crc) {
        if (crc.value() != entry.crc32) {
            throw std::system_error(make_error_code(compress_error::invalid_checksum),
                                    to_utf8(entry.source_path));
        }
    }

    ScanDepth depth_;
    std::string header_;
    bool table_read_ = false;
    std::size_t next_ = 0;
    std::uint64_t left_ = 0;
    Crc32 crc_;
};

struct scanner_sink {
    using char_type = char;
    using category = io::sink_tag;
    Scanner* scanner;
    std::streamsize write(const char* s, std::streamsize n) {
        scanner->consume(s, static_cast<std::size_t>(n));
        return n;
    }
};

} // namespace

ArchiveScan scan_archive(std::istream& compressed, ScanDepth depth) {
    Scanner scanner(depth);
    try {
        auto chain = io::compose(io::bzip2_decompressor(), scanner_sink{&scanner});
        std::array<char, 4096> block;
        std::streamsize got = 0;
        while ((got = compressed.rdbuf()->sgetn(block.data(), block.size())) > 0) {
            io::write(chain, block.data(), got);
        }
        io::close(chain, std::ios_base::out);
    } catch (const table_complete&) {
        return std::move(scanner.scan);
    }
    scanner.finish();
    return std::move(scanner.scan);
}

} // namespace vt::tool
