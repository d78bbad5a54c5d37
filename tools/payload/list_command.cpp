// payload list ARCHIVE
#include "archive_input.h"
#include "archive_scan.h"
#include "commands.h"
#include "console.h"
#include "payload/compress_error.h"

#include <cwchar>
#include <iterator>

namespace vt::tool {

int list_command(const Arguments& args) {
    if (args.size() != 1) {
        print_error(L"usage: payload list ARCHIVE");
        return exit_usage;
    }
    try {
        const ArchiveInput input(args[0]);
        auto stream = input.stream();
        const ArchiveScan scan = scan_archive(stream, ScanDepth::table);
        std::wstring lines;
        for (const auto& entry : scan.entries) {
            wchar_t numbers[64];
            swprintf(numbers, std::size(numbers), L"%u\t%llu\t%08x\t", entry.kind,
                     static_cast<unsigned long long>(entry.size), entry.crc32);
            lines += numbers + entry.destination + L'\t' + entry.source_path + L'\n';
        }
        print(lines);
    } catch (const std::exception& e) {
        print_error(L"payload list: " + from_utf8(e.what()));
        return exit_failed;
    }
    return exit_ok;
}

} // namespace vt::tool
