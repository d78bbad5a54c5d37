// Raw access to the resources of the installer's executable.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

namespace vt {

// The module that resources are taken from first; the executable by default.
[[nodiscard]] HMODULE resource_module() noexcept;
void set_resource_module(HMODULE module) noexcept;

// The bytes of a resource, or an empty span when there is none. Without
// `executable_only` the resource module is searched first and then, if it is
// another module, the executable. The bytes belong to the module: read-only,
// valid for as long as the module stays loaded.
[[nodiscard]] std::span<const std::byte> load_resource(LPCWSTR name, LPCWSTR type,
                                                       bool executable_only = false) noexcept;

} // namespace vt
