// Finding an earlier installation of the product, its version and its record.
#pragma once

#include "app/version_info.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace vt {

enum class ExistingInstall : std::int32_t {
    NoInstall = 0,     // no installed product found
    SameVersion = 1,   // this installer's version, or a version that cannot be read
    OlderVersion = 2,  // an older version: the run is an update
    NewerVersion = -1, // a newer version: nothing may be installed
};

// "ProductName ProductVersion", with the pre-release, private and debug marks.
[[nodiscard]] std::wstring VersionDisplayText(const VersionInfo& info);

// The installed product's executable as the registry names it, if it exists;
// empty otherwise and after any error. Computed once per process.
[[nodiscard]] std::wstring InstalledProductPath();

struct DetectedInstall {
    ExistingInstall state = ExistingInstall::NoInstall;
    std::wstring version_text; // for OlderVersion and NewerVersion
};

// Compares the installed product's file version with the version this installer
// installs, as unsigned 64-bit numbers.
[[nodiscard]] DetectedInstall DetectExistingInstall();
[[nodiscard]] DetectedInstall DetectExistingInstall(const std::wstring& product_path);

// The earlier installation record: next to the registered uninstaller, next to
// this installer, or next to the installed product; empty when none exists. A
// registry or file error other than "not there" throws Win32Error.
[[nodiscard]] std::wstring FindRecordFile();

struct InstallSession;

// The earlier installation's record and folders, for a reinstallation or an
// update: the record loaded into the session and its folders taken over; an
// empty record otherwise or when there is none. Returns 0, or the Win32 error
// that kept the record from being looked up; the start-up then shows it and
// ends, since going on without the record would make the next record forget the
// earlier installation's files.
[[nodiscard]] DWORD LoadEarlierRecord(InstallSession& session);

} // namespace vt
