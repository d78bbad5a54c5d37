#include "wizard/about_dialog.h"

#include "app/existing_install.h"
#include "app/version_info.h"
#include "lang/localized_string.h"
#include "support/format_inserts.h"

namespace vt {

bool CAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    std::wstring format = LocalizedString(1003);
    if (format.empty()) {
        const int length = ::GetWindowTextLengthW(Handle());
        format.resize(static_cast<std::size_t>(length) + 1);
        format.resize(
            static_cast<std::size_t>(::GetWindowTextW(Handle(), format.data(), length + 1)));
    }
    ::SetWindowTextW(Handle(), FormatInserts(format, {LocalizedTitle(false)}).c_str());

    const VersionInfo own = VersionInfo::OfRunningExecutable();
    if (const std::wstring version = VersionDisplayText(own); !version.empty()) {
        ::SetDlgItemTextW(Handle(), VersionId, version.c_str());
    }
    if (const std::wstring copyright = own.String(L"LegalCopyright"); !copyright.empty()) {
        ::SetDlgItemTextW(Handle(), CopyrightId, copyright.c_str());
    }
    ::SetDlgItemTextW(Handle(), IDOK, LocalizedString(1001).c_str());
    return true;
}

} // namespace vt
