// The row heights shared by the scrolling displays with rows (the distance–time plot and the
// wave train): the height they start with, and the mouse-wheel rules: the row height changes
// by one pixel per notch within 5 … 100, and the scroll position follows.
#pragma once

#include <cstdint>

namespace crackdepth::draw {

// The row height of both views until the rows are fitted to the pane.
inline constexpr std::int32_t kInitialRowHeight = 22;
inline constexpr std::int32_t kMinRowHeight = 5;
inline constexpr std::int32_t kMaxRowHeight = 100;

// The row height after `notches` wheel notches (positive = away from the user = larger). A
// height that leaves 5 … 100 (also one fitted to the pane before) is brought back into it.
std::int32_t rowHeightAfterWheel(std::int32_t rowHeight, std::int32_t notches);

// The scroll position after the row height changed: it stays, unless it lies within 24 px of
// the end of the new scroll range (or past it), when it returns to the top.
std::int32_t scrollAfterRowHeightChange(std::int32_t scroll, std::int32_t contentHeight,
                                        std::int32_t viewportHeight);

} // namespace crackdepth::draw
