#include "manifest.h"

#include "console.h"

#include <windows.h>

#include <fstream>
#include <filesystem>

namespace vt::tool {
namespace {

[[noreturn]] void fail(const std::wstring& manifest, std::size_t line, const std::string& why) {
    throw ManifestError(to_utf8(manifest) + ":" + std::to_string(line) + ": " + why);
}

std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const auto tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab - from));
        if (tab == std::string::npos) {
            return fields;
        }
        from = tab + 1;
    }
}

} // namespace

std::wstring absolute_path(const std::wstring& path) {
    const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) {
        return path;
    }
    std::wstring full(n, L'\0');
    const DWORD used = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(used);
    return full;
}

std::vector<ManifestEntry> read_manifest(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios_base::binary);
    if (!in) {
        throw ManifestError(to_utf8(path) + ": cannot read the manifest");
    }
    const std::filesystem::path folder = std::filesystem::path(absolute_path(path)).parent_path();
    std::vector<ManifestEntry> entries;
    std::string line;
    std::size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (number == 1 && line.starts_with("\xEF\xBB\xBF")) {
            line.erase(0, 3);
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto fields = split_tabs(line);
        if (fields.size() != 3) {
            fail(path, number, "expected kind<TAB>destination<TAB>file");
        }
        if (fields[0].size() != 1 || fields[0][0] < '0' || fields[0][0] > '5') {
            fail(path, number, "the kind must be a number from 0 to 5, not '" + fields[0] + "'");
        }
        if (fields[2].empty()) {
            fail(path, number, "no file is named");
        }
        ManifestEntry entry;
        entry.kind = static_cast<std::uint32_t>(fields[0][0] - '0');
        entry.destination = from_utf8(fields[1]);
        std::filesystem::path file(from_utf8(fields[2]));
        if (!file.is_absolute()) {
            file = folder / file;
        }
        entry.file = absolute_path(file.make_preferred().wstring());
        entry.line = number;
        const DWORD attributes = ::GetFileAttributesW(entry.file.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            fail(path, number, "no such file: " + to_utf8(entry.file));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace vt::tool
