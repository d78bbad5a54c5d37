#include "engine/work_folder.h"

#include <windows.h>
#include <shlwapi.h>

#include <boost/filesystem/operations.hpp>
#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid.hpp>
#include <boost/uuid/uuid_io.hpp>

#include <cwchar>
#include <iterator>

namespace vt {
namespace {

constexpr DWORD longest_temporary_path = 246;

TemporaryFileList* published = nullptr;

} // namespace

bool ComputeWorkFolder(std::wstring& work_folder, std::wstring& error_text) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length > longest_temporary_path) {
        wchar_t text[64] = {};
        std::swprintf(text, std::size(text), L"%08x (%ls)", static_cast<unsigned>(::GetLastError()),
                      L"GetTempPath");
        error_text = text;
        return false;
    }
    const boost::uuids::uuid id = boost::uuids::random_generator()();
    const std::wstring name = L"vantorel_{" + boost::uuids::to_wstring(id) + L"}";
    work_folder = folder;
    if (!::PathAppendW(folder, name.c_str())) {
        work_folder += name;
        return true;
    }
    work_folder = folder;
    return true;
}

void TemporaryFileList::RemoveAll() noexcept {
    boost::system::error_code ignored;
    for (const std::wstring& file : files_) {
        boost::filesystem::remove(boost::filesystem::path(file), ignored);
    }
    files_.clear();
    if (!folder_.empty()) {
        boost::filesystem::remove(boost::filesystem::path(folder_), ignored);
    }
    folder_.clear();
}

TemporaryFileList* PublishedTemporaryFiles() noexcept {
    return published;
}

TemporaryFilesPublication::TemporaryFilesPublication(TemporaryFileList& list) noexcept {
    published = &list;
}

TemporaryFilesPublication::~TemporaryFilesPublication() {
    published = nullptr;
}

} // namespace vt
