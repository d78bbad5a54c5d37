// payload extract ARCHIVE INSTALL_FOLDER [--samples FOLDER] [--temp FOLDER]
#include "archive_input.h"
#include "commands.h"
#include "console.h"
#include "manifest.h"
#include "payload/compress_error.h"
#include "payload/error_translation.h"
#include "payload/extract.h"
#include "payload/verify.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace vt::tool {
namespace {

// Keeps one console line up to date, as the install page keeps its progress bar.
class ConsoleProgress {
public:
    notification::result operator()(const notification& n) {
        if (const auto* p = std::get_if<notify::progress>(&n)) {
            const int percent = p->total == 0 ? 0 : static_cast<int>(p->done * 100.0 / p->total);
            if (percent != percent_) {
                show(percent);
            }
        } else if (const auto* f = std::get_if<notify::file_started>(&n)) {
            file_ = f->entry.destination;
            show(percent_);
        } else if (std::holds_alternative<notify::finished>(n)) {
            print(L"\rextracted" + std::wstring(72, L' ') + L"\n");
        } else if (const auto* failure = std::get_if<notify::failed>(&n)) {
            print(L"\n");
            print_error(L"payload extract: error " + format_failure_code(failure->code) + L" (" +
                        from_utf8(failure->code.message()) + L")" +
                        (failure->path.empty() ? L"" : L": " + failure->path));
        }
        return notification::result::proceed;
    }

private:
    void show(int percent) {
        percent_ = std::max(percent, 0);
        wchar_t head[16];
        swprintf(head, std::size(head), L"\r[%3d%%] ", percent);
        std::wstring name = file_.size() > 64 ? L"..." + file_.substr(file_.size() - 61) : file_;
        name.resize(64, L' ');
        print(head + name);
    }

    std::wstring file_;
    int percent_ = -1;
};

} // namespace

int extract_command(const Arguments& args) {
    Arguments paths;
    PayloadFolders folders;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--samples" && i + 1 < args.size()) {
            // As the installer has it: an absolute folder, or the name of a
            // folder on the all-users desktop.
            folders.sample_folder = args[++i];
        } else if (args[i] == L"--temp" && i + 1 < args.size()) {
            folders.temp_folder = absolute_path(args[++i]);
        } else {
            paths.push_back(args[i]);
        }
    }
    if (paths.size() != 2) {
        print_error(L"usage: payload extract ARCHIVE INSTALL_FOLDER [--samples FOLDER] "
                    L"[--temp FOLDER]");
        return exit_usage;
    }
    folders.install_folder = absolute_path(paths[1]);
    try {
        const ArchiveInput input(paths[0]);
        auto stream = input.stream();
        ConsoleProgress progress;
        // Verification first, when the extraction starts, as the installer does it.
        const auto handler = [&](notification n) {
            if (std::holds_alternative<notify::started>(n)) {
                print(L"verifying...");
                if (!verify_payload(stream)) {
                    throw std::system_error(make_error_code(compress_error::verification_failed));
                }
                stream.clear();
                stream.seekg(0);
            }
            return progress(n);
        };
        return extract_payload(stream, folders, handler) ? exit_ok : exit_failed;
    } catch (const std::exception& e) {
        print_error(L"payload extract: " + from_utf8(e.what()));
        return exit_failed;
    }
}

} // namespace vt::tool
