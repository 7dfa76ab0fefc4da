#include "core/document/panel_state/test_parameters_view.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace crackdepth {
namespace {

MeasuringPoint pointWith(float samplingInterval, float lowPassCut, float highPassCut) {
    MeasuringPoint point;
    point.record.setSamplingInterval(samplingInterval);
    point.record.setLowPassCut(lowPassCut);
    point.record.setHighPassCut(highPassCut);
    return point;
}

TestParameters headerWith(std::int32_t sampleCount, float zeroCalibration) {
    TestParameters header;
    header.sampleCount = sampleCount;
    header.zeroCalibration = zeroCalibration;
    return header;
}

TEST(TestParametersView, FormatsEachValueAsTheDialogShowsIt) {
    const struct {
        float samplingInterval, lowPassCut, highPassCut;
        std::int32_t sampleCount;
        float zeroCalibration;
        TestParametersView shown;
    } cases[] = {
        {0.5f, 100.0f, 20.0f, 512, 3.14159f, {"0.5", "100", "20", "512", "3.1"}},
        {0.1f, 12.5f, 0.0f, 1024, 0.0f, {"0.1", "12.5", "0", "1024", "0.0"}},
        {0.05f,
         1234567.0f,
         0.00001f,
         1048576,
         -2.46f,
         {"0.1", "1.23457e+06", "1e-05", "1048576", "-2.5"}},
        {2.0f, 333.33333f, 0.5f, 0, 1234.56f, {"2.0", "333.333", "0.5", "0", "1234.6"}},
    };
    for (const auto& c : cases) {
        const MeasuringPoint point = pointWith(c.samplingInterval, c.lowPassCut, c.highPassCut);
        EXPECT_EQ(ViewTestParameters(&point, headerWith(c.sampleCount, c.zeroCalibration)), c.shown)
            << c.samplingInterval;
    }
}

TEST(TestParametersView, AnEmptyLineShowsTheHeaderValuesOnly) {
    const TestParametersView shown = ViewTestParameters(nullptr, headerWith(512, 1.5f));
    EXPECT_EQ(shown, (TestParametersView{"", "", "", "512", "1.5"}));
}

TEST(TestParametersView, IgnoresTheDesktopsDecimalComma) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_ALL, "de_DE.utf8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const MeasuringPoint point = pointWith(0.5f, 12.5f, 1.25f);
    const TestParametersView shown = ViewTestParameters(&point, headerWith(512, 0.5f));
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(shown, (TestParametersView{"0.5", "12.5", "1.25", "512", "0.5"}));
}

} // namespace
} // namespace crackdepth
