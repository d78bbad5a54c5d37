// A handler for the extraction that writes down every notification as a line and
// answers as the test tells it.
#pragma once

#include "payload/notification.h"

#include <functional>
#include <string>
#include <vector>

namespace vt::test {

class NotificationLog {
public:
    using Policy = std::function<notification::result(const notification&)>;

    NotificationLog() = default;
    explicit NotificationLog(Policy policy) : policy_(std::move(policy)) {}

    // The handler to pass to extract_payload; it refers to this log.
    [[nodiscard]] notification_handler handler();

    // "started", "progress D/T", "file_started NAME", "file_finished NAME",
    // "finished S T", "failed CATEGORY:VALUE PATH" (names are file names only).
    std::vector<std::string> lines;
    std::vector<notification> failures; // the failed notifications, whole

    [[nodiscard]] std::size_t count(const std::string& prefix) const;
    [[nodiscard]] const notify::failed& failure() const;

private:
    Policy policy_;
};

// Answers `answer` to the first notification for which `when` holds, `proceed` otherwise.
NotificationLog::Policy answer_once(std::function<bool(const notification&)> when,
                                    notification::result answer);

[[nodiscard]] std::string file_name(const std::wstring& path);

} // namespace vt::test
