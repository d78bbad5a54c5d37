#include "payload/error_translation.h"

#include "payload/compress_error.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/system/system_error.hpp>

#include <cerrno>
#include <cstdlib>
#include <cwchar>
#include <ios>
#include <iterator>

namespace vt {

std::error_code error_code_of(const std::exception& e) noexcept {
    // A bzip2 error is itself a stream failure; it is named before the C runtime's
    // error numbers so that a stale errno never hides it.
    if (dynamic_cast<const boost::iostreams::bzip2_error*>(&e) != nullptr) {
        return make_error_code(compress_error::decompression_failed);
    }
    if (dynamic_cast<const std::ios_base::failure*>(&e) != nullptr) {
        if (_doserrno != 0) {
            return {static_cast<int>(_doserrno), std::system_category()};
        }
        if (errno != 0) {
            return {errno, std::generic_category()};
        }
    }
    if (const auto* system = dynamic_cast<const std::system_error*>(&e)) {
        return system->code();
    }
    if (const auto* boost_error = dynamic_cast<const boost::system::system_error*>(&e)) {
        const auto& code = boost_error->code();
        if (code.category() == boost::system::system_category()) {
            return {code.value(), std::system_category()};
        }
        if (code.category() == boost::system::generic_category()) {
            return {code.value(), std::generic_category()};
        }
    }
    return make_error_code(compress_error::unexpected_error);
}

} // namespace vt

namespace vt {

std::wstring format_failure_code(const std::error_code& code) {
    wchar_t text[32] = {};
    if (code.category() == std::system_category()) {
        swprintf(text, std::size(text), L"1:%08X", static_cast<unsigned>(code.value()));
    } else if (code.category() == std::generic_category()) {
        swprintf(text, std::size(text), L"2:%08X", static_cast<unsigned>(code.value()));
    } else if (code.category() == compress_category()) {
        swprintf(text, std::size(text), L"%d", code.value());
    } else {
        return L"7";
    }
    return text;
}

} // namespace vt
