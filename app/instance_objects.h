// The named kernel objects shared with other installer processes and with the
// installed product: a mutex that admits one installer, and a semaphore whose
// count is the number of running processes of the application.
#pragma once

#include "support/unique_handle.h"

#include <string>

namespace vt {

// The identity shared with the installed product: "ApplicationId" of the
// executable's version resource, else its "ProductName", else its file name.
[[nodiscard]] std::wstring ApplicationId();

[[nodiscard]] std::wstring InstanceMutexName(const std::wstring& application_id);
[[nodiscard]] std::wstring RunningInstanceCounterName(const std::wstring& application_id);

class InstanceMutex {
public:
    // Creates (or opens) the named mutex, not owned; Everyone has full access.
    explicit InstanceMutex(const std::wstring& application_id);
    ~InstanceMutex();
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    // Takes the mutex if it is free or was abandoned by a process that ended.
    bool TryAcquire();
    void Release();
    [[nodiscard]] bool Owned() const noexcept { return owned_; }
    [[nodiscard]] HANDLE Handle() const noexcept { return handle_.get(); }

    // Why the last TryAcquire failed: ERROR_BUSY (170) when another process holds
    // the mutex; the system's error when the mutex could not be created or its
    // wait failed. 0 after a success.
    [[nodiscard]] DWORD FailureCode() const noexcept { return failure_; }

private:
    unique_kernel handle_;
    bool owned_ = false;
    DWORD creation_error_ = 0;
    DWORD failure_ = 0;
};

class RunningInstanceCounter {
public:
    // Creates or opens the named semaphore (Everyone, full access); throws
    // Win32Error when it cannot.
    explicit RunningInstanceCounter(const std::wstring& application_id);
    // Takes back the units this process added.
    ~RunningInstanceCounter();
    RunningInstanceCounter(const RunningInstanceCounter&) = delete;
    RunningInstanceCounter& operator=(const RunningInstanceCounter&) = delete;

    // Registers this process: one unit more. Throws Win32Error when it fails.
    void Register();
    // The number of registered processes (1: this one alone).
    [[nodiscard]] long Count();
    [[nodiscard]] HANDLE Handle() const noexcept { return handle_.get(); }

private:
    unique_kernel handle_;
    long added_ = 0;
};

} // namespace vt
