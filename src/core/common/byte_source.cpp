#include "core/common/byte_source.h"

#include <cstring>
#include <limits>

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
