// The wave-train view's own rules, on the offscreen platform: the row height it starts with
// and the point a click selects.
#include "../core/test_support.h"
#include "app/views/wave_train_view.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

TEST(WaveTrainView, RowsStartTwentyTwoPixelsHighUntilTheyAreFittedToThePane) {
    ScriptedPrompts prompts;
    Document document{prompts, {}};
    DocumentData loaded;
    loaded.nonCrossingList = std::make_unique<PointList>(testing::makePoints(5));
    loaded.shown = ShownLine::NonCrossing;
    document.Load(std::move(loaded)); // no window asks this view for fitted rows
    const DocumentData& data = document.data();
    PointClipboard clipboard;
    WaveTrainView view(document, clipboard);
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();
    // Point i lies in row 4 − i from the top: y 30 is in the second row of 22 px, point 3.
    for (const auto& [y, point] :
         std::vector<std::pair<int, std::int32_t>>{{30, 3}, {10, 4}, {100, 0}}) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(200, y));
        EXPECT_EQ(data.shownList()->currentIndex, point) << "y " << y;
    }
}

} // namespace
} // namespace crackdepth::app
