// Benchmark of the extraction, not a test: prints its figures.
//
// Builds a synthetic payload shaped like the product's (70 files, about 26.6 MB
// decompressed, about 9 MB as bzip2 level 9: executables, resource libraries,
// images, text), then, in a child process that holds only the compressed bytes,
// measures
//   (a) one plain bzip2 decode of the stream into a discarding sink, and
//   (b) verify_payload plus extract_payload into a fresh folder, with a handler
//       that does to the stream what the install page does,
// and prints (b) / (2 x a) and the peak working-set growth. Then the same for a
// payload four times as large. Targets: ratio <= 1.10, growth <= 8 MiB and not
// growing with the payload.
//
//   extract.exe            both payload sizes
//   extract.exe --scale N  one payload of N times the product's size
#include "archive_writer.h"
#include "measure.h"
#include "payload/compress_error.h"
#include "payload/crc32.h"
#include "payload/extract.h"
#include "payload/verify.h"
#include "support/memstream.h"

#include <windows.h>
#include <psapi.h>

#include <boost/filesystem/operations.hpp>
#include <boost/iostreams/compose.hpp>
#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/null.hpp>
#include <boost/iostreams/filter/bzip2.hpp>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace io = boost::iostreams;
namespace fs = boost::filesystem;

namespace {

using vt::bench::now_seconds;
using vt::bench::peak_working_set;

class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

private:
    std::uint32_t state_;
};

// Machine code: a small vocabulary of instruction patterns with random operands.
std::string executable(std::size_t size, std::uint32_t seed) {
    Random r(seed);
    static const char* const ops[] = {"\x55\x8B\xEC", "\x8B\x45", "\x89\x45", "\xE8", "\xFF\x15",
                                      "\x83\xC4",     "\x5D\xC3", "\x6A\x00", "\x50", "\x8D\x4D"};
    std::string out;
    out.reserve(size);
    while (out.size() < size) {
        out += ops[r.next() % 10];
        const int operands = static_cast<int>(r.next() % 4);
        for (int i = 0; i < operands; ++i) {
            out.push_back(static_cast<char>(r.next() % 16 == 0 ? r.next() : r.next() % 4));
        }
    }
    out.resize(size);
    return out;
}

// Text: words from a small vocabulary, as UTF-16 for resource libraries.
std::string text(std::size_t size, std::uint32_t seed, bool utf16) {
    Random r(seed);
    static const char* const words[] = {"plank", "wise",  "material", "texture", "the",   "of",
                                        "and",   "board", "joint",    "screw",   "edge",  "panel",
                                        "cut",   "list",  "project",  "oak",     "beech", "walnut"};
    std::string out;
    out.reserve(size);
    while (out.size() < size) {
        const char* w = words[r.next() % 18];
        for (const char* c = w; *c != '\0'; ++c) {
            out.push_back(*c);
            if (utf16) {
                out.push_back('\0');
            }
        }
        out.push_back(r.next() % 9 == 0 ? '\n' : ' ');
        if (utf16) {
            out.push_back('\0');
        }
        if (r.next() % 7 == 0) {
            out += std::to_string(r.next() % 10000);
        }
    }
    out.resize(size);
    return out;
}

// An image: smooth gradients with noise in the low bits.
std::string image(std::size_t size, std::uint32_t seed) {
    Random r(seed);
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t x = i % 3072, y = i / 3072;
        out[i] = static_cast<char>((x / 12 + y / 5 + (i % 3) * 40) + (r.next() & 0x07));
    }
    return out;
}

struct File {
    std::wstring destination;
    std::uint32_t kind;
    std::string data;
};

std::vector<File> product_files(std::uint32_t variant) {
    std::vector<File> files;
    const auto add = [&](std::wstring destination, std::uint32_t kind, std::string data) {
        files.push_back({std::move(destination), kind, std::move(data)});
    };
    const std::uint32_t s = variant * 1000;
    add(L"<InstallPath>", 1, executable(8'000'000, s + 1));
    add(L"<InstallPath>", 2, executable(600'000, s + 2));
    for (std::uint32_t i = 0; i < 18; ++i) {
        add(L"<InstallPath>\\Lang", 0, text(260'000, s + 10 + i, true));
    }
    for (std::uint32_t i = 0; i < 10; ++i) {
        add(L"<CommonData>\\Vantorel\\Plankwise 6", 3, executable(400'000, s + 30 + i));
    }
    for (std::uint32_t i = 0; i < 6; ++i) {
        add(L"<CommonData>\\Vantorel\\Materials", 3, text(90'000, s + 40 + i, false));
    }
    add(L"<UserData>\\Vantorel\\Plankwise 6", 3, image(200'000, s + 50));
    for (std::uint32_t i = 0; i < 8; ++i) {
        add(L"<SamplePath>", 4, text(150'000, s + 60 + i, false));
    }
    for (std::uint32_t i = 0; i < 19; ++i) {
        add(L"<CommonData>\\Vantorel\\Textures\\Plankwise 6", 4, image(380'000, s + 70 + i));
    }
    for (std::uint32_t i = 0; i < 6; ++i) {
        add(L"<Temporary>", 5, executable(100'000, s + 90 + i));
    }
    return files; // 70 files
}

std::string build_payload(int scale, std::size_t& decompressed, std::size_t& count) {
    std::vector<File> files;
    for (int v = 0; v < scale; ++v) {
        auto more = product_files(static_cast<std::uint32_t>(v));
        std::move(more.begin(), more.end(), std::back_inserter(files));
    }
    std::vector<vt::archive_writer::Record> records;
    decompressed = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const File& f = files[i];
        records.push_back({L"D:\\dev\\Plankwise\\bin\\file" + std::to_wstring(i) + L".dat",
                           f.destination, f.kind, f.data.size(),
                           vt::crc32_of(f.data.data(), f.data.size())});
        decompressed += f.data.size();
    }
    count = files.size();
    std::ostringstream out(std::ios_base::binary);
    vt::archive_writer::compress_to(out, 9, [&](std::ostream& archive) {
        const std::string header = vt::archive_writer::encode_header(records);
        decompressed += header.size();
        archive << header;
        for (const auto& f : files) {
            archive.write(f.data.data(), static_cast<std::streamsize>(f.data.size()));
        }
    });
    return std::move(out).str();
}

// The measured part, in a process of its own so that its peak working set is its own.
int measure(const std::wstring& payload_file, const std::wstring& folder) {
    // Read with one allocation of the exact size, so that the peak working set
    // before the measurement is the current one.
    std::ifstream in(fs::path(payload_file).c_str(), std::ios_base::binary);
    std::string payload(static_cast<std::size_t>(fs::file_size(payload_file)), '\0');
    in.read(payload.data(), static_cast<std::streamsize>(payload.size()));
    const SIZE_T baseline = peak_working_set();

    vt::imemstream plain(payload.data(), payload.size());
    double start = now_seconds();
    io::copy(plain, io::compose(io::bzip2_decompressor(), io::null_sink()), 4096);
    const double decode = now_seconds() - start;

    vt::imemstream stream(payload.data(), payload.size());
    std::wstring status;
    int percent = 0;
    double verify = 0;
    start = now_seconds();
    const bool ok = vt::extract_payload(
        stream, {folder + L"\\install", L"Plankwise Examples", folder + L"\\temp"},
        [&](vt::notification n) {
            if (std::holds_alternative<vt::notify::started>(n)) {
                const double verify_start = now_seconds();
                const bool sound = vt::verify_payload(stream);
                verify = now_seconds() - verify_start;
                if (!sound) {
                    throw std::system_error(
                        vt::make_error_code(vt::compress_error::verification_failed));
                }
                stream.clear();
                stream.seekg(0);
            } else if (const auto* f = std::get_if<vt::notify::file_started>(&n)) {
                status = L"Copying File  " + f->entry.destination + L"...";
            } else if (const auto* p = std::get_if<vt::notify::progress>(&n)) {
                percent = static_cast<int>(static_cast<double>(p->done) / p->total * 100.0 + 0.5);
            }
            return vt::notification::result::proceed;
        });
    const double extract = now_seconds() - start;
    const SIZE_T peak = peak_working_set();
    std::printf("  plain decode (a)           %8.3f s\n", decode);
    std::printf("  verify + extract (b)       %8.3f s   %s, %d%%\n", extract,
                ok ? "succeeded" : "FAILED", percent);
    std::printf("    of which verification    %8.3f s, extraction %.3f s\n", verify,
                extract - verify);
    std::printf("  ratio (b) / (2 x a)        %8.3f     target <= 1.10\n", extract / (2 * decode));
    std::printf("  peak working-set growth    %8.2f MiB target <= 8\n",
                static_cast<double>(peak - baseline) / (1024.0 * 1024.0));
    return ok ? 0 : 1;
}

int run_scale(int scale) {
    std::size_t decompressed = 0, count = 0;
    const std::string payload = build_payload(scale, decompressed, count);
    const fs::path folder = fs::temp_directory_path() / fs::unique_path(L"vt-bench-%%%%-%%%%");
    fs::create_directories(folder);
    const fs::path file = folder / L"payload.bz2";
    {
        std::ofstream out(file.c_str(), std::ios_base::binary);
        out.write(payload.data(), static_cast<std::streamsize>(payload.size()));
    }
    std::printf("payload x%d: %zu files, %.1f MB decompressed, %.1f MB compressed\n", scale, count,
                static_cast<double>(decompressed) / 1e6, static_cast<double>(payload.size()) / 1e6);
    std::fflush(stdout);

    const int code =
        vt::bench::run_self(L"--measure \"" + file.wstring() + L"\" \"" + folder.wstring() + L"\"");
    boost::system::error_code ec;
    fs::remove_all(folder, ec);
    return static_cast<int>(code);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring(argv[1]) == L"--measure") {
        return measure(argv[2], argv[3]);
    }
    if (argc == 3 && std::wstring(argv[1]) == L"--scale") {
        return run_scale(std::stoi(argv[2]));
    }
    const int first = run_scale(1);
    const int second = run_scale(4);
    return first != 0 ? first : second;
}
