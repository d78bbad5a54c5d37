// The version resource of a file or of the running executable.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt {

class VersionInfo {
public:
    // The version resource of a file; empty when the file has none.
    [[nodiscard]] static VersionInfo OfFile(const std::wstring& path);
    // The running executable's own version resource.
    [[nodiscard]] static VersionInfo OfRunningExecutable();

    // dwFileVersionMS << 32 | dwFileVersionLS; 0 without a fixed part.
    [[nodiscard]] std::uint64_t Version() const noexcept;
    // A string value of the first Unicode translation; empty when there is none.
    [[nodiscard]] std::wstring String(const std::wstring& name) const;

    [[nodiscard]] const std::optional<VS_FIXEDFILEINFO>& FixedInfo() const noexcept {
        return fixed_;
    }
    // "%04hx%04hx" of (language, code page) of every translation in code page 1200.
    [[nodiscard]] const std::vector<std::wstring>& Translations() const noexcept {
        return translations_;
    }

private:
    explicit VersionInfo(std::vector<std::byte> bytes);

    std::vector<std::byte> bytes_;
    std::optional<VS_FIXEDFILEINFO> fixed_;
    std::vector<std::wstring> translations_;
};

} // namespace vt
