#include "core/common/byte_source.h"

#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace crackdepth {

bool MemorySource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) {
        return false;
    }
    if (!out.empty()) {
        std::memcpy(out.data(), bytes_.data() + offset, out.size());
    }
    return true;
}

FileSource::FileSource(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        return;
    }
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        std::fclose(file_);
        file_ = nullptr;
        return;
    }
    const long end = std::ftell(file_);
    if (end < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
        std::fclose(file_);
        file_ = nullptr;
        return;
    }
    size_ = static_cast<std::uint64_t>(end);
}

FileSource::~FileSource() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool FileSource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (file_ == nullptr || offset > size_ || out.size() > size_ - offset) {
        return false;
    }
    if (offset != position_) {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max()) ||
            std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
            return false;
        }
        position_ = offset;
    }
    const std::size_t got = std::fread(out.data(), 1, out.size(), file_);
    position_ += got;
    return got == out.size();
}

} // namespace crackdepth

namespace crackdepth {

MappedFileSource::MappedFileSource(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        size_ = static_cast<std::uint64_t>(status.st_size);
        if (size_ == 0) {
            open_ = true;
        } else if (size_ <= std::numeric_limits<std::size_t>::max()) {
            void* mapped =
                ::mmap(nullptr, static_cast<std::size_t>(size_), PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) {
                data_ = static_cast<const std::uint8_t*>(mapped);
                open_ = true;
            }
        }
    }
    ::close(fd);
}

MappedFileSource::~MappedFileSource() {
    if (data_ != nullptr) {
        ::munmap(const_cast<std::uint8_t*>(data_), static_cast<std::size_t>(size_));
    }
}

bool MappedFileSource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset) {
        return false;
    }
    if (!out.empty()) {
        std::memcpy(out.data(), data_ + offset, out.size());
    }
    return true;
}

} // namespace crackdepth
