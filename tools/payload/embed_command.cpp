// payload embed INSTALLER ARCHIVE OUT
#include "commands.h"
#include "console.h"
#include "payload/archive.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vt::tool {

int embed_command(const Arguments& args) {
    if (args.size() != 3) {
        print_error(L"usage: payload embed INSTALLER ARCHIVE OUT");
        return exit_usage;
    }
    const std::wstring& installer = args[0];
    const std::wstring& archive = args[1];
    const std::wstring& out = args[2];
    std::ifstream in(std::filesystem::path(archive), std::ios_base::binary);
    if (!in) {
        print_error(L"payload embed: cannot read " + archive);
        return exit_failed;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!::CopyFileW(installer.c_str(), out.c_str(), FALSE)) {
        print_error(L"payload embed: cannot copy " + installer + L" to " + out);
        return exit_failed;
    }
    ::SetFileAttributesW(out.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE update = ::BeginUpdateResourceW(out.c_str(), FALSE);
    bool done = update != nullptr &&
                ::UpdateResourceW(update, MAKEINTRESOURCEW(PayloadArchive::resource_type),
                                  MAKEINTRESOURCEW(PayloadArchive::resource_id),
                                  PayloadArchive::resource_language, bytes.data(),
                                  static_cast<DWORD>(bytes.size()));
    if (update != nullptr) {
        done = ::EndUpdateResourceW(update, done ? FALSE : TRUE) && done;
    }
    if (!done) {
        ::DeleteFileW(out.c_str());
        print_error(L"payload embed: cannot write the payload resource into " + out);
        return exit_failed;
    }
    return exit_ok;
}

} // namespace vt::tool
