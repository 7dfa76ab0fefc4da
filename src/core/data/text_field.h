// Fixed-width UTF-16LE text fields of the measurement files.
#pragma once

#include "core/common/bytes.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace crackdepth {

// Writes `text` as exactly `width` code units: cut to the width (never in the middle of a
// surrogate pair), then padded with U+0000. Blanks inside the text stay blanks, so a reader
// that stops at the first U+0000 gets the whole text back.
void writeTextField(ByteWriter& out, std::string_view text, std::size_t width);

// Reads `width` code units from `bytes` up to the first U+0000, keeping at most `keep` of
// them (the note is read from a wider area than it may fill).
std::string readTextField(std::span<const std::uint8_t> bytes, std::size_t width,
                          std::size_t keep = SIZE_MAX);

} // namespace crackdepth
