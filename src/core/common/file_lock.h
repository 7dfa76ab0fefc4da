// An advisory lock on a file that the system releases when its holder ends in any way (a
// crash or a kill included): how one running program tells another that a file is in use,
// without process numbers that the system may hand out again.
#pragma once

#include <filesystem>
#include <optional>

namespace crackdepth {

class FileLock {
public:
    // Creates the lock file when needed and takes its lock; none when another holder has it
    // or the file cannot be created.
    static std::optional<FileLock> take(const std::filesystem::path& file);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Releases the lock; the file stays.
    ~FileLock();

    // Removes the lock file, then releases the lock (a holder that is done with it for good).
    void removeAndRelease();
    const std::filesystem::path& file() const { return file_; }

private:
    FileLock(std::filesystem::path file, int descriptor)
        : file_(std::move(file)), descriptor_(descriptor) {}
    void release();

    std::filesystem::path file_;
    int descriptor_ = -1;
};

} // namespace crackdepth
