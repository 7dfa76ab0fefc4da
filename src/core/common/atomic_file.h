// Whole-file input and crash-safe output: a write goes to a temporary file in the target's
// folder and replaces the target only when it is complete, so a failed save never destroys
// the previous file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace crackdepth {

struct WriteOutcome {
    bool ok = false;
    std::string error; // English explanation of the failure, empty on success
};

WriteOutcome writeFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::uint8_t> bytes);

} // namespace crackdepth
