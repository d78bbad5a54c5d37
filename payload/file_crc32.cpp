// The read-back check of a written file.
#include "payload/crc32.h"

#include "support/unique_handle.h"

#include <boost/filesystem/exception.hpp>
#include <boost/system/error_code.hpp>

#include <array>
#include <cerrno>
#include <cstdlib>

namespace vt {
namespace {

constexpr int retries_on_sharing_violation = 3;
constexpr DWORD retry_wait_ms = 1000;
constexpr DWORD block_size = 64 * 1024;

[[noreturn]] void raise_file_error(const char* what, const std::wstring& path, DWORD error) {
    throw boost::filesystem::filesystem_error(
        what, boost::filesystem::path(path),
        boost::system::error_code(static_cast<int>(error), boost::system::system_category()));
}

std::uint32_t crc_attempt(const std::wstring& path) {
    errno = 0;
    _doserrno = 0;
    // Others may read the file meanwhile, nobody may write it.
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        raise_file_error("file_crc32: cannot open the file", path, ::GetLastError());
    }
    Crc32 crc;
    std::array<char, block_size> block;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), block.data(), block_size, &got, nullptr)) {
            raise_file_error("file_crc32: cannot read the file", path, ::GetLastError());
        }
        crc.update(block.data(), got);
        if (got < block_size) {
            return crc.value();
        }
    }
}

bool is_sharing_violation(const boost::system::system_error& e) {
    return e.code().value() == ERROR_SHARING_VIOLATION &&
           e.code().category() == boost::system::system_category();
}

} // namespace

namespace details {
namespace {
thread_local int last_retries = 0;
}
int file_crc32_retries() noexcept {
    return last_retries;
}
} // namespace details

std::uint32_t file_crc32(const std::wstring& path) {
    for (int attempt = 0;; ++attempt) {
        details::last_retries = attempt;
        try {
            return crc_attempt(path);
        } catch (const boost::system::system_error& e) {
            if (!is_sharing_violation(e) || attempt == retries_on_sharing_violation) {
                throw;
            }
        }
        ::Sleep(retry_wait_ms);
    }
}

} // namespace vt
