#include "app/version_info.h"

#include "support/resource.h"

#include <cwchar>
#include <iterator>

namespace vt {

VersionInfo VersionInfo::OfFile(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<std::byte> bytes(size);
    if (size == 0 || !::GetFileVersionInfoW(path.c_str(), 0, size, bytes.data())) {
        bytes.clear();
    }
    return VersionInfo(std::move(bytes));
}

VersionInfo VersionInfo::OfRunningExecutable() {
    const auto resource = load_resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16), true);
    // VerQueryValueW may write into the block; it works on a copy of it.
    return VersionInfo(std::vector<std::byte>(resource.begin(), resource.end()));
}

VersionInfo::VersionInfo(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {
    if (bytes_.empty()) {
        return;
    }
    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(bytes_.data(), L"\\", &value, &length) && value != nullptr &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        fixed_ = *static_cast<const VS_FIXEDFILEINFO*>(value);
    }
    if (::VerQueryValueW(bytes_.data(), L"\\VarFileInfo\\Translation", &value, &length) &&
        value != nullptr) {
        const auto* pairs = static_cast<const WORD*>(value);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
            if (pairs[i + 1] != 1200) {
                continue;
            }
            wchar_t text[16] = {};
            swprintf(text, std::size(text), L"%04hx%04hx", pairs[i], pairs[i + 1]);
            translations_.emplace_back(text);
        }
    }
}

std::uint64_t VersionInfo::Version() const noexcept {
    if (!fixed_) {
        return 0;
    }
    return std::uint64_t{fixed_->dwFileVersionMS} << 32 | fixed_->dwFileVersionLS;
}

std::wstring VersionInfo::String(const std::wstring& name) const {
    if (translations_.empty()) {
        return {};
    }
    std::vector<std::byte> copy = bytes_;
    const std::wstring path = L"\\StringFileInfo\\" + translations_.front() + L"\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(copy.data(), path.c_str(), &value, &length) || value == nullptr ||
        length == 0) {
        return {};
    }
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

} // namespace vt
