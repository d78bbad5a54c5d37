// The error category of the payload archive and its extraction.
#pragma once

#include <system_error>

namespace vt {

enum class compress_error {
    invalid_checksum = 3,     // a written file's CRC-32 differs from its entry
    verification_failed = 4,  // the verification pass before the extraction failed
    interrupted = 5,          // the handler answered abort
    decompression_failed = 6, // the bzip2 decoder reported an error
    unexpected_error = 7,     // malformed archive, unresolvable folder, anything else
};

// One process-wide category named "compress".
[[nodiscard]] const std::error_category& compress_category() noexcept;

[[nodiscard]] inline std::error_code make_error_code(compress_error e) noexcept {
    return {static_cast<int>(e), compress_category()};
}

// Ends the current operation with a code of the category.
[[noreturn]] void throw_compress_error(compress_error e);

} // namespace vt

template <>
struct std::is_error_code_enum<vt::compress_error> : std::true_type {};
