// Conversion between UTF-16 and the system's ANSI code page.
#pragma once

#include <cwchar>
#include <locale>
#include <string>
#include <string_view>

namespace vt {

namespace details {

// A code conversion facet between UTF-16 code units and ANSI code page bytes
// (CP_ACP). It converts the whole input in one call and keeps no state.
class w2a_codecvt : public std::codecvt<wchar_t, char, std::mbstate_t> {
public:
    explicit w2a_codecvt(std::size_t refs = 0)
        : std::codecvt<wchar_t, char, std::mbstate_t>(refs) {}

    // The facet's operations, reachable without a locale.
    result in(const char* from, const char* from_end, const char*& from_next, wchar_t* to,
              wchar_t* to_end, wchar_t*& to_next) const;
    result out(const wchar_t* from, const wchar_t* from_end, const wchar_t*& from_next, char* to,
               char* to_end, char*& to_next) const;
    int length(const char* from, const char* from_end, std::size_t max) const;
    int max_length() const noexcept { return do_max_length(); }

protected:
    ~w2a_codecvt() override = default;
    bool do_always_noconv() const noexcept override { return false; }
    int do_max_length() const noexcept override { return 5; }
    int do_encoding() const noexcept override { return 0; }
    result do_in(std::mbstate_t& state, const char* from, const char* from_end,
                 const char*& from_next, wchar_t* to, wchar_t* to_end,
                 wchar_t*& to_next) const override;
    result do_out(std::mbstate_t& state, const wchar_t* from, const wchar_t* from_end,
                  const wchar_t*& from_next, char* to, char* to_end, char*& to_next) const override;
    result do_unshift(std::mbstate_t& state, char* to, char* to_end, char*& to_next) const override;
    int do_length(std::mbstate_t& state, const char* from, const char* from_end,
                  std::size_t max) const override;
};

} // namespace details

// ANSI code page bytes to UTF-16; empty when the text does not convert.
[[nodiscard]] std::wstring NarrowToWide(std::string_view text);

// UTF-16 to ANSI code page bytes; a character without an exact counterpart
// becomes the code page's default character. Empty when the text does not convert.
[[nodiscard]] std::string WideToNarrow(std::wstring_view text);

} // namespace vt
