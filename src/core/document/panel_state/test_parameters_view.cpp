#include "core/document/panel_state/test_parameters_view.h"

#include <charconv>

namespace crackdepth {
namespace {

std::string format(float value, std::chars_format style, int precision) {
    char buffer[400]; // room for the widest finite float in fixed notation
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), style, precision);
    return std::string(buffer, result.ptr);
}

// "%.1f".
std::string oneDecimal(float value) {
    return format(value, std::chars_format::fixed, 1);
}

// "%g": at most six significant digits, trailing zeros dropped, exponent for very large or
// small values.
std::string general(float value) {
    return format(value, std::chars_format::general, 6);
}

std::string whole(std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

TestParametersView ViewTestParameters(const MeasuringPoint* point, const TestParameters& header) {
    TestParametersView view;
    if (point != nullptr) {
        view.samplingInterval = oneDecimal(point->record.samplingInterval());
        view.lowPassCut = general(point->record.lowPassCut());
        view.highPassCut = general(point->record.highPassCut());
    }
    view.sampleCount = whole(header.sampleCount);
    view.zeroCalibration = oneDecimal(header.zeroCalibration);
    return view;
}

} // namespace crackdepth
