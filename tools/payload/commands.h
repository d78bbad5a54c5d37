// The commands of the payload tool. Each returns the process exit code.
#pragma once

#include <string>
#include <vector>

namespace vt::tool {

using Arguments = std::vector<std::wstring>; // after the command's name

int pack_command(const Arguments& args);
int list_command(const Arguments& args);
int verify_command(const Arguments& args);
int extract_command(const Arguments& args);
int embed_command(const Arguments& args);

} // namespace vt::tool
