// The waveform view's slider as the operator meets it: the smallest position at the top, the
// handle starting low (zoom at 80 of 0 … 100, refinement at 28 of 1 … 32), and pushing it up
// magnifies the trace or refines the spectrum more.
#include "../core/test_support.h"
#include "../draw/image_support.h"
#include "app/views/waveform_view.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/model/view_state.h"
#include "draw/waveform_ticks.h"

#include <QApplication>
#include <QSlider>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

class WaveformSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(document.OpenDocument((kFixtures / "SITE.DPA").string()));
        view.resize(700, 320);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    void showDomain(bool time) {
        viewState.timeDomain = time;
        view.repaint();
        QApplication::processEvents();
    }
    QSlider& slider() { return *view.slider(); }
    // Where the handle's middle lies when the smallest position is at the top.
    QPoint handleAt(int value) {
        const int length =
            slider().style()->pixelMetric(QStyle::PM_SliderLength, nullptr, &slider());
        const int top = QStyle::sliderPositionFromValue(slider().minimum(), slider().maximum(),
                                                        value, slider().height() - length);
        return {slider().width() / 2, top + length / 2};
    }
    // Drags the handle from where it is by `dy` pixels (negative: up).
    void drag(int dy) {
        const QPoint from = handleAt(slider().value());
        QTest::mousePress(&slider(), Qt::LeftButton, {}, from);
        ASSERT_TRUE(slider().isSliderDown()) << "the press caught the handle";
        QTest::mouseMove(&slider(), from + QPoint(0, dy / 2));
        QTest::mouseMove(&slider(), from + QPoint(0, dy));
        QTest::mouseRelease(&slider(), Qt::LeftButton, {}, from + QPoint(0, dy));
        view.repaint();
        QApplication::processEvents();
    }
    // Dark trace pixels well above or below the zero line (the middle of the plot under the
    // 20-pixel title bar), away from the axes and their labels: many for a trace at full
    // height, none for a flat one.
    int traceAwayFromZero() {
        const QImage image = view.grab().toImage();
        const QRect plot = view.displayRect().toRect().adjusted(60, 50, -60, -5);
        const int zeroLine = static_cast<int>(view.displayRect().center().y()) + 10;
        const auto dark = [](QRgb p) { return qGray(p) < 60; };
        const QRect above(plot.left(), plot.top(), plot.width(), zeroLine - 30 - plot.top());
        const QRect below(plot.left(), zeroLine + 30, plot.width(), plot.bottom() - zeroLine - 30);
        return draw::testing::countIn(image, above, dark) +
               draw::testing::countIn(image, below, dark);
    }

    ScriptedPrompts prompts;
    Document document{prompts, {}};
    ViewState viewState;
    WaveformView view{document, viewState};
};

// The handle stands where the start position puts it with the smallest position at the
// top: a press there takes the handle and leaves the position as it is.
TEST_F(WaveformSliderTest, TheHandleStartsLowInBothDisplays) {
    const struct {
        bool time;
        int start;
    } cases[] = {{true, draw::kZoomSliderStart}, {false, draw::kRefineSliderStart}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time ? "time" : "spectrum");
        showDomain(c.time);
        ASSERT_EQ(slider().value(), c.start);
        const QPoint handle = handleAt(c.start);
        EXPECT_GT(handle.y(), slider().height() * 3 / 4);
        QTest::mousePress(&slider(), Qt::LeftButton, {}, handle);
        EXPECT_TRUE(slider().isSliderDown());
        EXPECT_EQ(slider().value(), c.start);
        QTest::mouseRelease(&slider(), Qt::LeftButton, {}, handle);
    }
    EXPECT_EQ(view.refinement(), 5);
}

TEST_F(WaveformSliderTest, PushingTheHandleUpMagnifiesTheTrace) {
    showDomain(true);
    const int atStart = traceAwayFromZero();
    ASSERT_GT(atStart, 50) << "the trace reaches far from the zero line";
    drag(-slider().height() / 3);
    EXPECT_LT(slider().value(), draw::kZoomSliderStart);
    EXPECT_GT(draw::amplitudeZoomAt(slider().value()), 1.0f);
    EXPECT_GT(traceAwayFromZero(), atStart);

    // Down to the bottom flattens the trace on the screen.
    drag(slider().height());
    EXPECT_EQ(slider().value(), draw::kZoomSliderMaximum);
    EXPECT_LT(traceAwayFromZero(), atStart / 10);

    // The wheel turned away from the operator moves the handle up as well.
    const int before = slider().value();
    QWheelEvent wheel(QPointF(handleAt(before)), slider().mapToGlobal(QPointF(handleAt(before))),
                      QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(&slider(), &wheel);
    EXPECT_LT(slider().value(), before);
}

TEST_F(WaveformSliderTest, PushingTheHandleUpRefinesTheSpectrumMore) {
    showDomain(false);
    drag(-slider().height() / 3);
    EXPECT_LT(slider().value(), draw::kRefineSliderStart);
    EXPECT_GT(view.refinement(), 5);
}

} // namespace
} // namespace crackdepth::app
