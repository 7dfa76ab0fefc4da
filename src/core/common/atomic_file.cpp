#include "core/common/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

namespace crackdepth {
namespace {

std::filesystem::path temporarySibling(const std::filesystem::path& target, unsigned attempt) {
    static std::mt19937_64 generator{std::random_device{}()};
    const auto tag = generator() ^ attempt;
    auto name = target.filename().string() + ".tmp-" + std::to_string(tag % 1000000007ULL);
    return target.parent_path() / name;
}

// Opens a fresh temporary file beside the target; "x" makes the open fail rather than
// reuse a name that somebody else holds.
std::FILE* createTemporary(const std::filesystem::path& target, std::filesystem::path& chosen) {
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        chosen = temporarySibling(target, attempt);
        if (std::FILE* file = std::fopen(chosen.c_str(), "wbx")) {
            return file;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

} // namespace

WriteOutcome writeFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::uint8_t> bytes) {
    std::filesystem::path temporary;
    std::FILE* file = createTemporary(target, temporary);
    if (file == nullptr) {
        return {false, "cannot create a temporary file beside " + target.string() + ": " +
                           std::strerror(errno)};
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return {false, "cannot write " + target.string() + ": " + std::strerror(writeErrno)};
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, target, renameError);
    if (renameError) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return {false, "cannot replace " + target.string() + ": " + renameError.message()};
    }
    return {true, {}};
}

} // namespace crackdepth
