// Thousands of deterministic mutations of valid archives: every extraction ends
// with success or exactly one `failed`, and none allocates more than a few MiB.
#include "archive_builder.h"
#include "counted_allocation.h"
#include "notification_log.h"
#include "payload/extract.h"
#include "scratch_folder.h"
#include "support/memstream.h"

#include <gtest/gtest.h>

#include <map>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

using vt::test::ArchiveBuilder;

constexpr std::size_t allocation_limit = 8u << 20; // the decoder alone takes about 3.6 MiB

class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    std::size_t below(std::size_t n) { return n == 0 ? 0 : next() % n; }

private:
    std::uint32_t state_;
};

ArchiveBuilder sample_archive() {
    ArchiveBuilder archive;
    archive.add(L"Plankwise.exe", vt::test::pattern(3000, 1))
        .add(L"empty.dat", "")
        .add(L"PlankwiseDE.dll", vt::test::pattern(700, 2), L"<InstallPath>\\Lang")
        .add(L"readme.txt", std::string(2000, 'r'), L"<InstallPath>\\Docs\\")
        .add(L"setup.tmp", "tmp", L"<Temporary>")
        .add(L"last.dat", "");
    return archive;
}

struct Outcome {
    bool succeeded = false;
    std::size_t failures = 0;
    bool failed_last = true;
    std::size_t peak_growth = 0;
    std::string code = "ok"; // the failure's "category:value"
};

Outcome run(const std::string& compressed, const vt::test::ScratchFolder& folder) {
    vt::test::NotificationLog log;
    const std::size_t baseline = vt::test::ResetPeak();
    vt::imemstream source(compressed.data(), compressed.size());
    Outcome outcome;
    outcome.succeeded =
        vt::extract_payload(source, {folder.path(), L"", folder / L"temp"}, log.handler());
    outcome.peak_growth = vt::test::PeakBytes() - baseline;
    outcome.failures = log.count("failed");
    outcome.failed_last = log.failures.empty() || log.lines.back().starts_with("failed");
    if (!log.failures.empty()) {
        outcome.code = std::string(log.failure().code.category().name()) + ":" +
                       std::to_string(log.failure().code.value());
    }
    return outcome;
}

void expect_sound(const Outcome& o, const std::string& what) {
    ASSERT_EQ(o.failures, o.succeeded ? 0u : 1u) << what;
    ASSERT_TRUE(o.failed_last) << what;
    ASSERT_LT(o.peak_growth, allocation_limit) << what;
}

std::string le(std::uint64_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) {
        s.push_back(static_cast<char>(v >> (8 * i)));
    }
    return s;
}

// Mutated destinations may turn into relative paths: they land in the scratch folder.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::wstring& path) {
        ::GetCurrentDirectoryW(MAX_PATH, previous_);
        ::SetCurrentDirectoryW(path.c_str());
    }
    ~WorkingFolder() { ::SetCurrentDirectoryW(previous_); }

private:
    wchar_t previous_[MAX_PATH] = {};
};

TEST(MalformedArchive, MutatedHeadersAndDataNeverCrashOrOverAllocate) {
    vt::test::ScratchFolder folder;
    WorkingFolder inside(folder.path());
    const std::string original = sample_archive().decompressed();
    const std::size_t header = sample_archive().header().size();
    const std::uint64_t forged[] = {0,
                                    1,
                                    11,
                                    12,
                                    13,
                                    0xFF,
                                    0xFFFF,
                                    0x7FFFFFFF,
                                    0xFFFFFFFF,
                                    0x100000000ull,
                                    0xFFFFFFFFFFFFFFFFull,
                                    0x8000000000000000ull};
    Lcg random(20261209);
    std::map<std::string, int> outcomes; // "category:value" or "ok" -> rounds
    for (int round = 0; round < 1500; ++round) {
        std::string bytes = original;
        switch (round % 5) {
        case 0: // bit flips in the header
            for (int i = 0; i < 1 + round % 3; ++i) {
                bytes[random.below(header)] ^= static_cast<char>(1u << random.below(8));
            }
            break;
        case 1: // a forged 32-bit count or length at a field position of the header
        {
            const std::size_t at = 8 + 4 * random.below((header - 12) / 4);
            bytes.replace(at, 4, le(forged[random.below(std::size(forged))], 4));
            break;
        }
        case 2: // a forged header length or 64-bit size
        {
            const std::size_t at = round % 2 == 0 ? 0 : random.below(header - 8);
            bytes.replace(at, 8, le(forged[random.below(std::size(forged))], 8));
            break;
        }
        case 3: // truncated anywhere
            bytes.resize(random.below(bytes.size()));
            break;
        default: // bytes appended or a bit flipped in the data
            if (round % 2 == 0) {
                bytes += std::string(1 + random.below(50), 'x');
            } else {
                bytes[header + random.below(bytes.size() - header)] ^= 0x10;
            }
            break;
        }
        const Outcome outcome = run(vt::archive_writer::compress(bytes, 1), folder);
        expect_sound(outcome, "round " + std::to_string(round));
        if (HasFatalFailure()) {
            return;
        }
        ++outcomes[outcome.code];
    }
    // The mutations reach the parts they aim at: malformed headers and truncations
    // are refused (7), flipped data bits fail their CRC (3), mutated destinations
    // meet the file system's refusals, and harmless changes (bytes in padding, in
    // unused high bits) still extract. Nothing ends in another way.
    EXPECT_GT(outcomes["compress:7"], 500);
    EXPECT_GT(outcomes["compress:3"], 100);
    EXPECT_GT(outcomes["ok"], 100);
    for (const auto& [code, rounds] : outcomes) {
        EXPECT_TRUE(code == "ok" || code.starts_with("compress:") || code.starts_with("system:"))
            << code << " in " << rounds << " rounds";
    }
}

TEST(MalformedArchive, MutatedCompressedStreamsNeverCrashOrOverAllocate) {
    vt::test::ScratchFolder folder;
    WorkingFolder inside(folder.path());
    const std::string original = sample_archive().compressed();
    Lcg random(7);
    for (int round = 0; round < 1500; ++round) {
        std::string bytes = original;
        if (round % 3 == 0) {
            bytes.resize(random.below(bytes.size()));
        } else {
            for (int i = 0; i < 1 + round % 4; ++i) {
                bytes[random.below(bytes.size())] ^= static_cast<char>(1u << random.below(8));
            }
        }
        expect_sound(run(bytes, folder), "round " + std::to_string(round));
    }
}

TEST(MalformedArchive, TheUnmutatedArchiveSucceeds) {
    vt::test::ScratchFolder folder;
    const Outcome o = run(sample_archive().compressed(), folder);
    EXPECT_TRUE(o.succeeded);
    EXPECT_LT(o.peak_growth, allocation_limit);
}

} // namespace
