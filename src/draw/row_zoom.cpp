#include "draw/row_zoom.h"

#include <algorithm>

namespace crackdepth::draw {

std::int32_t rowHeightAfterWheel(std::int32_t rowHeight, std::int32_t notches) {
    if (notches == 0) {
        return rowHeight;
    }
    const std::int64_t changed = std::int64_t{rowHeight} + notches;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(changed, kMinRowHeight, kMaxRowHeight));
}

std::int32_t scrollAfterRowHeightChange(std::int32_t scroll, std::int32_t contentHeight,
                                        std::int32_t viewportHeight) {
    const std::int64_t end = std::int64_t{contentHeight} - viewportHeight;
    return scroll >= end - 24 ? 0 : scroll;
}

} // namespace crackdepth::draw
