#include "core/data/project_info.h"

namespace crackdepth {

static_assert([] {
    std::size_t units = 0;
    for (std::size_t field = 0; field < ProjectBlock::kTextCount; ++field) {
        units += ProjectBlock::widthOf(field);
    }
    return units * 2 == ProjectBlock::kByteSize;
}());

void ProjectBlock::copyInto(ProjectInfo& info) const {
    for (std::size_t field = 0; field < kMappedCount; ++field) {
        info.texts[kMapped[field].projectIndex] = texts[field];
    }
}

void ProjectBlock::copyFrom(const ProjectInfo& info) {
    for (std::size_t field = 0; field < kMappedCount; ++field) {
        texts[field] = info.texts[kMapped[field].projectIndex];
    }
}

} // namespace crackdepth
