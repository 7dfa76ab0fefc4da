// The file reader's window: whatever order and size the reads come in, each gets the file's
// bytes, and a file that changes under it fails the read instead of the program.
#include "core/common/byte_source.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <sys/stat.h>
#include <vector>

namespace crackdepth {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

fs::path writeFile(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    const fs::path path = fs::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(FileSource, EveryReadGetsTheFilesBytes) {
    constexpr std::size_t kWindow = FileSource::kWindowSize;
    const std::vector<std::uint8_t> bytes = pattern(3 * kWindow + 123);
    const fs::path path = writeFile(bytes, "crackdepth_file_source.bin");
    FileSource source(path);
    ASSERT_TRUE(source.isOpen());
    ASSERT_EQ(source.size(), bytes.size());
    const struct {
        std::uint64_t offset;
        std::size_t size;
    } reads[] = {
        {0, 80},                    // the start
        {kWindow - 10, 20},         // across the window's end
        {100, 2},                   // back into a window left behind
        {5, kWindow + 7},           // larger than the window
        {2 * kWindow, 0},           // nothing
        {bytes.size() - 3, 3},      // the last bytes
        {kWindow + 1, kWindow - 1}, // a whole window but one byte
    };
    for (const auto& read : reads) {
        std::vector<std::uint8_t> out(read.size, 0xEE);
        ASSERT_TRUE(source.read(read.offset, out)) << read.offset;
        EXPECT_TRUE(
            std::equal(out.begin(), out.end(), bytes.begin() + static_cast<long>(read.offset)))
            << read.offset << " + " << read.size;
    }
    std::vector<std::uint8_t> beyond(4);
    EXPECT_FALSE(source.read(bytes.size() - 3, beyond));
    EXPECT_FALSE(source.read(bytes.size() + 1, std::span<std::uint8_t>()));
    fs::remove(path);
}

TEST(FileSource, AFileCutShortAfterOpeningFailsTheRead) {
    const std::vector<std::uint8_t> bytes = pattern(4 * FileSource::kWindowSize);
    const fs::path path = writeFile(bytes, "crackdepth_file_source_cut.bin");
    FileSource source(path);
    ASSERT_TRUE(source.isOpen());
    fs::resize_file(path, 1000);
    std::vector<std::uint8_t> out(80);
    EXPECT_TRUE(source.read(0, out));
    EXPECT_FALSE(source.read(2 * FileSource::kWindowSize, out));
    std::vector<std::uint8_t> large(2 * FileSource::kWindowSize);
    EXPECT_FALSE(source.read(500, large));
    fs::remove(path);
}

TEST(FileSource, OnlyRegularFilesOpen) {
    EXPECT_FALSE(FileSource(fs::temp_directory_path()).isOpen());
    EXPECT_FALSE(FileSource(fs::temp_directory_path() / "crackdepth_no_such_file").isOpen());
    // A pipe without a writer is refused at once instead of waiting for one.
    const fs::path pipe = fs::temp_directory_path() / "crackdepth_file_source.fifo";
    fs::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(FileSource(pipe).isOpen());
    fs::remove(pipe);
}

} // namespace
} // namespace crackdepth
