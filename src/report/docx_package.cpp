#include "report/docx_package.h"

#include <algorithm>
#include <memory>
#include <zip.h>

namespace crackdepth::report {
namespace {

struct SourceRelease {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceRelease>;

std::string reasonOf(zip_error_t* error) {
    return zip_error_strerror(error);
}

// The bytes a closed archive left in its memory source.
std::optional<std::string> bytesOf(zip_source_t* source, std::string& error) {
    if (zip_source_open(source) < 0) {
        error = "cannot read the package back: " + reasonOf(zip_source_error(source));
        return std::nullopt;
    }
    // Read in place: into room for the whole archive where its size is known, a chunk at a
    // time beyond it.
    std::string bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) != 0) {
        bytes.reserve(static_cast<std::size_t>(stat.size));
    }
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    zip_int64_t got = 0;
    do {
        const std::size_t had = bytes.size();
        if (had == bytes.capacity()) {
            char probe[1]; // the end, most often, without growing the string
            got = zip_source_read(source, probe, sizeof probe);
            if (got > 0) {
                bytes.push_back(probe[0]);
            }
            continue;
        }
        const std::size_t room = std::min(bytes.capacity() - had, kChunk);
        bytes.resize(had + room);
        got = zip_source_read(source, bytes.data() + had, room);
        bytes.resize(had + static_cast<std::size_t>(std::max<zip_int64_t>(got, 0)));
    } while (got > 0);
    const bool failed = got < 0;
    if (failed) {
        error = "cannot read the package back: " + reasonOf(zip_source_error(source));
    }
    zip_source_close(source);
    return failed ? std::nullopt : std::optional<std::string>(std::move(bytes));
}

} // namespace

std::optional<std::string> zipPackage(const std::vector<PackagePart>& parts, std::string& error) {
    zip_error_t zipError;
    zip_error_init(&zipError);
    Source buffer(zip_source_buffer_create(nullptr, 0, 0, &zipError));
    if (!buffer) {
        error = "cannot create the package in memory: " + reasonOf(&zipError);
        zip_error_fini(&zipError);
        return std::nullopt;
    }
    // The archive takes a reference when opened and drops it when closed; ours keeps the
    // written bytes for reading back.
    zip_source_keep(buffer.get());
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &zipError);
    if (archive == nullptr) {
        zip_source_free(buffer.get()); // the reference the archive did not take
        error = "cannot create the package in memory: " + reasonOf(&zipError);
        zip_error_fini(&zipError);
        return std::nullopt;
    }
    zip_error_fini(&zipError);
    for (const PackagePart& part : parts) {
        // The parts outlive zip_close, which is when libzip reads them.
        zip_source_t* data = zip_source_buffer(archive, part.bytes.data(), part.bytes.size(), 0);
        const zip_int64_t index =
            data == nullptr ? -1 : zip_file_add(archive, part.name.c_str(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            if (data != nullptr) {
                zip_source_free(data);
            }
            error =
                "cannot add " + part.name + " to the package: " + reasonOf(zip_get_error(archive));
            zip_discard(archive);
            return std::nullopt;
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 part.compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) < 0) {
        error = "cannot build the package: " + reasonOf(zip_get_error(archive));
        zip_discard(archive);
        return std::nullopt;
    }
    return bytesOf(buffer.get(), error);
}

} // namespace crackdepth::report
