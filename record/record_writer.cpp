// Writing the record file "Uninstall.ulog": UTF-16LE with a byte-order mark, six
// header lines and one line per entry.
#include "record/install_record.h"

#include "support/product_constants.h"
#include "support/unique_handle.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace vt {
namespace {

constexpr DWORD record_attributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool merge_drops(const RecordEntry& earlier, const std::list<RecordEntry>& current) {
    for (const RecordEntry& entry : current) {
        if (entry.kind != earlier.kind) {
            continue;
        }
        if (static_cast<int>(entry.kind) >= static_cast<int>(RecordEntryKind::MenuShortcut) ||
            SamePath(entry.path, earlier.path)) {
            return true;
        }
    }
    return false;
}

class LineWriter {
public:
    explicit LineWriter(HANDLE file) : file_(file) {}
    void raw(const void* data, DWORD size) {
        DWORD written = 0;
        if (!::WriteFile(file_, data, size, &written, nullptr) || written != size) {
            ok_ = false;
        }
    }
    void line(const std::wstring& text) {
        const std::wstring with_end = text + L"\r\n";
        raw(with_end.data(), static_cast<DWORD>(with_end.size() * sizeof(wchar_t)));
    }
    [[nodiscard]] bool ok() const noexcept { return ok_; }

private:
    HANDLE file_;
    bool ok_ = true;
};

std::wstring entry_line(std::size_t number, const RecordEntry& entry) {
    // Numbers as the reader expects them, whatever the process's locale: never
    // grouped ("1000", not "1.000").
    std::wostringstream line;
    line.imbue(std::locale::classic());
    line.fill(L'0');
    const int code = static_cast<int>(entry.kind) * 256 + (entry.tag & 0xFF);
    line << std::dec << std::setw(4) << number << L':' << std::hex << std::setw(4) << code << L':'
         << std::dec << std::setw(1) << (entry.succeeded ? 1 : 0) << L" -- " << entry.path;
    return line.str();
}

} // namespace

bool InstallRecord::Write(const std::wstring& recordFile, const std::wstring& installFolder,
                          const std::wstring& shortcutFolder) noexcept {
    bool result = false;
    try {
        // 1. The earlier entries that this run does not repeat go first.
        while (!earlierEntries.empty()) {
            auto last = std::prev(earlierEntries.end());
            if (merge_drops(*last, currentEntries)) {
                earlierEntries.erase(last);
            } else {
                currentEntries.splice(currentEntries.begin(), earlierEntries, last);
            }
        }
        // 2. to 4. The file.
        ::SetFileAttributesW(recordFile.c_str(), FILE_ATTRIBUTE_NORMAL);
        unique_file file(::CreateFileW(recordFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            LineWriter out(file.get());
            const wchar_t bom = 0xFEFF;
            out.raw(&bom, sizeof bom);
            std::wstring install = L"Install " + std::wstring(product::LabelWithVersion);
            if (!previousLabel.empty()) {
                install += L" -- Update (" + previousLabel + L")";
            }
            const std::wstring shortcut_header = L"Shortcut Path : " + shortcutFolder;
            out.line(L"// Uninstall Log File v1");
            out.line(L"// ############ WARNING: Do not delete or modify this file. ############");
            out.line(L"// " + install);
            out.line(L"// Install Path : " + installFolder);
            out.line(L"// " + shortcut_header);
            out.line(L"// " + std::wstring(shortcut_header.size(), L'-'));
            std::size_t number = 0;
            for (RecordEntry& entry : currentEntries) {
                if (entry.kind == RecordEntryKind::UninstallKey) {
                    entry.path = std::wstring(L"HKEY_LOCAL_MACHINE\\") + product::UninstallKey;
                } else if (entry.kind == RecordEntryKind::RegistrationRun) {
                    entry.path = L"HKEY_CLASSES_ROOT\\...";
                }
                out.line(entry_line(number++, entry));
            }
            result = out.ok();
            file.reset();
            ::SetFileAttributesW(recordFile.c_str(), record_attributes);
        }
    } catch (...) {
        result = false;
    }
    // 5. Every backup goes, also when the file could not be written.
    for (RecordEntry& entry : currentEntries) {
        if (!entry.backupPath.empty()) {
            ::SetFileAttributesW(entry.backupPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(entry.backupPath.c_str());
            entry.backupPath.clear();
        }
    }
    return result;
}

} // namespace vt
