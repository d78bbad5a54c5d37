// payload verify ARCHIVE
#include "archive_input.h"
#include "archive_scan.h"
#include "commands.h"
#include "console.h"
#include "payload/verify.h"

namespace vt::tool {

int verify_command(const Arguments& args) {
    if (args.size() != 1) {
        print_error(L"usage: payload verify ARCHIVE");
        return exit_usage;
    }
    try {
        const ArchiveInput input(args[0]);
        auto stream = input.stream();
        if (!verify_payload(stream)) {
            print_error(L"payload verify: the bzip2 stream is damaged or incomplete");
            return exit_failed;
        }
        stream.clear();
        stream.seekg(0);
        const ArchiveScan scan = scan_archive(stream, ScanDepth::data);
        print(L"sound: " + std::to_wstring(scan.entries.size()) + L" entries\n");
    } catch (const std::exception& e) {
        print_error(L"payload verify: " + from_utf8(e.what()));
        return exit_failed;
    }
    return exit_ok;
}

} // namespace vt::tool
