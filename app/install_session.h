// The settings and state of the installer process, shared by the wizard pages
// and the installation run. One per process, owned by the application object.
#pragma once

#include "app/existing_install.h"
#include "app/instance_objects.h"
#include "record/install_record.h"

#include <string>

namespace vt {

struct InstallSession {
    explicit InstallSession(const std::wstring& application_id) : instanceMutex(application_id) {}

    ExistingInstall existingInstall = ExistingInstall::NoInstall;
    std::wstring installedVersionText; // for OlderVersion and NewerVersion
    InstanceMutex instanceMutex;
    std::wstring installFolder;  // at most 260 characters
    std::wstring shortcutFolder; // absolute, at most 260 characters
    std::wstring workFolder;
    bool createMenuShortcut = true;
    bool createDesktopShortcut = true;
    bool customMode = false;
    InstallRecord installRecord;
    bool installCompleted = false;
    std::wstring appTitle;
};

// The session of the running installer.
[[nodiscard]] InstallSession& Session();

} // namespace vt
