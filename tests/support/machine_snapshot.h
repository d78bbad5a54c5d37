// A picture of the parts of the machine that an installation touches: every
// file and folder under some folders (name, size, content hash, attributes) and
// every value under some registry keys. Two pictures compare equal when nothing
// that they cover changed in between.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace vt::test {

class MachineSnapshot {
public:
    MachineSnapshot& Folder(const std::wstring& folder);
    MachineSnapshot& Key(HKEY root, const std::wstring& subkey);

    // Takes the picture now.
    [[nodiscard]] MachineSnapshot Take() const;

    // One line per item: "path|size|hash|attributes" or "key|value|type|data".
    [[nodiscard]] const std::map<std::wstring, std::wstring>& Items() const noexcept {
        return items_;
    }
    // The differences with another picture, readable in a test's failure.
    [[nodiscard]] std::wstring DifferencesFrom(const MachineSnapshot& before) const;

private:
    std::vector<std::wstring> folders_;
    std::vector<std::pair<HKEY, std::wstring>> keys_;
    std::map<std::wstring, std::wstring> items_;
};

} // namespace vt::test
