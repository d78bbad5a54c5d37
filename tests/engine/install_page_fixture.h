// The install page in a host window of the test process, on a session of its
// own, with what an installation leaves on the machine removed afterwards.
#pragma once

#include "app/install_session.h"
#include "engine/install_page.h"
#include "framework/dialog.h"
#include "installed_product.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vt::test {

class InstallPageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Removes what an installation leaves outside the scratch folder.
    void RemoveInstallation();

    // The page reads this archive instead of the program's own payload.
    void UsePayload(std::string archive);

    [[nodiscard]] std::wstring Log() const;
    [[nodiscard]] std::wstring Status() const;
    [[nodiscard]] std::wstring DesktopFolder() const;
    [[nodiscard]] std::wstring CommonDataFolder() const;
    [[nodiscard]] std::wstring SamplesFolder() const;

    ScratchFolder scratch;
    InstallSession session{L"EngineTests-" + std::to_wstring(::GetCurrentProcessId())};
    std::unique_ptr<fw::Dialog> host;
    std::unique_ptr<CDlgInstall> page;

private:
    std::string payload_;
};

// A file of the build (the stand-ins of the product), read whole.
[[nodiscard]] std::string BuildFile(const std::wstring& relative);

// The registry places and folders of an installation, for snapshots.
[[nodiscard]] std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* value);
[[nodiscard]] DWORD RegistryNumber(HKEY root, const std::wstring& key, const wchar_t* value);

} // namespace vt::test
