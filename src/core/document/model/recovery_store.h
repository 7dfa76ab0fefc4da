// Where the recovery copies live and how they are found again: one file per running program,
// in the settings folder, named by the program's process and start so that programs running
// side by side never write each other's copy. A copy left behind by a program that ended
// without cleaning up is found at the next start and offered; a lock beside each copy tells
// the copies of running programs from those of programs that have ended.
#pragma once

#include "core/common/atomic_file.h"
#include "core/common/file_lock.h"
#include "core/document/model/recovery_file.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

class Document;

inline constexpr const char* kRecoveryPrefix = "crackdepth-";
inline constexpr const char* kRecoverySuffix = ".recovery";
inline constexpr const char* kRecoveryQuestion = "发现未保存的修改…";
inline constexpr const char* kRecoveryDamagedMessage = "无法恢复未保存的修改：";

// "crackdepth-4711-1765432100123.recovery": unique for a process and its start time, so a
// process number that the system hands out again after a restart names another file.
std::string recoveryFileName(std::int64_t processId, std::int64_t startMillis);
bool isRecoveryFileName(const std::string& name);

// A copy found in the folder.
struct RecoveryCandidate {
    std::filesystem::path file;
    std::string documentPath; // the file the lost document named; empty when it had none
    std::int64_t savedAt = 0; // seconds since 1970 (UTC)
};

// The copies in `folder`, newest first, except `own` (this program's file). A file whose
// beginning is not a copy's is still listed (its restore then says why it cannot be read).
std::vector<RecoveryCandidate> FindRecoveryCopies(const std::filesystem::path& folder,
                                                  const std::filesystem::path& own = {});

// Each copy is locked by the program that writes it ("<copy>.lock"), for as long as that
// program runs; the system releases the lock however the program ends.
std::filesystem::path lockFileOf(const std::filesystem::path& copy);

// A copy that a program which has ended left behind, held for this program: no other
// program can take it while the claim lives.
struct ClaimedCopy {
    RecoveryCandidate candidate;
    FileLock lock;
};

// The copies in `folder` whose programs have ended, newest first, each claimed; the copies of
// running programs (and those another program is offering right now) are left alone. Lock
// files that no copy belongs to any more are cleared away.
std::vector<ClaimedCopy> ClaimLeftoverCopies(const std::filesystem::path& folder,
                                             const std::filesystem::path& own);

// "放弃": the copy and its lock file go.
void DiscardCopy(ClaimedCopy& claim);

// This program's copy, locked for as long as the store lives: written whole or not at all,
// never anywhere but its own file.
class RecoveryStore {
public:
    explicit RecoveryStore(std::filesystem::path file);

    const std::filesystem::path& file() const { return file_; }
    bool locked() const { return lock_.has_value(); }

    WriteOutcome write(const Document& document, std::int64_t savedAt) const;
    // Removes the copy; true when none is left.
    bool remove() const;
    // A clean end: the copy and the lock file go.
    void close();

    // "恢复": puts the claimed copy in the document (RestoreRecoveryCopy), after which this
    // program keeps its copy under the claimed name. A copy that cannot be read is reported,
    // kept aside as "<copy>.damaged" so that it is not offered again, and changes nothing.
    bool restore(Document& document, ClaimedCopy claim);

private:
    std::filesystem::path file_;
    std::optional<FileLock> lock_;
};

// Reads the copy and puts it in the document: the lost data, selection and corrections, the
// document naming the file it named (so a save writes there) and modified until saved. A
// copy that cannot be read is reported and changes nothing.
bool RestoreRecoveryCopy(Document& document, const std::filesystem::path& file);

} // namespace crackdepth
