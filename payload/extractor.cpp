#include "payload/extractor.h"

#include "payload/archive_table.h"
#include "payload/compress_error.h"
#include "payload/crc32.h"
#include "payload/target_file.h"

#include <algorithm>
#include <limits>
#include <span>

namespace vt {
namespace {

using result = notification::result;

void stop_if_aborted(result answer) {
    if (answer == result::abort) {
        throw_compress_error(compress_error::interrupted);
    }
}

std::span<const std::byte> buffered_bytes(const memstream& buffer) {
    const membuf* block = buffer.rdbuf();
    return {reinterpret_cast<const std::byte*>(block->data()), block->size()};
}

} // namespace

PayloadExtractor::PayloadExtractor(PayloadFolders folders, notification_handler handler)
    : folders_(std::move(folders)), handler_(std::move(handler)) {
    auto buffer = std::make_unique<memstream>();
    header_buffer_ = buffer.get();
    stream_ = std::move(buffer);
}

notification::result PayloadExtractor::notify(notification n) const {
    return handler_ ? handler_(std::move(n)) : result::proceed;
}

std::wstring PayloadExtractor::resolve_destination(const std::wstring& destination) const {
    return vt::resolve_destination(folders_, destination);
}

std::wstring PayloadExtractor::current_target() const {
    if (!file_open_ || phase_ == 0 || phase_ > entries_.size()) {
        return {};
    }
    return entries_[phase_ - 1].destination;
}

std::streamsize PayloadExtractor::write(const char* s, std::streamsize n) {
    if (write_failed_) {
        return n;
    }
    try {
        return phase_ == 0 ? write_header(s, n) : write_entry(s, n);
    } catch (...) {
        write_failed_ = true;
        throw;
    }
}

std::streamsize PayloadExtractor::write_header(const char* s, std::streamsize n) {
    const std::uint64_t collected = header_buffer_->rdbuf()->size();
    const std::uint64_t wanted = collected < archive_layout::length_field_size
                                     ? archive_layout::length_field_size
                                     : header_length_;
    const auto take = static_cast<std::streamsize>(
        std::min<std::uint64_t>(wanted - collected, static_cast<std::uint64_t>(n)));
    header_buffer_->write(s, take);
    if (!*header_buffer_) {
        throw_compress_error(compress_error::unexpected_error);
    }
    const std::uint64_t now = collected + static_cast<std::uint64_t>(take);
    if (collected < archive_layout::length_field_size) {
        if (now == archive_layout::length_field_size) {
            header_length_ = read_header_length(
                buffered_bytes(*header_buffer_).first<archive_layout::length_field_size>());
        }
    } else if (now == header_length_) {
        entries_ = read_archive_table(buffered_bytes(*header_buffer_));
        complete_table();
    }
    return take;
}

void PayloadExtractor::complete_table() {
    std::uint64_t sizes = 0;
    for (auto& entry : entries_) {
        entry.destination =
            join_path(resolve_destination(entry.destination), file_name_of(entry.source_path));
        if (entry.size > std::numeric_limits<std::uint64_t>::max() - header_length_ - sizes) {
            throw_compress_error(compress_error::unexpected_error);
        }
        sizes += entry.size;
    }
    total_ = header_length_ + sizes;
    done_ = header_length_;
    stop_if_aborted(notify(notify::progress{done_, total_}));
    phase_ = 1;
}

std::streamsize PayloadExtractor::write_entry(const char* s, std::streamsize n) {
    const std::size_t index = phase_ - 1;
    if (index >= entries_.size()) {
        throw_compress_error(compress_error::unexpected_error); // more data than announced
    }
    PayloadEntry& entry = entries_[index];
    if (!file_open_) {
        const result answer = notify(notify::file_started{entry});
        stop_if_aborted(answer);
        remaining_ = entry.size;
        file_open_ = true;
        skipping_ = answer == result::skip;
        if (!skipping_) {
            header_buffer_ = nullptr;
            stream_ = open_target(entry.destination);
        }
    }
    const auto take = static_cast<std::streamsize>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(n), remaining_));
    if (!skipping_ && take > 0) {
        stream_->write(s, take);
    }
    remaining_ -= static_cast<std::uint64_t>(take);
    done_ += static_cast<std::uint64_t>(take);
    stop_if_aborted(notify(notify::progress{done_, total_}));
    if (remaining_ == 0) {
        if (!skipping_) {
            stream_->flush();
            stream_.reset();
            if (file_crc32(entry.destination) != entry.crc32) {
                throw_compress_error(compress_error::invalid_checksum);
            }
            stop_if_aborted(notify(notify::file_finished{entry}));
        }
        file_open_ = false;
        skipping_ = false;
        ++phase_;
    }
    return take;
}

void PayloadExtractor::finish_trailing_empty_entries() {
    // Only the empty entries at the very end of the table come after the last
    // byte of data: when a non-empty entry follows, the stream ended early and
    // nothing more is created.
    if (phase_ < 1 || phase_ > entries_.size() ||
        std::any_of(entries_.begin() + static_cast<std::ptrdiff_t>(phase_ - 1), entries_.end(),
                    [](const PayloadEntry& entry) { return entry.size != 0; })) {
        return;
    }
    while (!write_failed_ && phase_ >= 1 && phase_ <= entries_.size() && !file_open_ &&
           entries_[phase_ - 1].size == 0) {
        write(nullptr, 0);
    }
}

} // namespace vt
