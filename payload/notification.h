// What the extraction tells its caller at every step, and the caller's answer.
#pragma once

#include "payload/archive.h"

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <variant>

namespace vt {

namespace notify {
// Once, first, before decoding starts.
struct started {};
// Once, last, only on success.
struct finished {
    std::uint64_t source_bytes = 0; // read from the compressed source
    std::uint64_t total_bytes = 0;  // the decompressed archive's length
};
// The entry's data begins; `destination` already holds the full target path.
struct file_started {
    const PayloadEntry& entry;
};
// The entry's file was written, closed and its CRC-32 confirmed.
struct file_finished {
    const PayloadEntry& entry;
};
// Once when the table is complete, then after every chunk of file data.
struct progress {
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};
// Once, last, when the extraction fails.
struct failed {
    std::error_code code;
    std::wstring path; // the target of the file in progress, or empty
};
} // namespace notify

class notification : public std::variant<notify::started, notify::finished, notify::file_started,
                                         notify::file_finished, notify::progress, notify::failed> {
public:
    using variant::variant;

    enum class result : int {
        proceed = 0, // go on
        abort = 1,   // stop with "interrupted" (at file_started, progress, file_finished)
        skip = 2,    // at file_started: consume the entry's bytes without writing them
    };
};

using notification_handler = std::function<notification::result(notification)>;

} // namespace vt
