#include "notification_log.h"

#include <memory>
#include <stdexcept>

namespace vt::test {

std::string file_name(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    const std::wstring name = cut == std::wstring::npos ? path : path.substr(cut + 1);
    return {name.begin(), name.end()}; // the tests use ASCII names
}

notification_handler NotificationLog::handler() {
    return [this](notification n) {
        std::visit(
            [this](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, notify::started>) {
                    lines.push_back("started");
                } else if constexpr (std::is_same_v<T, notify::finished>) {
                    lines.push_back("finished " + std::to_string(v.source_bytes) + " " +
                                    std::to_string(v.total_bytes));
                } else if constexpr (std::is_same_v<T, notify::file_started>) {
                    lines.push_back("file_started " + file_name(v.entry.destination));
                } else if constexpr (std::is_same_v<T, notify::file_finished>) {
                    lines.push_back("file_finished " + file_name(v.entry.destination));
                } else if constexpr (std::is_same_v<T, notify::progress>) {
                    lines.push_back("progress " + std::to_string(v.done) + "/" +
                                    std::to_string(v.total));
                } else {
                    lines.push_back(std::string("failed ") + v.code.category().name() + ":" +
                                    std::to_string(v.code.value()) + " " + file_name(v.path));
                }
            },
            static_cast<const notification::variant&>(n));
        if (std::holds_alternative<notify::failed>(n)) {
            failures.push_back(n);
        }
        return policy_ ? policy_(n) : notification::result::proceed;
    };
}

std::size_t NotificationLog::count(const std::string& prefix) const {
    std::size_t n = 0;
    for (const auto& line : lines) {
        n += line.starts_with(prefix) ? 1 : 0;
    }
    return n;
}

const notify::failed& NotificationLog::failure() const {
    if (failures.size() != 1) {
        throw std::logic_error("expected exactly one failed notification");
    }
    return std::get<notify::failed>(failures.front());
}

NotificationLog::Policy answer_once(std::function<bool(const notification&)> when,
                                    notification::result answer) {
    auto used = std::make_shared<bool>(false);
    return [when = std::move(when), answer, used](const notification& n) {
        if (!*used && when(n)) {
            *used = true;
            return answer;
        }
        return notification::result::proceed;
    };
}

} // namespace vt::test
