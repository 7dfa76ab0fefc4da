// Feeds arbitrary bytes to the recovery copy's reader, with the checksum the reader expects
// appended (otherwise almost every input would stop at the checksum); whatever it accepts must
// be written back and read again to the same copy.
#include "core/common/bytes.h"
#include "core/document/model/recovery_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> copy(data, data + size);
    crackdepth::ByteWriter(copy).put(crackdepth::recoveryChecksum(std::span(data, size)));
    std::string reason;
    const auto first = crackdepth::ReadRecoveryCopy(copy, reason);
    if (!first) {
        return 0;
    }
    const std::vector<std::uint8_t> bytes =
        crackdepth::WriteRecoveryCopy(first->data, first->documentPath, first->savedAt);
    const auto second = crackdepth::ReadRecoveryCopy(bytes, reason);
    if (!second || crackdepth::WriteRecoveryCopy(second->data, second->documentPath,
                                                 second->savedAt) != bytes) {
        std::abort();
    }
    return 0;
}
