#include "payload/compress_error.h"

#include <string>

namespace vt {
namespace {

class compress_category_impl final : public std::error_category {
public:
    const char* name() const noexcept override { return "compress"; }

    std::string message(int code) const override {
        switch (static_cast<compress_error>(code)) {
        case compress_error::invalid_checksum:
            return "invalid checksum";
        case compress_error::interrupted:
            return "interrupted";
        case compress_error::decompression_failed:
            return "bzip2 error";
        case compress_error::unexpected_error:
            return "unexpected error";
        case compress_error::verification_failed:
        default:
            return "unknown error";
        }
    }
};

} // namespace

const std::error_category& compress_category() noexcept {
    static const compress_category_impl category;
    return category;
}

void throw_compress_error(compress_error e) {
    throw std::system_error(make_error_code(e));
}

} // namespace vt
