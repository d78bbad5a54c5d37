// The installer's program: the checks at process start, then the application,
// whose start-up ends in the wizard.
#include "app/install_app.h"
#include "app/process_start.h"
#include "wizard/install_dialog.h"

namespace {

// Static construction, in this order: the process-start checks, then the
// application object.
const vt::ProcessStart process_start;

struct RegisterProcessStart {
    RegisterProcessStart() { vt::SetCurrentProcessStart(&process_start); }
} register_process_start;

vt::CInstallApp the_app(process_start.ApplicationIdentity(), &vt::RunWizard);

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    return the_app.Run(instance);
}
