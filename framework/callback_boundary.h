// The boundary of every procedure and callback that the system calls. The
// 32-bit compiler unwinds with tables that cannot cross the system's own frames,
// so an exception that left such a function would end the process on the spot;
// every one of them runs its body through GuardCallback instead.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace vt::fw {

// The exit code of a program that an unexpected error ended.
inline constexpr int ExitUnexpectedError = -12;

// The text that shows an exception: a Win32 error or a thrown HRESULT by the
// system's text for its code, anything else by its message.
[[nodiscard]] std::wstring DescribeException(const std::exception_ptr& error) noexcept;

// Shows the error of an exception that reached a boundary (the first one of the
// process; later ones are only counted) and makes the application end with
// ExitUnexpectedError.
void ReportUnexpectedError(const std::exception_ptr& error) noexcept;

// Whether an unexpected error has been reported in this process.
[[nodiscard]] bool UnexpectedErrorReported() noexcept;

// Runs `body`; an exception is reported and `fallback` returned instead.
template <class Result, class Body>
Result GuardCallback(Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        ReportUnexpectedError(std::current_exception());
        return fallback;
    }
}

// The same for a body that returns nothing.
template <class Body>
void GuardCallback(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        ReportUnexpectedError(std::current_exception());
    }
}

} // namespace vt::fw
