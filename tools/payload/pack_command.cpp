// payload pack MANIFEST OUT [--level 1-9]
#include "archive_writer.h"
#include "commands.h"
#include "console.h"
#include "manifest.h"
#include "payload/crc32.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vt::tool {
namespace {

constexpr std::size_t block_size = 64 * 1024;

archive_writer::Record describe(const ManifestEntry& entry) {
    std::ifstream in(std::filesystem::path(entry.file), std::ios_base::binary);
    if (!in) {
        throw std::runtime_error("line " + std::to_string(entry.line) + ": cannot read " +
                                 to_utf8(entry.file));
    }
    archive_writer::Record record{entry.file, entry.destination, entry.kind, 0, 0};
    Crc32 crc;
    std::array<char, block_size> block;
    while (in.read(block.data(), block.size()) || in.gcount() > 0) {
        crc.update(block.data(), static_cast<std::size_t>(in.gcount()));
        record.size += static_cast<std::uint64_t>(in.gcount());
    }
    record.crc32 = crc.value();
    return record;
}

// The file's bytes into the archive, checked against what its table entry says:
// a file that changed since it was described fails the packing instead of
// arriving with a stale size or CRC.
void copy_file_into(const archive_writer::Record& record, std::ostream& out) {
    std::ifstream in(std::filesystem::path(record.source_path), std::ios_base::binary);
    std::array<char, block_size> block;
    std::uint64_t copied = 0;
    Crc32 crc;
    while (in.read(block.data(), block.size()) || in.gcount() > 0) {
        out.write(block.data(), in.gcount());
        crc.update(block.data(), static_cast<std::size_t>(in.gcount()));
        copied += static_cast<std::uint64_t>(in.gcount());
    }
    if (copied != record.size || crc.value() != record.crc32) {
        throw std::runtime_error(to_utf8(record.source_path) + " changed while it was packed");
    }
}

} // namespace

int pack_command(const Arguments& args) {
    int level = 9;
    Arguments paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--level" && i + 1 < args.size()) {
            const std::wstring& value = args[++i];
            if (value.size() != 1 || value[0] < L'1' || value[0] > L'9') {
                print_error(L"payload pack: --level takes a number from 1 to 9");
                return exit_usage;
            }
            level = value[0] - L'0';
        } else {
            paths.push_back(args[i]);
        }
    }
    if (paths.size() != 2) {
        print_error(L"usage: payload pack MANIFEST OUT [--level 1-9]");
        return exit_usage;
    }
    const std::filesystem::path out_path(paths[1]);
    std::vector<archive_writer::Record> records;
    try {
        for (const auto& entry : read_manifest(paths[0])) {
            records.push_back(describe(entry));
        }
    } catch (const std::exception& e) {
        print_error(L"payload pack: " + from_utf8(e.what()));
        return exit_usage;
    }
    try {
        std::ofstream out(out_path, std::ios_base::binary | std::ios_base::trunc);
        if (!out) {
            throw std::runtime_error("cannot create " + to_utf8(paths[1]));
        }
        out.exceptions(std::ios_base::badbit | std::ios_base::failbit);
        archive_writer::compress_to(out, level, [&](std::ostream& archive) {
            archive << archive_writer::encode_header(records);
            for (const auto& record : records) {
                copy_file_into(record, archive);
            }
        });
        out.close();
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(out_path, ignored);
        print_error(L"payload pack: " + from_utf8(e.what()));
        return exit_failed;
    }
    return exit_ok;
}

} // namespace vt::tool
