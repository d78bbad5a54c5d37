// The install page: the summary of the chosen options before the run, the
// installation's transcript during it (log, status line, progress bar), and the
// run itself with the handler of the extraction's notifications.
#pragma once

#include "app/install_session.h"
#include "engine/transcript.h"
#include "framework/page.h"
#include "payload/notification.h"

#include <functional>
#include <string>
#include <string_view>

namespace vt {

class CDlgInstall : public fw::Page, public Transcript {
public:
    static constexpr UINT TemplateId = 135;
    static constexpr int LogId = 1015;
    static constexpr int ProgressId = 1014;
    static constexpr int StatusId = 1003;

    explicit CDlgInstall(InstallSession& session);
    ~CDlgInstall() override;

    // The whole installation; true when it reached its end (even with failed
    // later steps), false when the work folder or the extraction failed.
    bool RunInstallation();

    // The page operations of the wizard host.
    void RefreshTexts() override;
    void Grow(int dx, int dy) override;

    // Transcript.
    void SetStatus(const std::wstring& text) override;
    void AppendLog(const std::wstring& text, bool heading = false) override;
    void DispatchPendingMessages() override;
    [[nodiscard]] HWND Window() const override { return Handle(); }

    [[nodiscard]] const std::wstring& MainProgramPath() const noexcept { return main_program_; }
    [[nodiscard]] const std::wstring& UninstallerPath() const noexcept { return uninstaller_; }

    // Where the run reads its payload: the installer's own resource, unless
    // another source is given (a test's archive).
    using PayloadSource = std::function<std::string_view()>;
    void SetPayloadSource(PayloadSource source) { payload_source_ = std::move(source); }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& exchange) override;

private:
    class NotificationHandler;

    void RebuildSummary();
    [[nodiscard]] std::wstring FramedLine(const std::wstring& text) const;

    // While the files are extracted, appended lines are gathered and put into the
    // log at most every few milliseconds: the edit control measures its whole
    // text on every insertion, so one insertion a line would make a long
    // transcript cost time that grows with the square of its length.
    // The status line of a file follows the same pace (always the latest file's).
    void DeferLog(bool defer);
    void FlushLog(bool when_due);
    void SetFileStatus(const std::wstring& text);
    void SetProgress(int percent);

    InstallSession& session_;
    HWND log_ = nullptr;
    HWND progress_ = nullptr;
    std::wstring main_program_;
    std::wstring uninstaller_;
    PayloadSource payload_source_;
    bool defer_log_ = false;
    std::wstring pending_log_;
    std::wstring pending_status_;
    ULONGLONG last_flush_ = 0;
    int progress_percent_ = -1;
};

// A path as the transcript shows it: in double quotes when it holds a space.
[[nodiscard]] std::wstring QuotedPath(const std::wstring& path);

// The percent of the progress bar: rounded, and 99 until the last byte is done.
[[nodiscard]] int ProgressPercent(std::uint64_t done, std::uint64_t total) noexcept;

} // namespace vt
