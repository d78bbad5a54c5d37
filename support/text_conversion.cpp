#include "support/text_conversion.h"

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

namespace vt {
namespace details {

using codecvt_result = std::codecvt_base::result;

codecvt_result w2a_codecvt::do_in(std::mbstate_t&, const char* from, const char* from_end,
                                  const char*& from_next, wchar_t* to, wchar_t* to_end,
                                  wchar_t*& to_next) const {
    from_next = from_end;
    to_next = to;
    const int produced =
        ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, from, static_cast<int>(from_end - from), to,
                              static_cast<int>(to_end - to));
    if (produced <= 0 && from != from_end) {
        return error;
    }
    to_next += produced > 0 ? produced : 0;
    return ok;
}

codecvt_result w2a_codecvt::do_out(std::mbstate_t&, const wchar_t* from, const wchar_t* from_end,
                                   const wchar_t*& from_next, char* to, char* to_end,
                                   char*& to_next) const {
    from_next = from_end;
    to_next = to;
    const int produced =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, from, static_cast<int>(from_end - from),
                              to, static_cast<int>(to_end - to), nullptr, nullptr);
    if (produced <= 0 && from != from_end) {
        return error;
    }
    to_next += produced > 0 ? produced : 0;
    return ok;
}

codecvt_result w2a_codecvt::do_unshift(std::mbstate_t&, char* to, char*, char*& to_next) const {
    to_next = to;
    return ok;
}

int w2a_codecvt::do_length(std::mbstate_t&, const char* from, const char* from_end,
                           std::size_t max) const {
    const int count = ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, from,
                                            static_cast<int>(from_end - from), nullptr, 0);
    if (count <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(count) < max ? count : static_cast<int>(max);
}

codecvt_result w2a_codecvt::in(const char* from, const char* from_end, const char*& from_next,
                               wchar_t* to, wchar_t* to_end, wchar_t*& to_next) const {
    std::mbstate_t state{};
    return do_in(state, from, from_end, from_next, to, to_end, to_next);
}

codecvt_result w2a_codecvt::out(const wchar_t* from, const wchar_t* from_end,
                                const wchar_t*& from_next, char* to, char* to_end,
                                char*& to_next) const {
    std::mbstate_t state{};
    return do_out(state, from, from_end, from_next, to, to_end, to_next);
}

int w2a_codecvt::length(const char* from, const char* from_end, std::size_t max) const {
    std::mbstate_t state{};
    return do_length(state, from, from_end, max);
}

} // namespace details

namespace {

constexpr std::size_t stack_bytes = 511;

// A facet of the call's own. Facets are normally owned by a locale, hence their
// protected destructor; this one lives on the stack (reference count 1 says that
// no locale deletes it).
class CallConverter final : public details::w2a_codecvt {
public:
    CallConverter() : details::w2a_codecvt(1) {}
    ~CallConverter() override = default;
};

// A buffer of `count` elements: on the stack for short texts, on the heap otherwise.
template <class Char>
class ScratchBuffer {
public:
    explicit ScratchBuffer(std::size_t count) {
        if (count * sizeof(Char) <= stack_bytes) {
            data_ = small_.data();
        } else {
            large_ = std::make_unique_for_overwrite<Char[]>(count);
            data_ = large_.get();
        }
    }
    Char* data() noexcept { return data_; }

private:
    std::array<Char, stack_bytes / sizeof(Char)> small_;
    std::unique_ptr<Char[]> large_;
    Char* data_;
};

} // namespace

std::wstring NarrowToWide(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const CallConverter facet;
    const int n = facet.length(text.data(), text.data() + text.size(), 0x7FFFFFFE);
    if (n == 0) {
        return {};
    }
    ScratchBuffer<wchar_t> buffer(static_cast<std::size_t>(n));
    const char* from_next = nullptr;
    wchar_t* to_next = nullptr;
    if (facet.in(text.data(), text.data() + text.size(), from_next, buffer.data(),
                 buffer.data() + n, to_next) != std::codecvt_base::ok) {
        return {};
    }
    return {buffer.data(), static_cast<std::size_t>(to_next - buffer.data())};
}

std::string WideToNarrow(std::wstring_view text) {
    if (text.empty() || text.size() > 0xFFFFFFFEu / 5) {
        return {};
    }
    const CallConverter facet;
    const std::size_t n = text.size() * static_cast<std::size_t>(facet.max_length());
    ScratchBuffer<char> buffer(n);
    const wchar_t* from_next = nullptr;
    char* to_next = nullptr;
    if (facet.out(text.data(), text.data() + text.size(), from_next, buffer.data(),
                  buffer.data() + n, to_next) != std::codecvt_base::ok) {
        return {};
    }
    return {buffer.data(), static_cast<std::size_t>(to_next - buffer.data())};
}

} // namespace vt
