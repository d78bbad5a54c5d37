// Reading an earlier record file back: tolerant, it stops at the first line that
// does not fit and keeps what it has taken.
#include "record/install_record.h"

#include "support/text_conversion.h"
#include "support/unique_handle.h"

#include <boost/algorithm/string/trim.hpp>

#include <shlwapi.h>

#include <array>
#include <locale>
#include <optional>
#include <sstream>

namespace vt {
namespace {

// Bytes of the file one at a time, read in blocks.
class ByteReader {
public:
    explicit ByteReader(HANDLE file) : file_(file) {}
    // The next byte, or none at the end of the file or after a failed read.
    std::optional<unsigned char> next() {
        if (at_ == size_) {
            DWORD got = 0;
            if (failed_ || !::ReadFile(file_, block_.data(), block_.size(), &got, nullptr)) {
                failed_ = true;
                return std::nullopt;
            }
            at_ = 0;
            size_ = got;
            if (got == 0) {
                return std::nullopt;
            }
        }
        return block_[at_++];
    }
    [[nodiscard]] bool failed() const noexcept { return failed_; }

    // At the start: whether the file begins with the byte-order mark FF FE, which
    // is then stepped over; otherwise nothing is consumed.
    bool TakeByteOrderMark() {
        const auto b0 = next();
        const auto b1 = b0 ? next() : std::nullopt;
        if (b0 && b1 && *b0 == 0xFF && *b1 == 0xFE) {
            return true;
        }
        at_ = 0; // both bytes lie in the first block: read them again
        return false;
    }

private:
    HANDLE file_;
    std::array<unsigned char, 4096> block_{};
    DWORD at_ = 0;
    DWORD size_ = 0;
    bool failed_ = false;
};

enum class LineResult { line, last_line, stop };

// One raw line into `text`, of any length.
LineResult read_line(ByteReader& reader, bool utf16, std::wstring& text) {
    std::string bytes;
    for (;;) {
        const auto byte = reader.next();
        if (!byte) {
            if (reader.failed()) {
                return LineResult::stop;
            }
            break;
        }
        bytes.push_back(static_cast<char>(*byte));
        if (*byte == 0x0A && (!utf16 || bytes.size() % 2 == 1)) {
            if (utf16) {
                const auto high = reader.next();
                if (!high) {
                    return LineResult::stop;
                }
                bytes.push_back(static_cast<char>(*high));
                if (*high == 0x00) {
                    break;
                }
                continue;
            }
            break;
        }
    }
    const bool ended = !bytes.empty() && bytes.back() == (utf16 ? '\0' : '\n') &&
                       (!utf16 || (bytes.size() >= 2 && bytes[bytes.size() - 2] == '\n'));
    if (utf16) {
        text.assign(bytes.size() / 2, L'\0');
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            text[i / 2] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                               static_cast<unsigned char>(bytes[i + 1]) << 8);
        }
    } else {
        text = NarrowToWide(std::string_view(bytes.c_str()));
    }
    return ended ? LineResult::line : LineResult::last_line;
}

std::wstring trimmed(std::wstring text) {
    boost::algorithm::trim(text, std::locale::classic());
    return text;
}

// The text after `key`, or none when the line lacks it.
std::optional<std::wstring> after_key(const std::wstring& text, const std::wstring& key) {
    const auto at = text.find(key);
    if (at == std::wstring::npos) {
        return std::nullopt;
    }
    std::wstring rest = text;
    rest.erase(at, key.size());
    return rest;
}

std::optional<RecordEntry> parse_entry(const std::wstring& text) {
    // The classic locale: the numbers are never grouped.
    std::wistringstream in(text);
    in.imbue(std::locale::classic());
    long number = -1;
    wchar_t colon = 0;
    long code = 0;
    wchar_t flag = 0;
    std::wstring word;
    if (!(in >> std::dec >> number) || number < 0 || !(in >> colon) || colon != L':' ||
        !(in >> std::hex >> code) || !(in >> colon) || colon != L':' || !(in >> flag) ||
        (flag != L'0' && flag != L'1') || !(in >> word) || word != L"--") {
        return std::nullopt;
    }
    const long kind = code >> 8;
    if (kind < 0 || kind > 7) {
        return std::nullopt;
    }
    RecordEntry entry;
    entry.kind = static_cast<RecordEntryKind>(kind);
    entry.tag = (code & 0xFF) == 0xFF ? -1 : static_cast<std::int32_t>(code & 0xFF);
    entry.succeeded = flag == L'1';
    std::wstring rest;
    std::getline(in, rest);
    boost::algorithm::trim_left(rest, std::locale::classic());
    if (entry.kind != RecordEntryKind::UninstallKey &&
        entry.kind != RecordEntryKind::RegistrationRun) {
        entry.path = std::move(rest);
    }
    return entry;
}

} // namespace

void InstallRecord::Load(const wchar_t* recordFile) noexcept {
    previousInstallFolder.clear();
    previousShortcutFolder.clear();
    if (recordFile == nullptr) {
        return;
    }
    unique_file file(::CreateFileW(recordFile, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return;
    }
    try {
        ByteReader reader(file.get());
        // The byte-order mark decides the encoding of the whole file.
        const bool utf16 = reader.TakeByteOrderMark();
        int number = 0;
        int version = 0;
        for (;;) {
            std::wstring text;
            const LineResult state = read_line(reader, utf16, text);
            if (state == LineResult::stop) {
                return;
            }
            if (!text.empty() && text.front() != L'\0') {
                text = trimmed(std::move(text));
                if (text.starts_with(L"//")) {
                    text.erase(0, text.find_first_not_of(L'/'));
                    text = trimmed(std::move(text));
                    if (number == 0) {
                        const auto rest = after_key(text, L"Uninstall Log File v");
                        version =
                            rest ? static_cast<int>(std::wcstol(rest->c_str(), nullptr, 10)) : 0;
                        if (version != 1) {
                            return;
                        }
                    } else if (number == 2) {
                        auto rest = after_key(text, L"Install");
                        if (!rest) {
                            return;
                        }
                        const auto dashes = rest->find(L"--");
                        if (dashes != std::wstring::npos) {
                            rest->erase(dashes);
                        }
                        previousLabel = trimmed(*rest);
                    } else if (number == 3 || number == 4) {
                        // The keys without their trailing blank: an empty folder
                        // ends the line there once trailing blanks are gone.
                        const auto rest =
                            after_key(text, number == 3 ? L"Install Path :" : L"Shortcut Path :");
                        if (!rest) {
                            return;
                        }
                        const std::wstring folder = trimmed(*rest);
                        if (::PathIsDirectoryW(folder.c_str())) {
                            (number == 3 ? previousInstallFolder : previousShortcutFolder) = folder;
                        }
                    }
                } else {
                    if (version != 1) {
                        return;
                    }
                    auto entry = parse_entry(text);
                    if (!entry) {
                        return;
                    }
                    earlierEntries.push_back(std::move(*entry));
                }
                ++number;
            }
            if (state == LineResult::last_line) {
                return;
            }
        }
    } catch (...) {
        // Out of memory: keep what was read.
    }
}

} // namespace vt
