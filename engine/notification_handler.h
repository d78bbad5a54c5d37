// The install page's handler of the extraction's notifications.
#pragma once

#include "engine/install_page.h"
#include "record/install_record.h"

#include <istream>
#include <string>

namespace vt {

// Applies the per-kind rules of the payload files, journals what is written and
// keeps the transcript; after every notification the page's pending messages
// are dispatched.
class CDlgInstall::NotificationHandler {
public:
    NotificationHandler(CDlgInstall& page, std::istream& payload);

    notification::result operator()(const notification& event);

private:
    using result = notification::result;

    InstallRecord& Record() { return page_.session_.installRecord; }

    result On(const notify::started&);
    result On(const notify::finished&);
    result On(const notify::file_started& started);
    result On(const notify::file_finished& finished);
    result On(const notify::progress& progress);
    result On(const notify::failed& failure);

    CDlgInstall& page_;
    std::istream& payload_;
    // The texts of every file's line, loaded once per run.
    std::wstring copying_format_;
    std::wstring ok_line_;
};

} // namespace vt
