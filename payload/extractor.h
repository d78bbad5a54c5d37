// The output device of the extraction: it receives the decompressed archive in
// chunks, collects and parses the header, then writes each entry's bytes to its
// target and checks the written file against the entry's CRC-32.
#pragma once

#include "payload/archive.h"
#include "payload/destination.h"
#include "payload/notification.h"
#include "support/memstream.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace vt {

class PayloadExtractor {
public:
    PayloadExtractor(PayloadFolders folders, notification_handler handler);

    // Consumes up to `n` bytes and returns how many it took, possibly fewer than
    // offered or none (an entry of size 0); the caller offers the rest again.
    // Any failure raises; from then on every write consumes its bytes and does
    // nothing else.
    std::streamsize write(const char* s, std::streamsize n);

    // After the last byte: entries of size 0 at the very end, which no further
    // data byte begins, are created like any other file.
    void finish_trailing_empty_entries();

    [[nodiscard]] std::wstring resolve_destination(const std::wstring& destination) const;

    [[nodiscard]] const std::vector<PayloadEntry>& entries() const noexcept { return entries_; }
    [[nodiscard]] std::uint64_t header_length() const noexcept { return header_length_; }
    [[nodiscard]] std::uint64_t done() const noexcept { return done_; }
    [[nodiscard]] std::uint64_t total() const noexcept { return total_; }
    [[nodiscard]] std::uint32_t phase() const noexcept { return phase_; }
    [[nodiscard]] bool file_open() const noexcept { return file_open_; }
    [[nodiscard]] bool write_failed() const noexcept { return write_failed_; }
    // The target of the entry whose bytes are being consumed, or empty.
    [[nodiscard]] std::wstring current_target() const;

private:
    std::streamsize write_header(const char* s, std::streamsize n);
    void complete_table();
    std::streamsize write_entry(const char* s, std::streamsize n);
    notification::result notify(notification n) const;

    PayloadFolders folders_;
    std::vector<PayloadEntry> entries_;
    std::uint64_t header_length_ = 0;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
    std::unique_ptr<std::ostream> stream_; // the header buffer, then the file being written
    notification_handler handler_;
    std::uint32_t phase_ = 0;
    bool file_open_ = false;
    std::uint64_t remaining_ = 0;
    bool skipping_ = false;
    bool write_failed_ = false;
    memstream* header_buffer_ = nullptr; // stream_ while it holds the header
};

} // namespace vt
