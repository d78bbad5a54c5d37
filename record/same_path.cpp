// Whether two recorded paths name the same file.
#include "record/install_record.h"

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>

#include <shlwapi.h>

namespace fs = boost::filesystem;

namespace vt {

bool SamePath(const std::wstring& a, const std::wstring& b) noexcept {
    try {
        const fs::path first(a), second(b);
        if (first == second) {
            return true;
        }
        boost::system::error_code ec;
        const bool same_file = fs::equivalent(first, second, ec);
        if (!ec) {
            return same_file;
        }
        const fs::path x = fs::absolute(first).lexically_normal();
        const fs::path y = fs::absolute(second).lexically_normal();
        auto i = x.begin(), j = y.begin();
        for (; i != x.end() && j != y.end(); ++i, ++j) {
            const std::wstring u = i->wstring(), v = j->wstring();
            if (u.size() != v.size() ||
                !::StrIsIntlEqualW(FALSE, u.c_str(), v.c_str(), static_cast<int>(u.size()))) {
                return false;
            }
        }
        return i == x.end() && j == y.end();
    } catch (...) {
        return false;
    }
}

} // namespace vt
