// Side by side with a peer installer (not a test; prints its figures): the same
// 70 files, the same Wine prefix and server, alternating, five times each:
//   (a) one plain bzip2 decode of the installer's payload;
//   (b) the peer's silent install (NSIS, solid bzip2, into one folder);
//   (c) our whole installation, from the press of Install to the end of the run
//       (shortcuts, DirectX stand-in, registration run and record included),
//       worked through the real installer's windows on a machine without the
//       product.
// Prints the medians, (c)/(b) (target 1.6) and (c)/(2a) (target 1.25).
//
//   peer PEER.exe [INSTALLER]
#include "installed_product.h"
#include "measure.h"
#include "wizard_driver.h"

#include <boost/iostreams/compose.hpp>
#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/array.hpp>
#include <boost/iostreams/device/null.hpp>
#include <boost/iostreams/filter/bzip2.hpp>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace io = boost::iostreams;

namespace {

using namespace vt::driver;

double decode(const char* data, std::size_t size) {
    const double start = vt::bench::now_seconds();
    io::array_source source(data, size);
    io::copy(source, io::compose(io::bzip2_decompressor(), io::null_sink()), 4096);
    return vt::bench::now_seconds() - start;
}

double peer_install(const std::wstring& peer) {
    vt::test::RemoveTree(L"C:\\PlankwisePeer");
    std::wstring command = L"\"" + peer + L"\" /S /D=C:\\PlankwisePeer";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = vt::bench::now_seconds();
    if (!::CreateProcessW(peer.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        return -1;
    }
    ::WaitForSingleObject(info.hProcess, INFINITE);
    const double seconds = vt::bench::now_seconds() - start;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return seconds;
}

double our_install(const std::wstring& installer) {
    const std::wstring folder =
        vt::test::SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\Vantorel\\Plankwise 6";
    const std::wstring menu =
        vt::test::SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Vantorel\\Plankwise 6";
    vt::test::RemoveInstalledProduct(folder, menu);
    InstallerProcess process(installer);
    HWND wizard = WaitForDialog(process.Id(), 1005, 30000);
    if (wizard == nullptr) {
        return -1;
    }
    for (int step = 0; step < 2; ++step) {
        PressForNextPage(wizard, IDOK);
    }
    const double start = vt::bench::now_seconds();
    Press(wizard, IDOK);
    WaitUntil([&] { return !Enabled(wizard, IDCANCEL); }, 10000, process.Handle());
    WaitUntil([&] { return Enabled(wizard, IDCANCEL); }, 600000, process.Handle());
    const double seconds = vt::bench::now_seconds() - start;
    const bool done = ItemText(wizard, IDOK) != L"Install";
    Press(wizard, IDCANCEL);
    process.Wait(30000);
    return done ? seconds : -1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: peer PEER.exe [INSTALLER]\n");
        return 2;
    }
    const std::wstring peer = argv[1];
    const std::wstring installer =
        argc > 2 ? argv[2] : vt::test::BuildPath(L"app\\PlankwiseSetup.exe");
    HMODULE module = ::LoadLibraryExW(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module != nullptr
                      ? ::FindResourceW(module, MAKEINTRESOURCEW(134), MAKEINTRESOURCEW(260))
                      : nullptr;
    if (found == nullptr) {
        std::printf("peer: no payload in the installer\n");
        return 1;
    }
    const auto* payload = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    const std::size_t payload_size = ::SizeofResource(module, found);

    // No window-event hook while ours runs: it would cost the installer a server
    // call for every text it sets.
    WakeOnWindowEvents(false);
    std::vector<double> a, b, c;
    for (int round = 0; round < 5; ++round) {
        a.push_back(decode(payload, payload_size));
        b.push_back(peer_install(peer));
        c.push_back(our_install(installer));
        std::printf("round %d: decode %.3f s, peer %.3f s, ours %.3f s\n", round + 1, a.back(),
                    b.back(), c.back());
        std::fflush(stdout);
    }
    vt::test::RemoveTree(L"C:\\PlankwisePeer");
    const double ma = vt::bench::median(a), mb = vt::bench::median(b), mc = vt::bench::median(c);
    std::printf("medians of 5: (a) decode %.3f s, (b) peer %.3f s, (c) ours %.3f s\n", ma, mb, mc);
    std::printf("(c)/(b) = %.2f (target 1.6), (c)/(2a) = %.2f (target 1.25)\n", mc / mb,
                mc / (2 * ma));
    return 0;
}
