#include "wizard/install_dialog.h"

#include "framework/application.h"
#include "lang/localized_string.h"
#include "lang/ui_language.h"
#include "support/message_box.h"
#include "wizard/about_dialog.h"

namespace vt {
namespace {

RECT child_rect(HWND parent, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int width(const RECT& r) {
    return r.right - r.left;
}

int height(const RECT& r) {
    return r.bottom - r.top;
}

} // namespace

std::wstring AboutItemText() {
    const std::wstring text = LocalizedString(1003, {LocalizedTitle(false)});
    if (text.empty()) {
        return text;
    }
    return IsRightToLeft(CurrentLanguage()) ? L"..." + text : L"&" + text + L"...";
}

CInstallDlg::CInstallDlg(InstallSession& session)
    : Dialog(TemplateId), session_(session), start_(session), mode_(session), path_(session),
      shortcut_(session), install_(session),
      end_(session), pages_{&start_, &mode_, &path_, &shortcut_, &install_, &end_} {}

// The pages go before the host's window: each destroys its own child window.
CInstallDlg::~CInstallDlg() = default;

bool CInstallDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (fw::Application* application = fw::Application::Current()) {
        application->SetMainWindow(Handle());
    }
    ::SetWindowTextW(Handle(), LocalizedTitle(true).c_str());

    HMENU system_menu = ::GetSystemMenu(Handle(), FALSE);
    if (system_menu != nullptr) {
        const std::wstring about = AboutItemText();
        if (!about.empty()) {
            ::AppendMenuW(system_menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(system_menu, MF_STRING, AboutCommand, about.c_str());
        }
        ::DeleteMenu(system_menu, SC_MAXIMIZE, MF_BYCOMMAND);
        ::DeleteMenu(system_menu, SC_SIZE, MF_BYCOMMAND);
    }
    if (const fw::Application* application = fw::Application::Current();
        application != nullptr && application->Icon() != nullptr) {
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG,
                       reinterpret_cast<LPARAM>(application->Icon()));
    }

    // Created in the order of their templates, kept in page order.
    for (fw::Page* page : {static_cast<fw::Page*>(&start_), static_cast<fw::Page*>(&mode_),
                           static_cast<fw::Page*>(&path_), static_cast<fw::Page*>(&shortcut_),
                           static_cast<fw::Page*>(&install_), static_cast<fw::Page*>(&end_)}) {
        page->Create(Handle());
    }
    LayOutPages();
    RefreshTexts();
    refreshes_on_language_change_ =
        AddLanguageChangeListener([this](const std::wstring&) { RefreshTexts(); });
    GoToPage(StartPage);
    if (session_.existingInstall == ExistingInstall::NewerVersion) {
        ::EnableWindow(Item(IDOK), FALSE);
    }
    return false; // GoToPage has set the focus
}

void CInstallDlg::LayOutPages() {
    HWND host = Handle();
    RECT area{};
    ::GetClientRect(host, &area);
    area.left = child_rect(host, Item(PanelId)).right;
    area.bottom = child_rect(host, Item(SeparatorId)).top;

    RECT all = area;
    for (fw::Page* page : pages_) {
        const RECT rect = child_rect(host, page->Handle());
        ::SetWindowPos(page->Handle(), nullptr, all.left, all.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
        const RECT moved{all.left, all.top, all.left + width(rect), all.top + height(rect)};
        ::UnionRect(&all, &all, &moved);
    }
    const int dx = width(all) - width(area);
    const int dy = height(all) - height(area);

    RECT window{};
    ::GetWindowRect(host, &window);
    ::SetWindowPos(host, nullptr, 0, 0, width(window) + dx, height(window) + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (fw::Page* page : pages_) {
        const RECT rect = child_rect(host, page->Handle());
        ::SetWindowPos(page->Handle(), nullptr, all.left, all.top, width(all), height(all),
                       SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
        page->Grow(width(all) - width(rect), height(all) - height(rect));
    }
    fw::ShiftChildWindow(host, Item(PanelId), 0, 0, 0, dy);
    fw::ShiftChildWindow(host, Item(SeparatorId), 0, dy, dx, 0);
    for (int id : {BackId, IDOK, IDCANCEL}) {
        fw::ShiftChildWindow(host, Item(id), dx, dy, 0, 0);
    }
}

bool CInstallDlg::GoToPage(int target) {
    if (current_page_ != -1) {
        if (!pages_[current_page_]->UpdateData(true)) {
            return false;
        }
        ::ShowWindow(pages_[current_page_]->Handle(), SW_HIDE);
    }
    int index = target;
    if (!session_.customMode && target != current_page_) {
        while (index == FolderPage || index == ShortcutPage) {
            index += target > current_page_ ? 1 : -1;
        }
    }
    if (index != current_page_) {
        pages_[index]->UpdateData(false);
    }
    current_page_ = index;
    ::ShowWindow(pages_[current_page_]->Handle(), SW_SHOW);
    UpdateButtonCaptions();

    const bool back =
        (current_page_ > StartPage && !session_.installCompleted) || current_page_ > InstallPage;
    ::EnableWindow(Item(BackId), back ? TRUE : FALSE);
    const bool next = current_page_ < EndPage;
    ::EnableWindow(Item(IDOK), next ? TRUE : FALSE);
    const int focus = next ? IDOK : IDCANCEL;
    ::SendMessageW(Handle(), DM_SETDEFID, static_cast<WPARAM>(focus), 0);
    ::SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(focus)), TRUE);
    // The old default button loses its default look.
    const int other = next ? IDCANCEL : IDOK;
    ::SendMessageW(Item(other), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    return true;
}

void CInstallDlg::UpdateButtonCaptions() {
    const std::wstring next = current_page_ == InstallPage && !session_.installCompleted
                                  ? LocalizedString(1007)
                                  : LocalizedString(1006) + L"  >";
    ::SetDlgItemTextW(Handle(), IDOK, next.c_str());
    ::SetDlgItemTextW(Handle(), BackId, (L"<  " + LocalizedString(1005)).c_str());
    ::SetDlgItemTextW(Handle(), IDCANCEL,
                      LocalizedString(session_.installCompleted ? 1004 : 1002).c_str());
}

void CInstallDlg::UpdateAboutItem() {
    HMENU system_menu = ::GetSystemMenu(Handle(), FALSE);
    if (system_menu == nullptr) {
        return;
    }
    const std::wstring about = AboutItemText();
    ::ModifyMenuW(system_menu, AboutCommand, MF_BYCOMMAND | MF_STRING, AboutCommand, about.c_str());
}

void CInstallDlg::RefreshTexts() {
    ::SetWindowTextW(Handle(), LocalizedTitle(true).c_str());
    UpdateAboutItem();
    UpdateButtonCaptions();
    for (fw::Page* page : pages_) {
        page->RefreshTexts();
    }
}

void CInstallDlg::OnOK() {
    if (running_) {
        return;
    }
    if (current_page_ != InstallPage || session_.installCompleted) {
        GoToPage(current_page_ + 1);
        return;
    }
    RunInstallation();
}

void CInstallDlg::RunInstallation() {
    for (int id : {BackId, IDOK, IDCANCEL}) {
        ::EnableWindow(Item(id), FALSE);
    }
    running_ = true;
    struct Finished {
        bool& running;
        ~Finished() { running = false; }
    } finished{running_};
    session_.installCompleted = install_.RunInstallation();
    running_ = false;
    GoToPage(current_page_);
    ::EnableWindow(Item(IDCANCEL), TRUE);
}

void CInstallDlg::OnCancel() {
    // Esc and the close box reach here too: nothing closes the window while the
    // installation runs.
    if (running_) {
        return;
    }
    const bool question =
        !session_.installCompleted && session_.existingInstall != ExistingInstall::NewerVersion &&
        !(session_.existingInstall == ExistingInstall::SameVersion && current_page_ == StartPage);
    if (question &&
        ShowMessage(LocalizedString(1110), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    EndDialog(session_.installCompleted ? IDOK : IDCANCEL);
}

bool CInstallDlg::OnCommand(WORD id, WORD code, HWND) {
    if (id == BackId && code == BN_CLICKED) {
        if (!running_) {
            GoToPage(current_page_ - 1);
        }
        return true;
    }
    return false;
}

bool CInstallDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == AboutCommand) {
            CAboutDlg about;
            about.DoModal(Handle());
            result = 0;
            return true;
        }
        return false;
    case WM_INITMENUPOPUP:
        // The system has prepared the system menu; only the minimized state
        // decides between Minimize and Restore.
        if (HIWORD(lparam) != 0) {
            const bool minimized = ::IsIconic(Handle()) != FALSE;
            HMENU menu = reinterpret_cast<HMENU>(wparam);
            ::EnableMenuItem(menu, SC_MINIMIZE,
                             MF_BYCOMMAND | (minimized ? MF_GRAYED : MF_ENABLED));
            ::EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | (minimized ? MF_ENABLED : MF_GRAYED));
        }
        return false;
    case WM_GETMINMAXINFO: {
        // Maximizing never changes the window: its maximized rectangle is the
        // restored one.
        auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (::GetWindowPlacement(Handle(), &placement)) {
            const RECT& normal = placement.rcNormalPosition;
            info->ptMaxSize = {normal.right - normal.left, normal.bottom - normal.top};
            info->ptMaxPosition = {normal.left, normal.top};
        }
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

INT_PTR RunWizard(InstallSession& session) {
    CInstallDlg wizard(session);
    struct MainWindow {
        ~MainWindow() {
            if (fw::Application* application = fw::Application::Current()) {
                application->SetMainWindow(nullptr);
            }
        }
    } main_window;
    return wizard.DoModal(nullptr);
}

} // namespace vt
