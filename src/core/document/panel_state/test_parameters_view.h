// What the read-only "检测参数" dialog shows: the acquisition parameters of the shown line's
// current point and header, formatted the same whatever the desktop's locale.
#pragma once

#include "core/data/measuring_point.h"
#include "core/data/test_parameters.h"

#include <string>

namespace crackdepth {

inline constexpr const char* kTestParametersTitle = "检测参数";
inline constexpr const char* kSamplingIntervalCaption = "采样间隔(us)：";
inline constexpr const char* kParametersLowPassCaption = "低通(kHz)：";
inline constexpr const char* kParametersHighPassCaption = "高通(kHz)：";
inline constexpr const char* kSampleCountCaption = "采样长度：";
inline constexpr const char* kZeroCalibrationCaption = "校零：";

struct TestParametersView {
    std::string samplingInterval; // the point's, us, one decimal
    std::string lowPassCut;       // the point's, kHz, up to 6 significant digits
    std::string highPassCut;      // the point's, kHz, up to 6 significant digits
    std::string sampleCount;      // the header's, in full
    std::string zeroCalibration;  // the header's, us, one decimal

    bool operator==(const TestParametersView&) const = default;
};

// The dialog's values for `point`, the point the shown line's lookup reached last (its
// cursor), and `header`, the shown line's parameters. Without a point (an empty line) the
// three point values are empty.
TestParametersView ViewTestParameters(const MeasuringPoint* point, const TestParameters& header);

} // namespace crackdepth
