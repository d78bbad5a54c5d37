// A fresh folder under the temporary folder, removed with everything in it at the end.
#pragma once

#include <string>

namespace vt::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }
    [[nodiscard]] std::wstring operator/(const std::wstring& name) const {
        return path_ + L"\\" + name;
    }

private:
    std::wstring path_;
};

[[nodiscard]] std::string read_file(const std::wstring& path);
void write_file(const std::wstring& path, const std::string& data);
[[nodiscard]] bool file_exists(const std::wstring& path);
[[nodiscard]] bool folder_exists(const std::wstring& path);

} // namespace vt::test
