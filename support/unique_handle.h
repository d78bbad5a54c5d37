// One move-only owner for every kind of Windows handle, with an alias per kind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <type_traits>
#include <utility>

namespace vt {

// `Invalid` is the value that holds nothing, as an integer: 0 for most kinds,
// -1 for file handles (INVALID_HANDLE_VALUE).
template <class Handle, auto Close, std::intptr_t Invalid = 0>
class unique_handle {
public:
    static Handle invalid() noexcept {
        if constexpr (std::is_pointer_v<Handle>) {
            return reinterpret_cast<Handle>(Invalid);
        } else {
            return static_cast<Handle>(Invalid);
        }
    }

    unique_handle() noexcept = default;
    explicit unique_handle(Handle h) noexcept : handle_(h) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~unique_handle() { reset(); }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, invalid()); }
    void reset(Handle h = invalid()) noexcept {
        Handle old = std::exchange(handle_, h);
        if (old != invalid()) {
            Close(old);
        }
    }
    // For functions that hand a new handle out through a pointer.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }
    explicit operator bool() const noexcept { return handle_ != invalid(); }

private:
    Handle handle_ = invalid();
};

using unique_kernel = unique_handle<HANDLE, &::CloseHandle>;
using unique_file = unique_handle<HANDLE, &::CloseHandle, -1>;
using unique_hkey = unique_handle<HKEY, &::RegCloseKey>;
using unique_module = unique_handle<HMODULE, &::FreeLibrary>;

} // namespace vt
