// The ARCHIVE argument: a compressed archive file, or a Windows executable that
// carries the archive as its payload resource.
#pragma once

#include "support/memstream.h"
#include "support/unique_handle.h"

#include <memory>
#include <string>

namespace vt::tool {

class ArchiveInput {
public:
    // Raises std::runtime_error when the file cannot be read.
    explicit ArchiveInput(const std::wstring& path);

    // A fresh stream over the compressed bytes, at their start.
    [[nodiscard]] imemstream stream() const { return imemstream(data_, size_); }
    [[nodiscard]] std::size_t size() const noexcept { return size_; }

private:
    std::string file_bytes_;
    unique_module module_; // the executable, loaded as data
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace vt::tool
