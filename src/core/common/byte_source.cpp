#include "core/common/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
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
    const int descriptor =
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); // a FIFO must not block
    if (descriptor < 0) {
        return;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return;
    }
    descriptor_ = descriptor;
    size_ = static_cast<std::uint64_t>(status.st_size);
}

FileSource::~FileSource() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

std::size_t FileSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        if (offset + done > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
            break;
        }
        const ssize_t got = ::pread(descriptor_, out.data() + done, out.size() - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break; // a read error, or the file now ends earlier
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool FileSource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (descriptor_ < 0 || offset > size_ || out.size() > size_ - offset) {
        return false;
    }
    if (out.size() >= kWindowSize) {
        return readAt(offset, out) == out.size();
    }
    const auto inWindow = [&] {
        return offset >= windowStart_ && offset - windowStart_ <= windowLength_ &&
               out.size() <= windowLength_ - (offset - windowStart_);
    };
    if (!inWindow()) {
        if (!window_) {
            // No larger than the file, and not cleared: readAt fills what the reads use.
            window_ = std::make_unique_for_overwrite<std::uint8_t[]>(
                static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, size_)));
        }
        windowStart_ = offset;
        windowLength_ =
            readAt(offset, {window_.get(), static_cast<std::size_t>(std::min<std::uint64_t>(
                                               kWindowSize, size_ - offset))});
        if (!inWindow()) {
            return false;
        }
    }
    if (!out.empty()) {
        std::memcpy(out.data(), window_.get() + (offset - windowStart_), out.size());
    }
    return true;
}

} // namespace crackdepth
