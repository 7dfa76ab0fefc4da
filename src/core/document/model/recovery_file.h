// The recovery copy's format: everything a document holds of its measurement (every line
// with both waveforms of every point, the pending time corrections, the selection, the
// project information and the path fields) and the file the document names, so that a
// document restored from it is the document that was lost, byte for byte when saved.
// It is the program's private file, never a measurement file: a version number guards the
// layout and a checksum at the end refuses a copy damaged on disk.
#pragma once

#include "core/document/model/document_data.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace crackdepth {

struct RecoveryContents {
    DocumentData data;
    std::string documentPath; // the file the document named; empty for an unnamed one
    std::int64_t savedAt = 0; // when the copy was written, seconds since 1970 (UTC)
};

// What a listing needs without reading the whole copy.
struct RecoveryHeading {
    std::string documentPath;
    std::int64_t savedAt = 0;
};

std::vector<std::uint8_t> WriteRecoveryCopy(const DocumentData& data,
                                            const std::string& documentPath, std::int64_t savedAt);

// The copy's contents; none when the bytes are not a whole, undamaged copy of this version
// or describe data the program could not hold (`reason` says which, in Chinese).
std::optional<RecoveryContents> ReadRecoveryCopy(std::span<const std::uint8_t> bytes,
                                                 std::string& reason);

// The checksum that ends a copy, of the bytes before it.
std::uint64_t recoveryChecksum(std::span<const std::uint8_t> bytes);

// The heading from the first bytes of a copy; none when they do not start one.
std::optional<RecoveryHeading> ReadRecoveryHeading(std::span<const std::uint8_t> bytes);

} // namespace crackdepth
