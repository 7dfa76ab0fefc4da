#include "core/common/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace crackdepth {

std::optional<FileLock> FileLock::take(const std::filesystem::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return std::nullopt;
    }
    // A lock belongs to this open file, not to the process: a second take in the same
    // program is refused like one from another program.
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return std::nullopt;
    }
    return FileLock(file, descriptor);
}

FileLock::FileLock(FileLock&& other) noexcept
    : file_(std::move(other.file_)), descriptor_(other.descriptor_) {
    other.descriptor_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        file_ = std::move(other.file_);
        descriptor_ = other.descriptor_;
        other.descriptor_ = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

void FileLock::removeAndRelease() {
    if (descriptor_ >= 0) {
        std::error_code ignored;
        std::filesystem::remove(file_, ignored);
    }
    release();
}

void FileLock::release() {
    if (descriptor_ >= 0) {
        ::close(descriptor_); // closing the only descriptor releases the lock
        descriptor_ = -1;
    }
}

} // namespace crackdepth
