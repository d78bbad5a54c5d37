#include "framework/callback_boundary.h"

#include "framework/application.h"
#include "support/error_text.h"
#include "support/message_box.h"
#include "support/text_conversion.h"

#include <windows.h>

#include <atomic>
#include <system_error>

namespace vt::fw {
namespace {

std::atomic<bool> reported{false};

std::wstring describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::system_error& failure) {
        if (failure.code().category() == std::system_category()) {
            return ErrorText(static_cast<DWORD>(failure.code().value()));
        }
        return NarrowToWide(failure.what());
    } catch (const std::exception& failure) {
        return NarrowToWide(failure.what());
    } catch (HRESULT code) {
        return ErrorText(static_cast<DWORD>(code));
    } catch (...) {
        return ErrorText(static_cast<DWORD>(E_UNEXPECTED));
    }
}

} // namespace

std::wstring DescribeException(const std::exception_ptr& error) noexcept {
    try {
        return describe(error);
    } catch (...) {
        return L"Error";
    }
}

void ReportUnexpectedError(const std::exception_ptr& error) noexcept {
    if (Application* application = Application::Current()) {
        application->SetExitCode(ExitUnexpectedError);
    }
    if (reported.exchange(true)) {
        return;
    }
    try {
        ShowMessage(DescribeException(error), MB_ICONERROR | MB_OK);
    } catch (...) {
        ::MessageBoxW(nullptr, L"Error", nullptr, MB_ICONERROR | MB_OK | MB_TASKMODAL);
    }
}

bool UnexpectedErrorReported() noexcept {
    return reported.load();
}

} // namespace vt::fw
