#include "payload/extract.h"

#include "payload/compress_error.h"
#include "payload/error_translation.h"
#include "payload/extractor.h"

#include <boost/filesystem/exception.hpp>
#include <boost/iostreams/compose.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/operations.hpp>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <optional>

namespace io = boost::iostreams;

namespace vt {
namespace {

constexpr std::streamsize block_size = 4096;

// Hands the decoder's output to the extractor, offering the rest of a chunk again
// until all of it is taken.
struct extractor_sink {
    using char_type = char;
    using category = io::sink_tag;

    PayloadExtractor* extractor;

    std::streamsize write(const char* s, std::streamsize n) {
        std::streamsize taken = 0;
        while (taken < n) {
            taken += extractor->write(s + taken, n - taken);
        }
        return n;
    }
};

// The compressed source through the bzip2 decoder into the extractor, in reads of
// 4096 bytes, as boost::iostreams::copy does; the chain is closed (flushing the
// decoder's last output) only when every read went through, so that after a
// decoder failure no further output reaches the files. Returns the bytes read.
std::uint64_t decode_into(std::istream& source, PayloadExtractor& extractor) {
    auto chain = io::compose(io::bzip2_decompressor(), extractor_sink{&extractor});
    std::array<char, block_size> block;
    std::uint64_t read = 0;
    for (;;) {
        const std::streamsize got = source.rdbuf()->sgetn(block.data(), block_size);
        if (got <= 0) {
            break;
        }
        read += static_cast<std::uint64_t>(got);
        io::write(chain, block.data(), got);
    }
    io::close(chain, std::ios_base::out);
    return read;
}

std::wstring path_of(const std::exception& e) {
    if (const auto* fs_error = dynamic_cast<const boost::filesystem::filesystem_error*>(&e)) {
        return fs_error->path1().wstring();
    }
    return {};
}

} // namespace

bool extract_payload(std::istream& source, PayloadFolders folders, notification_handler handler) {
    const auto notify = [&handler](notification n) {
        return handler ? handler(std::move(n)) : notification::result::proceed;
    };
    std::wstring current_path;
    std::optional<PayloadExtractor> extractor;
    try {
        errno = 0;
        _doserrno = 0;
        notify(notify::started{});
        extractor.emplace(std::move(folders), handler);
        std::uint64_t source_bytes = 0;
        try {
            source_bytes = decode_into(source, *extractor);
            extractor->finish_trailing_empty_entries();
        } catch (...) {
            current_path = extractor->current_target();
            throw;
        }
        if (extractor->total() != 0 && extractor->done() == extractor->total()) {
            // The handler may still refer to the table's entries while it hears
            // of the end: the extractor goes after it.
            notify(notify::finished{source_bytes, extractor->total()});
            extractor.reset();
            return true;
        }
        current_path = extractor->current_target();
        throw_compress_error(compress_error::unexpected_error);
    } catch (const std::exception& e) {
        extractor.reset(); // closes a file still open; its partial content stays
        const std::error_code code = error_code_of(e);
        if (current_path.empty()) {
            current_path = path_of(e);
        }
        notify(notify::failed{code, std::move(current_path)});
        return false;
    }
}

} // namespace vt
