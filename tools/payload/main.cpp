// payload: makes, lists, checks and extracts the installer's payload archives.
#include "commands.h"
#include "console.h"

#include <array>
#include <string_view>

namespace {

constexpr std::wstring_view usage =
    L"usage:\n"
    L"  payload pack MANIFEST OUT [--level 1-9]\n"
    L"  payload list ARCHIVE\n"
    L"  payload verify ARCHIVE\n"
    L"  payload extract ARCHIVE INSTALL_FOLDER [--samples FOLDER] [--temp FOLDER]\n"
    L"  payload embed INSTALLER ARCHIVE OUT\n"
    L"ARCHIVE is an archive file or an executable that carries one.\n";

struct Command {
    std::wstring_view name;
    int (*run)(const vt::tool::Arguments&);
};

constexpr std::array commands{
    Command{L"pack", &vt::tool::pack_command},     Command{L"list", &vt::tool::list_command},
    Command{L"verify", &vt::tool::verify_command}, Command{L"extract", &vt::tool::extract_command},
    Command{L"embed", &vt::tool::embed_command},
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2) {
        const std::wstring_view name = argv[1];
        for (const auto& command : commands) {
            if (command.name == name) {
                return command.run(vt::tool::Arguments(argv + 2, argv + argc));
            }
        }
    }
    vt::tool::print_error(usage);
    return vt::tool::exit_usage;
}
