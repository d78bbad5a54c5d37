#include "archive_input.h"

#include "console.h"
#include "payload/archive.h"
#include "support/resource.h"

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
    set_resource_module(module_.get());
    const auto bytes = load_resource(MAKEINTRESOURCEW(PayloadArchive::resource_id),
                                     MAKEINTRESOURCEW(PayloadArchive::resource_type));
    set_resource_module(nullptr);
    data_ = reinterpret_cast<const char*>(bytes.data());
    size_ = bytes.size();
}

} // namespace vt::tool
