#include "archive_input.h"

#include "console.h"
#include "payload/archive.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vt::tool {

ArchiveInput::ArchiveInput(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios_base::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + to_utf8(path));
    }
    file_bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!file_bytes_.starts_with("MZ")) {
        data_ = file_bytes_.data();
        size_ = file_bytes_.size();
        return;
    }
    file_bytes_.clear();
    module_.reset(::LoadLibraryExW(path.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module_) {
        throw std::runtime_error("cannot load the executable " + to_utf8(path));
    }
    // That executable's own payload, never another module's (the tool's included).
    HRSRC found = ::FindResourceW(module_.get(), MAKEINTRESOURCEW(PayloadArchive::resource_id),
                                  MAKEINTRESOURCEW(PayloadArchive::resource_type));
    const void* bytes =
        found != nullptr ? ::LockResource(::LoadResource(module_.get(), found)) : nullptr;
    if (bytes == nullptr) {
        throw std::runtime_error(to_utf8(path) + " carries no payload");
    }
    data_ = static_cast<const char*>(bytes);
    size_ = ::SizeofResource(module_.get(), found);
}

} // namespace vt::tool
