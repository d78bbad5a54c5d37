#include "scratch_folder.h"

#include <windows.h>

#include <boost/filesystem/operations.hpp>

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vt::test {

ScratchFolder::ScratchFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"vt-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(::GetTickCount64()) + L"-" + std::to_wstring(counter++);
    boost::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    boost::system::error_code ec;
    // Read-only files would keep the folder: clear the attribute first.
    for (boost::filesystem::recursive_directory_iterator it(path_, ec), end; !ec && it != end;
         it.increment(ec)) {
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    boost::filesystem::remove_all(path_, ec);
}

std::string read_file(const std::wstring& path) {
    std::ifstream in(boost::filesystem::path(path).c_str(), std::ios_base::binary);
    if (!in) {
        throw std::runtime_error("cannot read a test file");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::wstring& path, const std::string& data) {
    std::ofstream out(boost::filesystem::path(path).c_str(),
                      std::ios_base::binary | std::ios_base::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
        throw std::runtime_error("cannot write a test file");
    }
}

bool file_exists(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool folder_exists(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace vt::test
