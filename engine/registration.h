// After the files: the product's entry in the system's list of installed
// programs, the program path value that the next installer reads, and the
// installed program's own registration run.
#pragma once

#include "app/instance_objects.h"
#include "record/install_record.h"

#include <windows.h>

#include <optional>
#include <string>

namespace vt {

// The publisher's contact values of the uninstall entry.
inline constexpr wchar_t PublisherWebAddress[] = L"https://www.vantorel.com/plankwise";
inline constexpr wchar_t PublisherTelephone[] = L"+33 4 72 60 18 40";

// Writes the uninstall entry "Plankwise 6" and journals it (the key's former
// contents saved when it existed). True when the display name and the uninstall
// command were written.
bool WriteUninstallRegistration(InstallRecord& record, const std::wstring& main_program,
                                const std::wstring& uninstaller, int language);

// Writes "Plankwise 6 Path" under HKLM\Software\Vantorel; false when it could not.
bool WriteProgramPathValue(const std::wstring& main_program);

// Starts the installed program with " /Register /Background" and waits for it,
// with the instance mutex released for exactly that time. The exit code, or none
// when the program could not be started. An exit code of -10 is success: the
// shell is then told that file associations changed.
std::optional<DWORD> RunRegistration(InstallRecord& record, InstanceMutex& mutex,
                                     const std::wstring& main_program);

// The registration run's exit code of success.
inline constexpr DWORD RegistrationSucceeded = static_cast<DWORD>(-10);

} // namespace vt
