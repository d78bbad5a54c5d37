// Benchmark of the whole installation run, not a test: prints its figures.
//
// In a child process each, with the install page hidden:
//   sample  the sample product's payload (this program's own resource, as the
//           installer carries it): RunInstallation against two plain bzip2
//           decodes of the same stream. Target: ratio <= 1.25.
//   many    a generated payload of the product's programs and 10,000 small files:
//           the time per file beyond the two decodes (target <= 1 ms) and a
//           complete transcript.
// Both print the peak working-set growth of the run (target <= 16 MiB).
//
//   install_run.exe                  both
//   install_run.exe --measure sample -         one, in this process
#include "app/install_session.h"
#include "archive_writer.h"
#include "installed_product.h"
#include "measure.h"
#include "engine/install_page.h"
#include "framework/dialog.h"
#include "lang/ui_language.h"
#include "payload/archive.h"
#include "payload/crc32.h"
#include "support/memstream.h"
#include "support/product_constants.h"
#include "support/resource.h"

#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <boost/filesystem/operations.hpp>
#include <boost/iostreams/compose.hpp>
#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/null.hpp>
#include <boost/iostreams/filter/bzip2.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace io = boost::iostreams;
namespace fs = boost::filesystem;

namespace {

using vt::bench::now_seconds;
using vt::bench::peak_working_set;

std::string read_whole(const std::wstring& path) {
    std::ifstream in(fs::path(path).c_str(), std::ios_base::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring own_folder() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// The product's programs and `count` small text files in a hundred folders.
std::string many_files_payload(std::size_t count) {
    std::vector<vt::archive_writer::Record> records;
    std::vector<std::string> data;
    const std::wstring sample = own_folder() + L"\\..\\sample\\";
    data.push_back(read_whole(sample + L"Plankwise.exe"));
    records.push_back({L"D:\\b\\Plankwise.exe", L"<InstallPath>", 1, 0, 0});
    data.push_back(read_whole(sample + L"Uninstall.exe"));
    records.push_back({L"D:\\b\\Uninstall.exe", L"<InstallPath>", 2, 0, 0});
    for (std::size_t i = 0; i < count; ++i) {
        std::string text = "Component " + std::to_string(i) + "\r\n";
        while (text.size() < 600 + (i * 37) % 1500) {
            text += "part " + std::to_string(i * 7919 % 100003) + " of the library\r\n";
        }
        data.push_back(std::move(text));
        records.push_back({L"D:\\b\\part" + std::to_wstring(i) + L".pwpart",
                           L"<InstallPath>\\Parts\\Group" + std::to_wstring(i % 100), 0, 0, 0});
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].size = data[i].size();
        records[i].crc32 = vt::crc32_of(data[i].data(), data[i].size());
    }
    std::ostringstream out(std::ios_base::binary);
    vt::archive_writer::compress_to(out, 9, [&](std::ostream& archive) {
        archive << vt::archive_writer::encode_header(records);
        for (const auto& d : data) {
            archive.write(d.data(), static_cast<std::streamsize>(d.size()));
        }
    });
    return std::move(out).str();
}

class HiddenHost : public vt::fw::Dialog {
public:
    HiddenHost() : Dialog(900) {}
};

constexpr std::size_t many_count = 10000;

// `payload_file`: the generated payload, read with one allocation of its size so
// that the peak working set before the measurement is the current one.
int measure(const std::wstring& mode, const std::wstring& payload_file) {
    vt::SetLanguage(vt::English);
    const bool many = mode == L"many";
    std::string generated;
    if (many) {
        std::ifstream in(fs::path(payload_file).c_str(), std::ios_base::binary);
        generated.assign(static_cast<std::size_t>(fs::file_size(payload_file)), '\0');
        in.read(generated.data(), static_cast<std::streamsize>(generated.size()));
    }
    std::string_view payload = generated;
    if (!many) {
        const auto bytes = vt::load_resource(MAKEINTRESOURCEW(vt::PayloadArchive::resource_id),
                                             MAKEINTRESOURCEW(vt::PayloadArchive::resource_type));
        payload = {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }
    // Every page of the payload in memory before the baseline.
    unsigned sum = 0;
    for (char c : payload) {
        sum += static_cast<unsigned char>(c);
    }

    vt::test::RemoveInstalledProduct();
    const fs::path folder = fs::temp_directory_path() / fs::unique_path(L"vt-bench-%%%%-%%%%");
    vt::InstallSession session(L"PlankwiseBench-" + std::to_wstring(::GetCurrentProcessId()));
    session.installFolder = (folder / L"Plankwise 6").wstring();
    session.shortcutFolder = (folder / L"Menu\\Vantorel\\Plankwise 6").wstring();
    session.instanceMutex.TryAcquire();
    HiddenHost host;
    host.Create(nullptr);
    ::ShowWindow(host.Handle(), SW_HIDE);
    vt::CDlgInstall page(session);
    page.Create(host.Handle());
    page.UpdateData(false);
    page.RefreshTexts();
    if (many) {
        page.SetPayloadSource([&] { return payload; });
    }
    const SIZE_T baseline = peak_working_set();

    double start = now_seconds();
    for (int i = 0; i < 2; ++i) {
        vt::imemstream plain(payload.data(), payload.size());
        io::copy(plain, io::compose(io::bzip2_decompressor(), io::null_sink()), 4096);
    }
    const double decodes = now_seconds() - start;

    start = now_seconds();
    const bool ok = page.RunInstallation();
    const double run = now_seconds() - start;
    const SIZE_T peak = peak_working_set();

    HWND log = page.Item(vt::CDlgInstall::LogId);
    std::wstring transcript(static_cast<std::size_t>(::GetWindowTextLengthW(log)) + 1, L'\0');
    transcript.resize(static_cast<std::size_t>(
        ::GetWindowTextW(log, transcript.data(), static_cast<int>(transcript.size()))));
    std::size_t file_lines = 0;
    for (std::size_t at = 0; (at = transcript.find(L"Copying File  ", at)) != std::wstring::npos;
         ++at) {
        ++file_lines;
    }
    const bool complete =
        transcript.size() > 40 && transcript.ends_with(L"Installation Data Writing...OK\r\n");

    std::printf(
        "%s payload: %.1f MB compressed, %zu file lines, transcript %s (%zu characters)%s\n",
        many ? "10,000 small files" : "sample product", payload.size() / 1e6, file_lines,
        complete ? "complete" : "INCOMPLETE", transcript.size(), sum == 1 ? " " : "");
    std::printf("  two plain decodes (2 x a)  %8.3f s\n", decodes);
    std::printf("  RunInstallation (c)        %8.3f s   %s\n", run, ok ? "succeeded" : "FAILED");
    if (many) {
        std::printf("  per file beyond decoding   %8.3f ms  target <= 1\n",
                    (run - decodes) * 1000.0 / static_cast<double>(many_count + 2));
    } else {
        std::printf("  ratio (c) / (2 x a)        %8.3f     target <= 1.25\n", run / decodes);
    }
    std::printf("  peak working-set growth    %8.2f MiB target <= 16\n",
                static_cast<double>(peak - baseline) / (1024.0 * 1024.0));
    std::fflush(stdout);

    page.Destroy();
    host.Destroy();
    vt::test::RemoveInstalledProduct();
    vt::test::RemoveTree(folder.wstring());
    return ok && complete ? 0 : 1;
}

int run_child(const wchar_t* mode, const std::wstring& payload_file = L"-") {
    return vt::bench::run_self(std::wstring(L"--measure ") + mode + L" \"" + payload_file + L"\"");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring(argv[1]) == L"--measure") {
        return measure(argv[2], argv[3]);
    }
    const int sample = run_child(L"sample");
    const fs::path file = fs::temp_directory_path() / fs::unique_path(L"vt-bench-%%%%-%%%%.bz2");
    {
        const std::string payload = many_files_payload(many_count);
        std::ofstream out(file.c_str(), std::ios_base::binary);
        out.write(payload.data(), static_cast<std::streamsize>(payload.size()));
    }
    const int many = run_child(L"many", file.wstring());
    boost::system::error_code error;
    fs::remove(file, error);
    return sample != 0 ? sample : many;
}
