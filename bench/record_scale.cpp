// The installation record at scale: an update's record of 100,000 files merged
// with an earlier record of 100,000 (nine in ten the same files), written, and
// read back. Prints the time of each; the target is under a second each.
//
//   record_scale [ENTRIES]
#include "measure.h"
#include "record/install_record.h"

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    const int entries = argc > 1 ? _wtoi(argv[1]) : 100000;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring file = std::wstring(temp) + L"vt-record-scale.ulog";
    const std::wstring folder = L"C:\\Program Files\\Vantorel\\Plankwise 6\\Data\\";

    vt::InstallRecord record;
    for (int i = 0; i < entries; ++i) {
        // The earlier installation's files: one in ten is not in the new version.
        const int number = i % 10 == 0 ? entries + i : i;
        record.earlierEntries.push_back({vt::RecordEntryKind::File,
                                         folder + L"file" + std::to_wstring(number) + L".dat",
                                         {},
                                         true,
                                         0,
                                         {}});
        record.currentEntries.push_back({vt::RecordEntryKind::File,
                                         folder + L"file" + std::to_wstring(i) + L".dat",
                                         {},
                                         true,
                                         0,
                                         {}});
    }
    const double start = vt::bench::now_seconds();
    const bool written = record.Write(file, L"C:\\Program Files\\Vantorel\\Plankwise 6", L"");
    const double write_seconds = vt::bench::now_seconds() - start;

    vt::InstallRecord read;
    const double read_start = vt::bench::now_seconds();
    read.Load(file.c_str());
    const double read_seconds = vt::bench::now_seconds() - read_start;
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(file.c_str());

    std::printf("record of %d files merged with %d earlier ones: %zu entries %s in %.3f s\n",
                entries, entries, read.earlierEntries.size(), written ? "written" : "NOT written",
                write_seconds);
    std::printf("read back in %.3f s (targets: under 1 s each)\n", read_seconds);
    return written && read.earlierEntries.size() == record.currentEntries.size() ? 0 : 1;
}
