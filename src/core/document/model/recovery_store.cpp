#include "core/document/model/recovery_store.h"

#include "core/common/byte_source.h"
#include "core/common/utf.h"
#include "core/data/memory_budget.h"
#include "core/document/model/document.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace crackdepth {
namespace {

// Enough for the heading of any copy: the magic, the version, the time and a path.
constexpr std::size_t kHeadingBytes = 8 * 1024;

// The whole file; false when it cannot be read or is larger than the program may hold.
bool readWhole(const std::filesystem::path& file, std::vector<std::uint8_t>& bytes,
               std::string& reason) {
    FileSource source(file);
    if (!source.isOpen()) {
        reason = "无法读取此文件";
        return false;
    }
    if (source.size() > memoryBudget()) {
        reason = "文件过大";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(source.size()));
    if (!source.read(0, bytes)) {
        reason = "无法读取此文件";
        return false;
    }
    return true;
}

} // namespace

std::string recoveryFileName(std::int64_t processId, std::int64_t startMillis) {
    return std::string(kRecoveryPrefix) + std::to_string(processId) + "-" +
           std::to_string(startMillis) + kRecoverySuffix;
}

bool isRecoveryFileName(const std::string& name) {
    return name.starts_with(kRecoveryPrefix) && endsWith(name, kRecoverySuffix);
}

std::vector<RecoveryCandidate> FindRecoveryCopies(const std::filesystem::path& folder,
                                                  const std::filesystem::path& own) {
    std::vector<RecoveryCandidate> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::error_code typeError;
        const std::string name = entry.path().filename().string();
        if (!isRecoveryFileName(name) || !entry.is_regular_file(typeError) ||
            (!own.empty() && entry.path() == own)) {
            continue;
        }
        RecoveryCandidate candidate{entry.path(), {}, 0};
        FileSource source(entry.path());
        std::vector<std::uint8_t> head(
            static_cast<std::size_t>(std::min<std::uint64_t>(source.size(), kHeadingBytes)));
        if (source.isOpen() && source.read(0, head)) {
            if (const auto heading = ReadRecoveryHeading(head)) {
                candidate.documentPath = heading->documentPath;
                candidate.savedAt = heading->savedAt;
            }
        }
        found.push_back(std::move(candidate));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.savedAt != b.savedAt ? a.savedAt > b.savedAt : a.file < b.file;
    });
    return found;
}

std::filesystem::path lockFileOf(const std::filesystem::path& copy) {
    std::filesystem::path lock = copy;
    lock += ".lock";
    return lock;
}

std::vector<ClaimedCopy> ClaimLeftoverCopies(const std::filesystem::path& folder,
                                             const std::filesystem::path& own) {
    std::vector<ClaimedCopy> claimed;
    for (RecoveryCandidate& candidate : FindRecoveryCopies(folder, own)) {
        std::optional<FileLock> lock = FileLock::take(lockFileOf(candidate.file));
        std::error_code error;
        if (!lock) {
            continue; // its program runs, or another one is offering it
        }
        if (!std::filesystem::exists(candidate.file, error)) {
            lock->removeAndRelease(); // restored or discarded by another program meanwhile
            continue;
        }
        claimed.push_back({std::move(candidate), std::move(*lock)});
    }
    // The locks of programs that ended without a copy (nothing was ever unsaved).
    std::error_code error;
    const std::string lockSuffix = std::string(kRecoverySuffix) + ".lock";
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kRecoveryPrefix) || !endsWith(name, lockSuffix)) {
            continue;
        }
        const std::filesystem::path copy =
            entry.path().parent_path() / name.substr(0, name.size() - 5);
        std::error_code ignored;
        if (copy == own || std::filesystem::exists(copy, ignored)) {
            continue;
        }
        if (std::optional<FileLock> lock = FileLock::take(entry.path())) {
            lock->removeAndRelease();
        }
    }
    return claimed;
}

void DiscardCopy(ClaimedCopy& claim) {
    std::error_code ignored;
    std::filesystem::remove(claim.candidate.file, ignored);
    claim.lock.removeAndRelease();
}

RecoveryStore::RecoveryStore(std::filesystem::path file) : file_(std::move(file)) {
    std::error_code ignored;
    std::filesystem::create_directories(file_.parent_path(), ignored);
    lock_ = FileLock::take(lockFileOf(file_));
}

WriteOutcome RecoveryStore::write(const Document& document, std::int64_t savedAt) const {
    std::error_code ignored;
    std::filesystem::create_directories(file_.parent_path(), ignored);
    const std::vector<std::uint8_t> bytes =
        WriteRecoveryCopy(document.data(), document.path(), savedAt);
    return writeFileAtomically(file_, bytes);
}

bool RecoveryStore::remove() const {
    std::error_code error;
    std::filesystem::remove(file_, error);
    return !error;
}

void RecoveryStore::close() {
    remove();
    if (lock_) {
        lock_->removeAndRelease();
        lock_.reset();
    }
}

bool RecoveryStore::restore(Document& document, ClaimedCopy claim) {
    // The claimed name first: the restored document is written back to it at once.
    std::filesystem::path previous = std::exchange(file_, claim.candidate.file);
    std::optional<FileLock> previousLock = std::exchange(lock_, std::move(claim.lock));
    if (!RestoreRecoveryCopy(document, file_)) {
        std::filesystem::path aside = file_;
        aside += ".damaged";
        std::error_code ignored;
        std::filesystem::rename(file_, aside, ignored);
        lock_->removeAndRelease();
        file_ = std::move(previous);
        lock_ = std::move(previousLock);
        return false;
    }
    std::error_code ignored;
    std::filesystem::remove(previous, ignored);
    if (previousLock) {
        previousLock->removeAndRelease();
    }
    return true;
}

bool RestoreRecoveryCopy(Document& document, const std::filesystem::path& file) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    std::optional<RecoveryContents> contents;
    if (readWhole(file, bytes, reason)) {
        contents = ReadRecoveryCopy(bytes, reason);
    }
    if (!contents) {
        document.prompts().message(std::string(kRecoveryDamagedMessage) + "\n" + file.string() +
                                       "\n" + reason,
                                   MessageIcon::Error);
        return false;
    }
    document.Restore(std::move(contents->data), contents->documentPath);
    return true;
}

} // namespace crackdepth
