// Crash-safe output: a save writes an unnamed temporary file in the target's folder, makes it
// durable, gives it a name and renames it over the target. A failed, killed or power-cut save
// leaves the previous file intact and no temporary file behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace crackdepth {

struct WriteOutcome {
    bool ok = false;
    // English explanation of the failure, empty on success; a failure of writeFileAtomically
    // ends with ": " and the system's own words for it (strerror), see systemReasonOf.
    std::string error;
};

// The system's words for a failure of writeFileAtomically ("Permission denied"), empty on
// success.
std::string systemReasonOf(const WriteOutcome& outcome);

WriteOutcome writeFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::uint8_t> bytes);

// Whether `name` is one of the temporary names a save of the file `targetName` uses
// ("OUT.DPA.tmp-" and 12 hexadecimal digits, or up to 10 decimal digits from earlier
// versions). A save removes the ones an interrupted save of its target left, and those of
// any other target in the folder once they are ten minutes old.
bool isTemporaryNameOf(const std::string& name, const std::string& targetName);

namespace detail {

// The save on file systems without unnamed temporary files: a named temporary file that an
// interrupted save leaves and the next save of the same target removes. Public so that the
// tests can take this path on any file system.
WriteOutcome writeThroughNamedTemporary(const std::filesystem::path& target,
                                        std::span<const std::uint8_t> bytes);

} // namespace detail
} // namespace crackdepth
