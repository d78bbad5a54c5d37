#include "payload/target_file.h"

#include "support/unique_handle.h"

#include <boost/filesystem/operations.hpp>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <streambuf>
#include <system_error>

namespace fs = boost::filesystem;

namespace vt {
namespace {

[[noreturn]] void raise_last_error(const char* what) {
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

// A write-only stream buffer over a file handle, in blocks of 4096 bytes. A failed
// write raises at once with the system's error code.
class file_output_buffer final : public std::streambuf {
public:
    explicit file_output_buffer(unique_file file) : file_(std::move(file)) {
        setp(block_.data(), block_.data() + block_.size());
    }
    ~file_output_buffer() override {
        try {
            drain();
        } catch (...) {
            // The file keeps what was written so far.
        }
    }

protected:
    int_type overflow(int_type c) override {
        drain();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (n >= static_cast<std::streamsize>(block_.size())) {
            drain();
            write_all(s, static_cast<std::size_t>(n));
            return n;
        }
        return std::streambuf::xsputn(s, n);
    }

    int sync() override {
        drain();
        return 0;
    }

private:
    void drain() {
        const auto pending = static_cast<std::size_t>(pptr() - pbase());
        setp(block_.data(), block_.data() + block_.size());
        write_all(block_.data(), pending);
    }

    void write_all(const char* s, std::size_t n) {
        while (n > 0) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
            if (!::WriteFile(file_.get(), s, chunk, &written, nullptr)) {
                raise_last_error("cannot write the file");
            }
            s += written;
            n -= written;
        }
    }

    unique_file file_;
    std::array<char, 64 * 1024> block_{};
};

class target_stream final : private std::unique_ptr<file_output_buffer>, public std::ostream {
public:
    explicit target_stream(unique_file file)
        : std::unique_ptr<file_output_buffer>(
              std::make_unique<file_output_buffer>(std::move(file))),
          std::ostream(get()) {
        exceptions(std::ios_base::badbit | std::ios_base::failbit);
    }
};

// An existing target loses its read-only attribute; a missing folder chain is made.
void prepare_target(const fs::path& target) {
    boost::system::error_code ec;
    const auto state = fs::status(target, ec);
    if (!ec && state.type() != fs::file_not_found && state.type() != fs::status_error) {
        // Write permission for everyone clears the read-only attribute. Best effort.
        fs::permissions(target,
                        fs::owner_write | fs::group_write | fs::others_write | fs::add_perms, ec);
        return;
    }
    const fs::path parent = target.parent_path();
    if (!parent.empty() && !fs::exists(parent)) {
        fs::create_directories(parent);
    }
}

} // namespace

std::unique_ptr<std::ostream> open_target(const std::wstring& path) {
    const auto open = [&] {
        errno = 0;
        _doserrno = 0;
        return unique_file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    // Most targets are new files in existing folders, or writable files: they open
    // at once. Otherwise the target is prepared and opened again.
    unique_file file = open();
    if (!file) {
        prepare_target(fs::path(path));
        file = open();
    }
    if (!file) {
        raise_last_error("cannot open the file");
    }
    return std::make_unique<target_stream>(std::move(file));
}

} // namespace vt
