#include "engine/registration.h"

#include "framework/wait_cursor.h"
#include "support/product_constants.h"
#include "support/unique_handle.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace vt {
namespace {

constexpr wchar_t uninstall_parent[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool set_text(HKEY key, const wchar_t* name, const std::wstring& text) {
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

bool set_number(HKEY key, const wchar_t* name, DWORD number) {
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof number) == ERROR_SUCCESS;
}

} // namespace

bool WriteUninstallRegistration(InstallRecord& record, const std::wstring& main_program,
                                const std::wstring& uninstaller, int language) {
    unique_hkey parent;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall_parent, 0, KEY_ALL_ACCESS, parent.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    unique_hkey product;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(parent.get(), product::UninstallKeyName, 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, product.put(),
                          &disposition) != ERROR_SUCCESS) {
        return false;
    }
    record.AddUninstallKey(disposition == REG_OPENED_EXISTING_KEY ? product.get() : nullptr);

    const HKEY key = product.get();
    bool written = set_text(key, L"DisplayName", product::LabelWithVersion);
    written = set_text(key, L"UninstallString", uninstaller) && written;
    set_text(key, L"DisplayIcon", main_program + L",0");
    set_text(key, L"DisplayVersion", L"6.7.0.2");
    set_text(key, L"Publisher", product::MakerFolder);
    set_text(key, L"URLInfoAbout", PublisherWebAddress);
    set_text(key, L"HelpLink", PublisherWebAddress);
    set_text(key, L"URLUpdateInfo", PublisherWebAddress);
    set_text(key, L"HelpTelephone", PublisherTelephone);
    set_number(key, L"NoModify", 1);
    set_number(key, L"NoRepair", 1);
    set_number(key, product::LanguageValue, static_cast<DWORD>(language));
    product.reset();
    record.CommitLast(written);
    return written;
}

bool WriteProgramPathValue(const std::wstring& main_program) {
    unique_hkey key;
    if (::RegCreateKeyW(HKEY_LOCAL_MACHINE, product::MakerKey, key.put()) != ERROR_SUCCESS) {
        return false;
    }
    return set_text(key.get(), product::ProgramPathValue, main_program);
}

std::optional<DWORD> RunRegistration(InstallRecord& record, InstanceMutex& mutex,
                                     const std::wstring& main_program) {
    record.AddRegistrationRun();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;

    wchar_t quoted[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    if (main_program.size() < MAX_PATH) {
        main_program.copy(quoted, MAX_PATH - 1);
        main_program.copy(folder, MAX_PATH - 1);
    }
    ::PathQuoteSpacesW(quoted);
    ::PathRemoveFileSpecW(folder);
    std::wstring command = std::wstring(quoted) + L" /Register /Background";

    PROCESS_INFORMATION process{};
    mutex.Release();
    const bool started =
        main_program.size() < MAX_PATH &&
        ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, HIGH_PRIORITY_CLASS,
                         nullptr, folder[0] != L'\0' ? folder : nullptr, &startup, &process);
    if (!started) {
        if (record.entryOpen) {
            record.CommitLast(false);
        }
        mutex.TryAcquire();
        return std::nullopt;
    }
    const unique_kernel process_handle(process.hProcess);
    const unique_kernel thread_handle(process.hThread);
    ::WaitForSingleObject(process_handle.get(), INFINITE);
    DWORD exit_code = 0;
    ::GetExitCodeProcess(process_handle.get(), &exit_code);
    mutex.TryAcquire();

    record.CommitLast(exit_code == RegistrationSucceeded);
    if (exit_code == RegistrationSucceeded) {
        const fw::WaitCursor wait;
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    }
    return exit_code;
}

} // namespace vt
