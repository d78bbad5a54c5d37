// Console output of the payload tool, in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vt::tool {

void print(std::wstring_view text);       // to standard output
void print_error(std::wstring_view text); // to standard error, with a line end

[[nodiscard]] std::string to_utf8(std::wstring_view text);
[[nodiscard]] std::wstring from_utf8(std::string_view text);

// Exit codes of the tool.
constexpr int exit_ok = 0;
constexpr int exit_failed = 1;
constexpr int exit_usage = 2;

} // namespace vt::tool
