// Feeds arbitrary bytes to the settings reader; whatever it reads must survive a write and
// a second read unchanged, and what it writes is never damaged (garbage is not written back).
#include "core/data/settings_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    crackdepth::Settings first;
    crackdepth::parseSettings(std::span<const std::uint8_t>(data, size), first);

    const std::vector<std::uint8_t> bytes = crackdepth::serializeSettings(first);
    crackdepth::Settings second;
    // Start from values the file must overwrite, so that a value the writer drops shows.
    second.print.headerOn = -7;
    second.project.locked = -7;
    second.panelWidths = {-7, -7, -7};
    second.legacy.texts[6] = "not read";
    if (!crackdepth::parseSettings(bytes, second) || !(second == first)) {
        std::abort();
    }
    return 0;
}
