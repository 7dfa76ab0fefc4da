// Random-access input for the file readers: a file on disk or a buffer in memory (tests and
// fuzz targets). Readers ask for exactly the bytes they need, so a header can be checked
// against the real file size before anything is allocated for its contents.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
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

class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::filesystem::path& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0; // where the next sequential read starts, to skip needless seeks
};

// A file mapped into memory, for readers that take a few bytes here and there: no read
// copies more than it asks for. Not open when the file cannot be opened or mapped (an empty
// file maps as an empty source).
class MappedFileSource final : public ByteSource {
public:
    explicit MappedFileSource(const std::filesystem::path& path);
    ~MappedFileSource() override;
    MappedFileSource(const MappedFileSource&) = delete;
    MappedFileSource& operator=(const MappedFileSource&) = delete;

    bool isOpen() const { return open_; }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    const std::uint8_t* data_ = nullptr;
    std::uint64_t size_ = 0;
    bool open_ = false;
};

} // namespace crackdepth
