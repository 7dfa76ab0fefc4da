// The point menu of the wave-train layouts: the line view's point menu without the manual
// keep and exclude entries, which only the table offers.
#pragma once

#include "core/document/commands/point_editing.h"

#include <vector>

namespace crackdepth {

struct TrainMenuEntry {
    const char* text = "";
    bool enabled = false;
    bool separatorBefore = false;
};

// "复制测点", "粘贴测点", "删除测点", then after a separator "设置反相点" and "撤销反相点",
// each enabled by the line view's rules.
std::vector<TrainMenuEntry> trainMenuOf(const PointMenuEnabling& enabling);

} // namespace crackdepth
