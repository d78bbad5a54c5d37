// Hostile input at scale: mutated payloads through extract_payload into a scratch
// folder, and mutated record files through Load. Prints what happened, the
// largest allocation peak, the slowest case and the peak working set; exits 1 on
// any broken promise (a crash ends the program on its own).
//
//   fuzz [PAYLOAD_COUNT [RECORD_COUNT]]     (defaults: 2000 each)
//
// The promises: every extraction ends with success or exactly one `failed`; no
// allocation peak above 64 MiB; no file outside the scratch folder (a target
// elsewhere, which a mutated destination can name, is skipped and counted); a
// success only with every
// written file matching its entry; a record never yields more entries than it
// has lines.
#include "archive_writer.h"
#include "counted_allocation.h"
#include "measure.h"
#include "payload/crc32.h"
#include "payload/extract.h"
#include "record/install_record.h"
#include "support/memstream.h"

#include <shlwapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vt::notification;
namespace notify = vt::notify;
namespace fs = std::filesystem;

constexpr std::size_t allocation_limit = std::size_t{64} << 20;

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::size_t below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(next() % n); }

private:
    std::uint64_t state_;
};

struct File {
    std::wstring name;
    std::wstring destination;
    std::uint32_t kind;
    std::string data;
};

std::string bytes_of(std::size_t size, unsigned seed) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>((i * 31 + seed * 7 + (i >> 5)) & 0xFF);
    }
    return data;
}

// A payload of the product's shape: programs, folders, an empty file, a
// temporary file, a sample.
std::string sound_archive() {
    const std::vector<File> files = {
        {L"Plankwise.exe", L"<InstallPath>", 1, bytes_of(30000, 1)},
        {L"Uninstall.exe", L"<InstallPath>", 2, bytes_of(9000, 2)},
        {L"empty.dat", L"<InstallPath>", 0, ""},
        {L"PlankwiseDEU.dll", L"<InstallPath>\\Lang", 0, bytes_of(4000, 3)},
        {L"settings.ini", L"<InstallPath>\\Settings", 3, "[Plankwise]\r\nUnits=mm\r\n"},
        {L"Sample1.pwproj", L"<SamplePath>", 4, bytes_of(2500, 4)},
        {L"DSETUP.dll", L"<Temporary>", 5, bytes_of(1200, 5)},
        {L"last.dat", L"<InstallPath>\\Data", 0, bytes_of(700, 6)},
    };
    std::vector<vt::archive_writer::Record> records;
    std::string data;
    for (const File& file : files) {
        records.push_back({L"C:\\build\\" + file.name, file.destination, file.kind,
                           file.data.size(), vt::crc32_of(file.data.data(), file.data.size())});
        data += file.data;
    }
    return vt::archive_writer::encode_header(records, 0) + data;
}

void put_le(std::string& bytes, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width && at + static_cast<std::size_t>(i) < bytes.size(); ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    }
}

std::uint64_t get_le(const std::string& bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

// The 32-bit fields of the header that hold counts and string lengths.
std::vector<std::size_t> length_fields(const std::string& archive) {
    std::vector<std::size_t> at = {8};
    const std::uint64_t count = get_le(archive, 8, 4);
    std::size_t p = 12;
    for (std::uint64_t e = 0; e < count; ++e) {
        for (int text = 0; text < 2; ++text) {
            at.push_back(p);
            p += 4 + 2 * get_le(archive, p, 4);
        }
        p += 4 + 8 + 4;
    }
    return at;
}

struct Mutation {
    std::string compressed;
    std::string kind;
};

Mutation mutate(const std::string& sound, const std::string& sound_compressed, Random& random) {
    static const std::uint64_t lengths[] = {0,
                                            11,
                                            12,
                                            std::uint64_t{1} << 31,
                                            0xFFFFFFFFull,
                                            (std::uint64_t{64} << 20) + 1,
                                            ~std::uint64_t{0}};
    const std::size_t header = static_cast<std::size_t>(get_le(sound, 0, 8));
    std::string bytes = sound;
    switch (random.below(9)) {
    case 0: { // bit flips in the compressed stream
        std::string c = sound_compressed;
        for (std::size_t i = 0, n = 1 + random.below(4); i < n; ++i) {
            c[random.below(c.size())] ^= static_cast<char>(1u << random.below(8));
        }
        return {c, "compressed bit flips"};
    }
    case 1: // the compressed stream truncated
        return {sound_compressed.substr(0, random.below(sound_compressed.size())),
                "compressed truncation"};
    case 2: { // bytes inserted into the compressed stream
        std::string c = sound_compressed;
        c.insert(random.below(c.size()), bytes_of(1 + random.below(64), random.below(256)));
        return {c, "compressed insertion"};
    }
    case 3: // the header length
        put_le(bytes, 0, lengths[random.below(std::size(lengths))], 8);
        return {vt::archive_writer::compress(bytes, 1), "header length"};
    case 4: { // more entries than the header holds
        const std::uint64_t count = get_le(bytes, 8, 4);
        const std::uint64_t forged[] = {count + 1, count + 100, 0x7FFFFFFF, 0xFFFFFFFF};
        put_le(bytes, 8, forged[random.below(std::size(forged))], 4);
        return {vt::archive_writer::compress(bytes, 1), "entry count"};
    }
    case 5: { // a string running past the header
        const auto fields = length_fields(sound);
        const std::size_t at = fields[1 + random.below(fields.size() - 1)];
        const std::uint64_t forged[] = {header, header / 2, 0x7FFFFFFF, 0xFFFFFFFF};
        put_le(bytes, at, forged[random.below(std::size(forged))], 4);
        return {vt::archive_writer::compress(bytes, 1), "string length"};
    }
    case 6: // bit flips in the header
        for (std::size_t i = 0, n = 1 + random.below(3); i < n; ++i) {
            bytes[random.below(header)] ^= static_cast<char>(1u << random.below(8));
        }
        return {vt::archive_writer::compress(bytes, 1), "header bit flips"};
    case 7: // bit flips in the data
        bytes[header + random.below(bytes.size() - header)] ^=
            static_cast<char>(1u << random.below(8));
        return {vt::archive_writer::compress(bytes, 1), "data bit flip"};
    default: // the decompressed archive truncated or extended
        if (random.below(2) == 0) {
            bytes.resize(random.below(bytes.size()));
        } else {
            bytes += bytes_of(1 + random.below(100), 9);
        }
        return {vt::archive_writer::compress(bytes, 1), "archive length"};
    }
}

bool inside(const std::wstring& folder, const std::wstring& path) {
    wchar_t full[MAX_PATH * 2] = {};
    if (path.size() >= MAX_PATH ||
        ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr) == 0) {
        return false;
    }
    const std::wstring f = full;
    return f.size() > folder.size() && _wcsnicmp(f.c_str(), folder.c_str(), folder.size()) == 0 &&
           f[folder.size()] == L'\\';
}

struct PayloadCounts {
    std::map<std::string, int> by_mutation;
    std::map<std::string, int> by_outcome;
    int broken = 0;
    int outside = 0;
    std::size_t largest_peak = 0;
    double slowest = 0;
};

void fuzz_payloads(int count, const std::wstring& scratch, PayloadCounts& counts) {
    const std::string sound = sound_archive();
    const std::string sound_compressed = vt::archive_writer::compress(sound, 1);
    Random random(20261210);
    const vt::PayloadFolders folders{scratch + L"\\install", scratch + L"\\samples",
                                     scratch + L"\\temp"};
    for (int round = 0; round < count; ++round) {
        const Mutation m = mutate(sound, sound_compressed, random);
        ++counts.by_mutation[m.kind];
        int failed = 0;
        bool failed_last = false;
        std::vector<std::pair<std::wstring, std::uint32_t>> written;
        std::uint64_t expected_size = 0;
        const auto handler = [&](notification n) {
            failed_last = false;
            if (const auto* started = std::get_if<notify::file_started>(&n)) {
                if (!inside(scratch, started->entry.destination)) {
                    ++counts.outside;
                    return notification::result::skip;
                }
            } else if (const auto* finished = std::get_if<notify::file_finished>(&n)) {
                written.emplace_back(finished->entry.destination, finished->entry.crc32);
                expected_size += finished->entry.size;
            } else if (std::holds_alternative<notify::failed>(n)) {
                ++failed;
                failed_last = true;
            }
            return notification::result::proceed;
        };
        const std::size_t baseline = vt::test::ResetPeak();
        const double start = vt::bench::now_seconds();
        vt::imemstream source(m.compressed.data(), m.compressed.size());
        const bool ok = vt::extract_payload(source, folders, handler);
        counts.slowest = std::max(counts.slowest, vt::bench::now_seconds() - start);
        const std::size_t peak = vt::test::PeakBytes() - baseline;
        counts.largest_peak = std::max(counts.largest_peak, peak);
        bool sound_end = ok ? failed == 0 : (failed == 1 && failed_last);
        if (ok) {
            for (const auto& [path, crc] : written) {
                if (vt::file_crc32(path) != crc) {
                    sound_end = false;
                }
            }
        }
        ++counts.by_outcome[ok ? "success" : "failed"];
        if (!sound_end || peak > allocation_limit) {
            ++counts.broken;
            std::printf("broken promise in round %d (%s): %s, %d failed, peak %zu bytes\n", round,
                        m.kind.c_str(), ok ? "success" : "failure", failed, peak);
        }
    }
}

std::string utf16_record(int entries) {
    std::wstring text = L"\xFEFF// Uninstall Log File v1\r\n// WARNING\r\n// Install -- Plankwise "
                        L"6.07\r\n// Install Path : C:\\Apps\r\n// Shortcut Path : C:\\Menu\r\n"
                        L"// ---------------\r\n";
    for (int i = 0; i < entries; ++i) {
        wchar_t line[128];
        swprintf(line, 128, L"%04d:0100:1 -- C:\\Apps\\file%d.dll\r\n", i, i);
        text += line;
    }
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

struct RecordCounts {
    int rounds = 0;
    int broken = 0;
    long long entries = 0;
};

void fuzz_records(int count, const std::wstring& scratch, RecordCounts& counts) {
    const std::string sound = utf16_record(40);
    const std::string ansi = [] {
        std::string s = "// Uninstall Log File v1\r\n// W\r\n// Install -- P\r\n// Install Path : "
                        "C:\\A\r\n// Shortcut Path : \r\n// -\r\n";
        for (int i = 0; i < 40; ++i) {
            s += std::to_string(1000 + i) + ":0100:1 -- C:\\A\\f" + std::to_string(i) + "\r\n";
        }
        return s;
    }();
    Random random(1210);
    const std::wstring file = scratch + L"\\fuzz.ulog";
    for (int round = 0; round < count; ++round) {
        std::string bytes = random.below(4) == 0 ? ansi : sound;
        switch (random.below(5)) {
        case 0:
            for (std::size_t i = 0, n = 1 + random.below(8); i < n; ++i) {
                bytes[random.below(bytes.size())] ^= static_cast<char>(1u << random.below(8));
            }
            break;
        case 1:
            bytes.resize(random.below(bytes.size()));
            break;
        case 2:
            bytes.insert(random.below(bytes.size()),
                         std::string(1 + random.below(5000), static_cast<char>(random.next())));
            break;
        case 3:
            for (std::size_t i = 0, n = 1 + random.below(6); i < n; ++i) {
                bytes[random.below(bytes.size())] = random.below(2) == 0 ? '\n' : '\0';
            }
            break;
        default:
            bytes = bytes.substr(random.below(bytes.size()));
            break;
        }
        std::ofstream(fs::path(file), std::ios::binary | std::ios::trunc) << bytes;
        vt::InstallRecord record;
        record.Load(file.c_str());
        // A line ends with 0x0A; the last one may end without it.
        const long long lines =
            static_cast<long long>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
        const auto entries = static_cast<long long>(record.earlierEntries.size());
        counts.entries += entries;
        ++counts.rounds;
        if (entries > lines) {
            ++counts.broken;
            std::printf("broken promise in record round %d: %lld entries from %lld lines\n", round,
                        entries, lines);
        }
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int payloads = argc > 1 ? _wtoi(argv[1]) : 2000;
    const int records = argc > 2 ? _wtoi(argv[2]) : payloads;

    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring scratch =
        std::wstring(temp) + L"vt-fuzz-" + std::to_wstring(::GetCurrentProcessId());
    fs::create_directories(fs::path(scratch));
    // Relative destinations land in the scratch folder too.
    ::SetCurrentDirectoryW(scratch.c_str());

    PayloadCounts payload_counts;
    const double start = vt::bench::now_seconds();
    fuzz_payloads(payloads, scratch, payload_counts);
    const double payload_seconds = vt::bench::now_seconds() - start;
    RecordCounts record_counts;
    fuzz_records(records, scratch, record_counts);
    const double record_seconds = vt::bench::now_seconds() - start - payload_seconds;

    ::SetCurrentDirectoryW(temp);
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(scratch), ignored)) {
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(fs::path(scratch), ignored);

    std::printf("mutated payloads: %d in %.1f s\n", payloads, payload_seconds);
    for (const auto& [kind, n] : payload_counts.by_mutation) {
        std::printf("  %-22s %d\n", kind.c_str(), n);
    }
    std::printf("  outcomes: %d succeeded, %d failed with one `failed`\n",
                payload_counts.by_outcome["success"], payload_counts.by_outcome["failed"]);
    std::printf("  targets outside the scratch folder (skipped): %d\n", payload_counts.outside);
    std::printf("  largest allocation peak: %.2f MiB (limit 64), slowest case %.3f s\n",
                static_cast<double>(payload_counts.largest_peak) / 1048576.0,
                payload_counts.slowest);
    std::printf("mutated records: %d in %.1f s, %lld entries read\n", record_counts.rounds,
                record_seconds, record_counts.entries);
    std::printf("peak working set: %.1f MiB\n",
                static_cast<double>(vt::bench::peak_working_set()) / 1048576.0);
    // A target outside the folders is a literal path of the payload's own: it was
    // skipped, so nothing was written there; it is reported, not a broken promise.
    const int broken = payload_counts.broken + record_counts.broken;
    std::printf("broken promises: %d\n", broken);
    return broken == 0 ? 0 : 1;
}
