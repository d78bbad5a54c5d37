#include "engine/install_page.h"

#include "framework/application.h"
#include "lang/localized_string.h"
#include "support/product_constants.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <cmath>

namespace vt {
namespace {

// Enough for the transcript of a payload of any size: the default limit of an
// edit control ends the text silently after about 30,000 characters.
constexpr WPARAM log_text_limit = 0x7FFFFFFE;

int text_width(HDC dc, const std::wstring& text) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

} // namespace

std::wstring QuotedPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    path.copy(buffer, MAX_PATH - 1);
    ::PathQuoteSpacesW(buffer);
    return buffer;
}

int ProgressPercent(std::uint64_t done, std::uint64_t total) noexcept {
    if (total == 0) {
        return 100;
    }
    const int percent = static_cast<int>(
        std::floor(static_cast<double>(done) / static_cast<double>(total) * 100.0 + 0.5));
    return percent >= 100 && done < total ? 99 : percent;
}

CDlgInstall::CDlgInstall(InstallSession& session) : Page(TemplateId), session_(session) {}

// The page's window goes while the whole object is still there.
CDlgInstall::~CDlgInstall() {
    Destroy();
}

bool CDlgInstall::OnInitDialog() {
    Dialog::OnInitDialog();
    progress_ = Item(ProgressId);
    ::SendMessageW(progress_, PBM_SETRANGE32, 0, 100);
    ::ShowWindow(progress_, SW_HIDE);
    ::SendMessageW(Item(LogId), EM_SETLIMITTEXT, log_text_limit, 0);
    return true;
}

void CDlgInstall::DoDataExchange(fw::DataExchange& exchange) {
    log_ = Item(LogId);
    progress_ = Item(ProgressId);
    if (!exchange.Saving() && !session_.installCompleted) {
        RebuildSummary();
    }
}

void CDlgInstall::RebuildSummary() {
    ::SetWindowTextW(log_, L"");
    AppendLog(LocalizedString(1100, {product::LabelWithVersion}) + L"\r\n");
    AppendLog(LocalizedString(1122), true);
    AppendLog(LocalizedString(1123, {QuotedPath(session_.installFolder)}) + L"\r\n");
    if (session_.createMenuShortcut) {
        AppendLog(LocalizedString(1124, {QuotedPath(session_.shortcutFolder)}) + L"\r\n");
    }
    if (session_.createDesktopShortcut) {
        AppendLog(LocalizedString(1125) + L"\r\n");
    }
    // Back to the first line (a bounded number of steps, in case a scroll fails).
    for (int guard = 0; guard < 10000 && ::SendMessageW(log_, EM_GETFIRSTVISIBLELINE, 0, 0) != 0;
         ++guard) {
        ::SendMessageW(log_, EM_LINESCROLL, 0, -1);
    }
}

void CDlgInstall::RefreshTexts() {
    SetStatus(LocalizedString(1108, {LocalizedString(1007)}));
}

void CDlgInstall::Grow(int dx, int dy) {
    ShiftControl(LogId, 0, 0, dx, dy);
    ShiftControl(ProgressId, 0, dy, dx, 0);
    ShiftControl(StatusId, 0, dy, dx, 0);
}

void CDlgInstall::SetStatus(const std::wstring& text) {
    pending_status_.clear();
    ::SetDlgItemTextW(Handle(), StatusId, text.c_str());
}

std::wstring CDlgInstall::FramedLine(const std::wstring& text) const {
    RECT client{};
    ::GetClientRect(log_, &client);
    const LRESULT margins = ::SendMessageW(log_, EM_GETMARGINS, 0, 0);
    int available = client.right - client.left - 2 - LOWORD(margins) - HIWORD(margins);

    HDC dc = ::GetDC(log_);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    const std::wstring spaced = text.empty() ? std::wstring() : L" " + text + L" ";
    if (!spaced.empty()) {
        available -= text_width(dc, spaced);
    }
    const int dash = text_width(dc, L"-");
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
    ::ReleaseDC(log_, dc);

    const int count = dash > 0 && available > 0 ? available / dash : 0;
    std::wstring line;
    if (spaced.empty()) {
        line.assign(static_cast<std::size_t>(count), L'-');
    } else {
        line.assign(static_cast<std::size_t>(count / 2), L'-');
        line += spaced;
        line.append(static_cast<std::size_t>((count + 1) / 2), L'-');
    }
    return line + L"\r\n";
}

void CDlgInstall::AppendLog(const std::wstring& text, bool heading) {
    pending_log_ += text.empty() || heading ? FramedLine(text) : text;
    FlushLog(defer_log_);
}

void CDlgInstall::FlushLog(bool when_due) {
    constexpr ULONGLONG flush_interval_ms = 40;
    if (pending_log_.empty() && pending_status_.empty()) {
        return;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (when_due && now - last_flush_ < flush_interval_ms) {
        return;
    }
    last_flush_ = now;
    if (!pending_status_.empty()) {
        ::PathSetDlgItemPathW(Handle(), StatusId, pending_status_.c_str());
        pending_status_.clear();
    }
    if (pending_log_.empty()) {
        return;
    }
    ::SendMessageW(log_, EM_SETSEL, 0x7FFFFFFF, -1);
    ::SendMessageW(log_, EM_SCROLLCARET, 0, 0);
    ::SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pending_log_.c_str()));
    ::SendMessageW(log_, EM_LINESCROLL, 0, 1);
    pending_log_.clear();
}

void CDlgInstall::SetFileStatus(const std::wstring& text) {
    pending_status_ = text;
    FlushLog(defer_log_);
}

void CDlgInstall::DeferLog(bool defer) {
    defer_log_ = defer;
    if (!defer) {
        FlushLog(false);
    }
}

void CDlgInstall::SetProgress(int percent) {
    if (percent != progress_percent_) {
        progress_percent_ = percent;
        ::SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    }
}

void CDlgInstall::DispatchPendingMessages() {
    FlushLog(true);
    fw::Application::PumpThreadMessages(fw::Application::Current());
}

} // namespace vt
