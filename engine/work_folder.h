// The temporary work folder of one installation run and the temporary files the
// run places in it (the DirectX setup and its packages).
#pragma once

#include <string>
#include <vector>

namespace vt {

// Computes the run's work folder: the system's temporary folder joined with
// "vantorel_{" + a new random UUID + "}". The folder is not created. False when
// the temporary folder is unavailable or longer than 246 characters; `error_text`
// then reads "%08x (GetTempPath)" with the system's error code.
bool ComputeWorkFolder(std::wstring& work_folder, std::wstring& error_text);

// The temporary files placed during a run, removed with their folder at its end.
class TemporaryFileList {
public:
    explicit TemporaryFileList(std::wstring folder) : folder_(std::move(folder)) {}

    void Add(const std::wstring& path) { files_.push_back(path); }
    [[nodiscard]] const std::vector<std::wstring>& Files() const noexcept { return files_; }
    [[nodiscard]] const std::wstring& Folder() const noexcept { return folder_; }

    // Removes every listed file, then the folder if it is empty; errors are
    // ignored (a file still in use stays, and its folder with it).
    void RemoveAll() noexcept;

private:
    std::wstring folder_;
    std::vector<std::wstring> files_;
};

// The list of the run in progress, or null between runs.
[[nodiscard]] TemporaryFileList* PublishedTemporaryFiles() noexcept;

// Publishes a list for the lifetime of this object.
class TemporaryFilesPublication {
public:
    explicit TemporaryFilesPublication(TemporaryFileList& list) noexcept;
    ~TemporaryFilesPublication();
    TemporaryFilesPublication(const TemporaryFilesPublication&) = delete;
    TemporaryFilesPublication& operator=(const TemporaryFilesPublication&) = delete;
};

} // namespace vt
