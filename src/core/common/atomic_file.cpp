#include "core/common/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace crackdepth {
namespace {

constexpr const char* kTemporaryMarker = ".tmp-";

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    // Closes now and tells whether the close reported a failure (a late write error on some
    // file systems).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

struct Failure {
    std::string step;
    int error = 0;
};

WriteOutcome failed(const std::filesystem::path& target, const Failure& failure) {
    return {false, failure.step + " " + target.string() + ": " + std::strerror(failure.error)};
}

std::string temporaryName(const std::string& targetName) {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name = targetName + kTemporaryMarker;
    std::uint64_t tag = generator();
    for (int k = 0; k < 12; ++k, tag >>= 4) {
        name.push_back(kDigits[tag & 0xF]);
    }
    return name;
}

// The folder that holds the target, "." for a bare file name.
std::filesystem::path folderOf(const std::filesystem::path& target) {
    const auto parent = target.parent_path();
    return parent.empty() ? std::filesystem::path(".") : parent;
}

// A temporary file of another target is removed only once it is this old: a save in progress
// (another instance of the program writing another file of the folder) keeps writing to its
// file, so its time keeps moving, and a few minutes cover the last steps after the write.
constexpr auto kStaleAge = std::chrono::minutes(10);

// The suffix our saves give a temporary name after the marker: 12 lower-case hexadecimal
// digits, or up to 10 decimal digits from earlier versions of the program.
bool isTemporarySuffix(std::string_view suffix) {
    const auto all = [&](auto accepted) {
        return std::all_of(suffix.begin(), suffix.end(), accepted);
    };
    const bool hex = suffix.size() == 12 &&
                     all([](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
    const bool decimal =
        !suffix.empty() && suffix.size() <= 10 && all([](char c) { return c >= '0' && c <= '9'; });
    return hex || decimal;
}

// Whether `name` is a temporary name of ours at all, of whatever target.
bool isOurTemporaryName(const std::string& name) {
    const std::size_t marker = name.rfind(kTemporaryMarker);
    return marker != std::string::npos && marker > 0 &&
           isTemporarySuffix(std::string_view(name).substr(marker + std::strlen(kTemporaryMarker)));
}

// A plain file (not a link, not a folder) of this user, untouched for kStaleAge.
bool isStaleFileOfOurs(int folder, const std::string& name) {
    struct stat status {};
    if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
        return false;
    }
    const auto modified = std::chrono::system_clock::from_time_t(status.st_mtim.tv_sec);
    return std::chrono::system_clock::now() - modified >= kStaleAge;
}

// Removes what earlier saves left when they were killed between naming their temporary file
// and renaming it (or, on the named path, at any point of the write): those of the target at
// once (this save replaces it anyway), those of any other target of the folder once stale.
// Nothing but our own temporary names is ever touched.
void removeStaleTemporaries(int folder, const std::filesystem::path& folderPath,
                            const std::string& targetName) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folderPath, error);
    if (error) {
        return;
    }
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (!isOurTemporaryName(name)) {
            continue;
        }
        const bool ownTarget = isTemporaryNameOf(name, targetName);
        struct stat status {};
        const bool plainFile = ::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                               S_ISREG(status.st_mode);
        if ((ownTarget && plainFile) || isStaleFileOfOurs(folder, name)) {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes, Failure& failure) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            failure = {"cannot write", errno};
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// A file that replaces another keeps the permissions of the one it replaces.
void keepPermissionsOf(int folder, const std::string& targetName, int fd) {
    struct stat existing {};
    if (::fstatat(folder, targetName.c_str(), &existing, 0) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
    }
}

// Writes, flushes to the disk and checks the close.
bool fillAndSync(Descriptor& file, std::span<const std::uint8_t> bytes, Failure& failure) {
    if (!writeAll(file.get(), bytes, failure)) {
        return false;
    }
    if (::fsync(file.get()) != 0) {
        failure = {"cannot write", errno};
        return false;
    }
    return true;
}

// Renames the named temporary file over the target with the folder made durable before and
// after, so that after a power loss the folder names either the old or the new file.
bool renameDurably(int folder, const std::string& temporary, const std::string& targetName,
                   Failure& failure) {
    if (::fsync(folder) != 0) {
        failure = {"cannot write", errno};
        return false;
    }
    if (::renameat(folder, temporary.c_str(), folder, targetName.c_str()) != 0) {
        failure = {"cannot replace", errno};
        return false;
    }
    if (::fsync(folder) != 0) {
        // The new file is in place; only its durability is in doubt. Report it: the user
        // should not take the save as safe.
        failure = {"cannot make durable", errno};
        return false;
    }
    return true;
}

// Gives the unnamed file `fd` a fresh name in `folder`.
bool linkUnnamed(int fd, int folder, const std::string& targetName, std::string& chosen,
                 Failure& failure) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        chosen = temporaryName(targetName);
        if (::linkat(AT_FDCWD, self.c_str(), folder, chosen.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno == ENOENT &&
            ::linkat(fd, "", folder, chosen.c_str(), AT_EMPTY_PATH) == 0) { // no /proc
            return true;
        }
        if (errno != EEXIST) {
            failure = {"cannot create a temporary file beside", errno};
            return false;
        }
    }
    failure = {"cannot create a temporary file beside", EEXIST};
    return false;
}

enum class Unnamed { Written, Failed, Unsupported };

Unnamed writeThroughUnnamedTemporary(int folder, const std::string& targetName,
                                     std::span<const std::uint8_t> bytes, Failure& failure) {
    Descriptor file(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (!file.valid()) {
        // File systems without unnamed files answer with one of these.
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
            return Unnamed::Unsupported;
        }
        failure = {"cannot create a temporary file beside", errno};
        return Unnamed::Failed;
    }
    keepPermissionsOf(folder, targetName, file.get());
    // Until it is linked the file has no name: a save killed before then leaves nothing.
    if (!fillAndSync(file, bytes, failure)) {
        return Unnamed::Failed;
    }
    std::string temporary;
    if (!linkUnnamed(file.get(), folder, targetName, temporary, failure)) {
        return Unnamed::Failed;
    }
    const bool closed = file.close();
    if (!closed) {
        failure = {"cannot write", errno};
    }
    if (!closed || !renameDurably(folder, temporary, targetName, failure)) {
        ::unlinkat(folder, temporary.c_str(), 0);
        return Unnamed::Failed;
    }
    return Unnamed::Written;
}

bool writeNamed(int folder, const std::string& targetName, std::span<const std::uint8_t> bytes,
                Failure& failure) {
    std::string temporary;
    Descriptor file;
    for (int attempt = 0; attempt < 16 && !file.valid(); ++attempt) {
        temporary = temporaryName(targetName);
        file.reset(
            ::openat(folder, temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666));
        if (!file.valid() && errno != EEXIST) {
            failure = {"cannot create a temporary file beside", errno};
            return false;
        }
    }
    if (!file.valid()) {
        failure = {"cannot create a temporary file beside", EEXIST};
        return false;
    }
    keepPermissionsOf(folder, targetName, file.get());
    bool ok = fillAndSync(file, bytes, failure);
    if (ok && !file.close()) {
        failure = {"cannot write", errno};
        ok = false;
    }
    if (!ok || !renameDurably(folder, temporary, targetName, failure)) {
        ::unlinkat(folder, temporary.c_str(), 0);
        return false;
    }
    return true;
}

// Both ways of saving: the unnamed temporary file where the file system offers one (or
// `unnamedAllowed` says so), else a named one.
WriteOutcome save(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                  bool unnamedAllowed) {
    Failure failure;
    const Descriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        return failed(target, {"cannot open the folder of", errno});
    }
    const std::string targetName = target.filename().string();
    removeStaleTemporaries(folder.get(), folderOf(target), targetName);
    if (unnamedAllowed) {
        switch (writeThroughUnnamedTemporary(folder.get(), targetName, bytes, failure)) {
        case Unnamed::Written:
            return {true, {}};
        case Unnamed::Failed:
            return failed(target, failure);
        case Unnamed::Unsupported:
            break;
        }
    }
    return writeNamed(folder.get(), targetName, bytes, failure) ? WriteOutcome{true, {}}
                                                                : failed(target, failure);
}

} // namespace

bool isTemporaryNameOf(const std::string& name, const std::string& targetName) {
    const std::string prefix = targetName + kTemporaryMarker;
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           isTemporarySuffix(std::string_view(name).substr(prefix.size()));
}

std::string systemReasonOf(const WriteOutcome& outcome) {
    const std::size_t at = outcome.error.rfind(": ");
    return outcome.ok || at == std::string::npos ? std::string{} : outcome.error.substr(at + 2);
}

WriteOutcome writeFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::uint8_t> bytes) {
    return save(target, bytes, true);
}

namespace detail {

WriteOutcome writeThroughNamedTemporary(const std::filesystem::path& target,
                                        std::span<const std::uint8_t> bytes) {
    return save(target, bytes, false);
}

} // namespace detail
} // namespace crackdepth
