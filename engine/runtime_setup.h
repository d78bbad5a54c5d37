// The DirectX runtime setup that travels in the payload: its setup library is
// loaded from the temporary work folder and run once, unless an earlier
// installation already ran it successfully.
#pragma once

#include "app/existing_install.h"
#include "engine/transcript.h"
#include "record/install_record.h"
#include "support/unique_handle.h"

#include <string>

namespace vt {

// The setup library of the work folder, kept only when it reports at least
// version 0x00040009 and revision 0x00000387.
class RuntimeSetupLibrary {
public:
    explicit RuntimeSetupLibrary(std::wstring folder);

    [[nodiscard]] bool Usable() const noexcept { return static_cast<bool>(library_); }
    // Runs the setup with the window as parent; true for the results 0 and 1. The
    // window stays responsive: every progress callback dispatches its messages.
    bool Run(Transcript& transcript);
    void Release() noexcept { library_.reset(); }

private:
    std::wstring folder_;
    unique_module library_;
};

inline constexpr DWORD RuntimeMinimumVersion = 0x00040009;
inline constexpr DWORD RuntimeMinimumRevision = 0x00000387;
inline constexpr DWORD RuntimeSetupFlags = 0x00010018;

// The run's DirectX step: skipped silently when the library cannot be used or an
// earlier installation recorded a successful setup (except for a reinstallation
// of the same version); otherwise journaled, logged and run.
void RunRuntimeSetupStep(const std::wstring& work_folder, ExistingInstall existing,
                         InstallRecord& record, Transcript& transcript);

} // namespace vt
