// Start-up figures of the shipped installer, worked as a person works it (not a
// test; prints its figures, medians of five runs):
//   first page  from the process's start to the wizard's first page painted;
//   first file  on a machine with the same version installed, from the press of
//               Install to the first "Copying File" line.
// Target: 0.5 s each under Wine. The first run installs the product, so that the
// machine has the same version; the product stays installed afterwards.
//
//   startup [INSTALLER]       (default: ..\app\PlankwiseSetup.exe beside this program)
#include "installed_product.h"
#include "measure.h"
#include "wizard_driver.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace vt::driver;

constexpr int log_id = 1015;
constexpr int status_id = 1003;

struct Run {
    double first_page = 0;
    double first_file = 0;
    bool installed = false;
};

// One start: the first page, then Next, Next and Install, timed to the first file
// line; then the run is left to finish (on the first start) or the program ended.
Run run_once(const std::wstring& installer, bool finish) {
    Run run;
    const double start = vt::bench::now_seconds();
    InstallerProcess process(installer);
    HWND wizard = WaitForDialog(process.Id(), 1005, 30000);
    if (wizard == nullptr) {
        return run;
    }
    HWND page = VisiblePage(wizard);
    WaitUntil([&] { return (page = VisiblePage(wizard)) != nullptr; });
    Settle(page);
    run.first_page = vt::bench::now_seconds() - start;

    for (int step = 0; step < 2; ++step) {
        PressForNextPage(wizard, IDOK);
    }
    HWND install_page = VisiblePage(wizard);
    const double pressed = vt::bench::now_seconds();
    Press(wizard, IDOK);
    WaitUntil([&] { return ItemText(install_page, status_id).starts_with(L"Copying File"); },
              120000, process.Handle());
    run.first_file = vt::bench::now_seconds() - pressed;
    if (finish) {
        WaitUntil([&] { return Enabled(wizard, IDCANCEL); }, 300000, process.Handle());
        run.installed =
            ItemText(install_page, log_id).find(L"Installation Data Writing") != std::wstring::npos;
        Press(wizard, IDCANCEL);
        process.Wait(30000);
    }
    return run;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring installer =
        argc > 1 ? argv[1] : vt::test::BuildPath(L"app\\PlankwiseSetup.exe");
    // The same version installed first: a whole run.
    const Run setup = run_once(installer, true);
    if (!setup.installed) {
        std::printf("startup: the first installation did not complete (%.3f s, %.3f s)\n",
                    setup.first_page, setup.first_file);
        return 1;
    }
    std::vector<double> first_page;
    std::vector<double> first_file;
    for (int i = 0; i < 5; ++i) {
        const Run run = run_once(installer, false);
        first_page.push_back(run.first_page);
        first_file.push_back(run.first_file);
    }
    std::printf("process start to first page painted: median %.3f s (runs:",
                vt::bench::median(first_page));
    for (double t : first_page) {
        std::printf(" %.3f", t);
    }
    std::printf(")\nInstall pressed to first file line (same version installed): median %.3f s "
                "(runs:",
                vt::bench::median(first_file));
    for (double t : first_file) {
        std::printf(" %.3f", t);
    }
    std::printf(")\ntarget: 0.5 s each\n");
    return 0;
}
