#include "support/resource.h"

#include <atomic>

namespace vt {
namespace {

std::atomic<HMODULE> designated_module{nullptr};

std::span<const std::byte> resource_bytes(HMODULE module, LPCWSTR name, LPCWSTR type) noexcept {
    HRSRC info = ::FindResourceW(module, name, type);
    if (info == nullptr) {
        return {};
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    const DWORD size = ::SizeofResource(module, info);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) {
        return {};
    }
    return {static_cast<const std::byte*>(bytes), size};
}

} // namespace

HMODULE resource_module() noexcept {
    HMODULE module = designated_module.load();
    return module != nullptr ? module : ::GetModuleHandleW(nullptr);
}

void set_resource_module(HMODULE module) noexcept {
    designated_module.store(module);
}

std::span<const std::byte> load_resource(LPCWSTR name, LPCWSTR type,
                                         bool executable_only) noexcept {
    HMODULE executable = ::GetModuleHandleW(nullptr);
    if (!executable_only) {
        HMODULE module = resource_module();
        auto bytes = resource_bytes(module, name, type);
        if (!bytes.empty() || module == executable) {
            return bytes;
        }
    }
    return resource_bytes(executable, name, type);
}

} // namespace vt
