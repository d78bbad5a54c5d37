#include "machine_snapshot.h"

#include "payload/crc32.h"
#include "scratch_folder.h"

#include <boost/filesystem/operations.hpp>

#include <cwchar>
#include <iterator>

namespace vt::test {
namespace {

std::wstring hex(unsigned long long value) {
    wchar_t text[32] = {};
    std::swprintf(text, std::size(text), L"%llx", value);
    return text;
}

void picture_folder(const std::wstring& folder, std::map<std::wstring, std::wstring>& items) {
    namespace fs = boost::filesystem;
    boost::system::error_code error;
    if (!fs::exists(folder, error)) {
        items[folder] = L"(absent)";
        return;
    }
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::wstring path = it->path().wstring();
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        std::wstring line = L"attributes " + hex(attributes);
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            std::string data;
            try {
                data = read_file(path);
                line += L" size " + hex(data.size()) + L" crc " +
                        hex(vt::crc32_of(data.data(), data.size()));
            } catch (const std::exception&) {
                line += L" unreadable";
            }
        }
        items[path] = line;
    }
}

void picture_key(HKEY root, const std::wstring& subkey,
                 std::map<std::wstring, std::wstring>& items) {
    HKEY key = nullptr;
    const std::wstring name = (root == HKEY_LOCAL_MACHINE ? L"HKLM\\" : L"HKCR\\") + subkey;
    if (::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        items[name] = L"(absent)";
        return;
    }
    items[name] = L"(key)";
    for (DWORD index = 0;; ++index) {
        wchar_t value_name[16384] = {};
        DWORD name_length = 16384;
        DWORD type = 0;
        BYTE data[8192] = {};
        DWORD size = sizeof data;
        if (::RegEnumValueW(key, index, value_name, &name_length, nullptr, &type, data, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        std::wstring text = L"type " + hex(type) + L" data";
        for (DWORD i = 0; i < size; ++i) {
            text += L" " + hex(data[i]);
        }
        items[name + L"|" + value_name] = text;
    }
    std::vector<std::wstring> children;
    for (DWORD index = 0;; ++index) {
        wchar_t child[256] = {};
        DWORD length = 256;
        if (::RegEnumKeyExW(key, index, child, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        children.emplace_back(child);
    }
    ::RegCloseKey(key);
    for (const auto& child : children) {
        picture_key(root, subkey + L"\\" + child, items);
    }
}

} // namespace

MachineSnapshot& MachineSnapshot::Folder(const std::wstring& folder) {
    folders_.push_back(folder);
    return *this;
}

MachineSnapshot& MachineSnapshot::Key(HKEY root, const std::wstring& subkey) {
    keys_.emplace_back(root, subkey);
    return *this;
}

MachineSnapshot MachineSnapshot::Take() const {
    MachineSnapshot picture = *this;
    picture.items_.clear();
    for (const auto& folder : folders_) {
        picture_folder(folder, picture.items_);
    }
    for (const auto& [root, subkey] : keys_) {
        picture_key(root, subkey, picture.items_);
    }
    return picture;
}

std::wstring MachineSnapshot::DifferencesFrom(const MachineSnapshot& before) const {
    std::wstring text;
    for (const auto& [item, line] : before.items_) {
        const auto now = items_.find(item);
        if (now == items_.end()) {
            text += L"gone: " + item + L"\n";
        } else if (now->second != line) {
            text += L"changed: " + item + L" (" + line + L" -> " + now->second + L")\n";
        }
    }
    for (const auto& [item, line] : items_) {
        if (before.items_.find(item) == before.items_.end()) {
            text += L"new: " + item + L" " + line + L"\n";
        }
    }
    return text;
}

} // namespace vt::test
