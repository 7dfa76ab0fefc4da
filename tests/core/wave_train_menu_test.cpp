#include "core/document/panel_state/wave_train_menu.h"

#include <gtest/gtest.h>
#include <string>

namespace crackdepth {
namespace {

TEST(WaveTrainMenu, LeavesOutTheManualEntries) {
    PointMenuEnabling enabling;
    enabling.copy = true;
    enabling.clearReversal = true;
    enabling.manualKeep = true;
    const auto menu = trainMenuOf(enabling);
    ASSERT_EQ(menu.size(), 5u);
    const std::string texts[] = {"复制测点", "粘贴测点", "删除测点", "设置反相点", "撤销反相点"};
    const bool enabled[] = {true, false, false, false, true};
    for (std::size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].text, texts[i]);
        EXPECT_EQ(menu[i].enabled, enabled[i]) << texts[i];
        EXPECT_EQ(menu[i].separatorBefore, i == 3) << texts[i];
    }
}

} // namespace
} // namespace crackdepth
