// The manifest that `payload pack` reads: UTF-8 text, one entry a line,
// "kind<TAB>destination<TAB>file"; empty lines and lines starting with '#' are
// ignored; a relative file is taken from the manifest's folder.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vt::tool {

struct ManifestEntry {
    std::uint32_t kind = 0;
    std::wstring destination;
    std::wstring file; // absolute Windows path
    std::size_t line = 0;
};

// A line that cannot be used; what() names the line.
class ManifestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[nodiscard]] std::vector<ManifestEntry> read_manifest(const std::wstring& path);

[[nodiscard]] std::wstring absolute_path(const std::wstring& path);

} // namespace vt::tool
