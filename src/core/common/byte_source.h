// Random-access input for the file readers: a file on disk or a buffer in memory (tests and
// fuzz targets). Readers ask for exactly the bytes they need, so a header can be checked
// against the real file size before anything is allocated for its contents.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace crackdepth {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills `out` from `offset`; false when the range is not wholly inside the source or the
    // underlying read fails.
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::span<const std::uint8_t> bytes_;
};

// A file read through a window of the file kept in memory: a reader that takes a few bytes
// here and there, moving forward, makes one system call per window, not one per read, and
// holds no more of the file than the window. A read larger than the window goes straight into
// the caller's buffer. The size is taken when the file is opened; a file that shrinks later
// fails the reads beyond its new end.
class FileSource final : public ByteSource {
public:
    static constexpr std::size_t kWindowSize = 64 * 1024;

    explicit FileSource(const std::filesystem::path& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool isOpen() const { return descriptor_ >= 0; }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    // The bytes read into `out` from `offset`: fewer when the file ends earlier or fails.
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

    int descriptor_ = -1;
    std::uint64_t size_ = 0;
    std::unique_ptr<std::uint8_t[]> window_;
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
};

} // namespace crackdepth
