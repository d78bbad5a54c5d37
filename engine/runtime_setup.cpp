#include "engine/runtime_setup.h"

#include "framework/callback_boundary.h"
#include "lang/localized_string.h"

#include <algorithm>

namespace vt {
namespace {

using get_version_function = int(WINAPI*)(DWORD* version, DWORD* revision);
using setup_callback = DWORD(WINAPI*)(DWORD reason, DWORD message_type, LPSTR message, LPSTR name,
                                      void* info);
using set_callback_function = int(WINAPI*)(setup_callback callback);
using setup_function = int(WINAPI*)(HWND window, LPWSTR folder, DWORD flags);

constexpr DWORD progress_reason = 18;

// The transcript of the setup in progress, for its callback.
Transcript* running_transcript = nullptr;

DWORD WINAPI setup_progress(DWORD reason, DWORD, LPSTR, LPSTR, void*) {
    fw::GuardCallback([reason] {
        if (reason == progress_reason && running_transcript != nullptr) {
            running_transcript->DispatchPendingMessages();
        }
    });
    return 1;
}

template <class Function>
Function export_of(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

} // namespace

RuntimeSetupLibrary::RuntimeSetupLibrary(std::wstring folder) : folder_(std::move(folder)) {
    const std::wstring path = folder_ + L"\\DSetup.dll";
    library_.reset(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
    if (!library_) {
        library_.reset(::LoadLibraryW(path.c_str()));
    }
    if (!library_) {
        return;
    }
    const auto get_version =
        export_of<get_version_function>(library_.get(), "DirectXSetupGetVersion");
    DWORD version = 0;
    DWORD revision = 0;
    if (get_version == nullptr || get_version(&version, &revision) == 0 ||
        version < RuntimeMinimumVersion || revision < RuntimeMinimumRevision) {
        library_.reset();
    }
}

bool RuntimeSetupLibrary::Run(Transcript& transcript) {
    const auto set_callback =
        export_of<set_callback_function>(library_.get(), "DirectXSetupSetCallback");
    const auto setup = export_of<setup_function>(library_.get(), "DirectXSetupW");
    if (set_callback == nullptr || setup == nullptr) {
        return false;
    }
    running_transcript = &transcript;
    set_callback(&setup_progress);
    const int result = setup(transcript.Window(), folder_.data(), RuntimeSetupFlags);
    running_transcript = nullptr;
    return result == 0 || result == 1;
}

void RunRuntimeSetupStep(const std::wstring& work_folder, ExistingInstall existing,
                         InstallRecord& record, Transcript& transcript) {
    RuntimeSetupLibrary library(work_folder);
    if (!library.Usable()) {
        return;
    }
    if (existing != ExistingInstall::SameVersion) {
        const auto& earlier = record.EarlierEntries();
        if (std::any_of(earlier.begin(), earlier.end(), [](const RecordEntry& entry) {
                return entry.kind == RecordEntryKind::RuntimeUpdate && entry.succeeded;
            })) {
            return;
        }
    }
    record.AddRuntimeUpdate();
    const std::wstring status = LocalizedString(1131);
    transcript.SetStatus(status);
    transcript.AppendLog(status);
    const bool succeeded = library.Run(transcript);
    record.CommitLast(succeeded, status.c_str());
    transcript.AppendLog(LocalizedString(succeeded ? 1011 : 1012) + L"\r\n");
}

} // namespace vt
