// Writing the record file "Uninstall.ulog": UTF-16LE with a byte-order mark, six
// header lines and one line per entry.
#include "record/install_record.h"

#include "support/product_constants.h"
#include "support/unique_handle.h"

#include <array>
#include <iomanip>
#include <locale>
#include <sstream>
#include <unordered_set>
#include <vector>

namespace vt {
namespace {

constexpr DWORD record_attributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// What the merge has seen: the kinds of single entries (shortcuts, the uninstall
// key, the runs) and the recorded folders and files by name. Whether an entry
// names one of them under another spelling is asked of the file system only for
// an entry not found by name, and the identities of the seen files are gathered
// once, on the first such question.
class MergeIndex {
public:
    // Whether an entry like this one is there already.
    [[nodiscard]] bool Holds(const RecordEntry& entry) {
        if (single(entry)) {
            return kinds_[index(entry)];
        }
        if (names_.contains(tagged(entry, NameKey(entry.path)))) {
            return true;
        }
        const std::wstring file = FileKey(entry.path);
        if (file.empty()) {
            return false;
        }
        if (!files_known_) {
            for (const RecordEntry* seen : paths_) {
                if (const std::wstring key = FileKey(seen->path); !key.empty()) {
                    files_.insert(tagged(*seen, key));
                }
            }
            files_known_ = true;
        }
        return files_.contains(tagged(entry, file));
    }
    // The entry stays in the list while the index lives.
    void Add(const RecordEntry& entry) {
        if (single(entry)) {
            kinds_[index(entry)] = true;
            return;
        }
        names_.insert(tagged(entry, NameKey(entry.path)));
        paths_.push_back(&entry);
        if (files_known_) {
            if (const std::wstring key = FileKey(entry.path); !key.empty()) {
                files_.insert(tagged(entry, key));
            }
        }
    }

private:
    static bool single(const RecordEntry& entry) {
        return static_cast<int>(entry.kind) >= static_cast<int>(RecordEntryKind::MenuShortcut);
    }
    static std::size_t index(const RecordEntry& entry) {
        return static_cast<std::size_t>(entry.kind) & 7;
    }
    static std::wstring tagged(const RecordEntry& entry, const std::wstring& key) {
        return std::to_wstring(static_cast<int>(entry.kind)) + L"|" + key;
    }

    std::array<bool, 8> kinds_{};
    std::unordered_set<std::wstring> names_;
    std::vector<const RecordEntry*> paths_;
    std::unordered_set<std::wstring> files_;
    bool files_known_ = false;
};

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
        // 1. The earlier entries that this run does not repeat go first (an
        // earlier entry also repeats one kept after it).
        MergeIndex seen;
        for (const RecordEntry& entry : currentEntries) {
            seen.Add(entry);
        }
        while (!earlierEntries.empty()) {
            auto last = std::prev(earlierEntries.end());
            if (seen.Holds(*last)) {
                earlierEntries.erase(last);
            } else {
                seen.Add(*last);
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
