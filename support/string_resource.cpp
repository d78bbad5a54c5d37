#include "support/string_resource.h"

#include "support/resource.h"

#include <cstdint>
#include <cstring>

namespace vt {
namespace {

// A string table block holds 16 entries, each a 16-bit length and that many code
// units.
bool find_in_block(HMODULE module, UINT id, std::wstring& out) {
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), MAKEINTRESOURCEW(6));
    if (info == nullptr) {
        return false;
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    const auto* p =
        loaded != nullptr ? static_cast<const std::uint8_t*>(::LockResource(loaded)) : nullptr;
    const DWORD size = ::SizeofResource(module, info);
    if (p == nullptr) {
        return false;
    }
    const std::uint8_t* end = p + size;
    for (UINT entry = 0; entry < 16; ++entry) {
        if (end - p < 2) {
            return false;
        }
        std::uint16_t length = 0;
        std::memcpy(&length, p, 2);
        p += 2;
        if (static_cast<std::size_t>(end - p) < std::size_t{length} * 2) {
            return false;
        }
        if (entry == id % 16) {
            if (length == 0) {
                return false;
            }
            out.resize(length);
            std::memcpy(out.data(), p, std::size_t{length} * 2);
            return true;
        }
        p += std::size_t{length} * 2;
    }
    return false;
}

} // namespace

std::wstring LoadStringResource(UINT id) {
    std::wstring text;
    HMODULE module = resource_module();
    if (find_in_block(module, id, text)) {
        return text;
    }
    HMODULE executable = ::GetModuleHandleW(nullptr);
    if (module != executable && find_in_block(executable, id, text)) {
        return text;
    }
    return {};
}

} // namespace vt
