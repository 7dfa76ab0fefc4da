#include "draw/waveform_readouts.h"

#include "core/data/amplitude.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <limits>

namespace crackdepth::draw {
namespace {

constexpr double kFirstReadoutX = 15;
constexpr double kReadoutGap = 4; // keeps neighbouring read-outs from touching
constexpr int kReadoutSlots = 5;  // the title bar is divided in fifths, or more for more

std::size_t validSampleCount(const TraceInput& input) {
    return std::min(static_cast<std::size_t>(std::max(input.sampleCount, 0)), input.samples.size());
}

// (sample − 2048)·2/2048/(gain + 1e−6) V in mV, in the single precision the tables use; 0
// outside the waveform.
float amplitudeMillivolts(const TraceInput& input, std::int64_t k) {
    if (k < 0 || static_cast<std::size_t>(k) >= validSampleCount(input)) {
        return 0.0f;
    }
    const auto centred = static_cast<float>(
        static_cast<int>(input.samples[static_cast<std::size_t>(k)]) - static_cast<int>(kZeroLine));
    return centred * 2.0f / 2048.0f / (effectiveGain(input.gain) + 1e-6f) * 1000.0f;
}

} // namespace

QStringList traceReadouts(const TraceInput& input, std::optional<std::int32_t> hoverSample) {
    // Screen sample s shows waveform sample s − shift and lies at delay + s·dt.
    const std::int64_t screen = hoverSample ? static_cast<std::int64_t>(*hoverSample)
                                            : static_cast<std::int64_t>(input.arrivalIndex) +
                                                  static_cast<std::int64_t>(input.shift);
    const std::int64_t waveformIndex =
        hoverSample ? screen - input.shift : static_cast<std::int64_t>(input.amplitudeIndex);
    const float time = static_cast<float>(screen) * input.dt + input.delay;
    const float velocity =
        time == 0.0f ? std::numeric_limits<float>::quiet_NaN() : input.distance / time;

    QStringList texts{
        QStringLiteral("Amp:") + fixedText(static_cast<double>(effectiveGain(input.gain)), 0),
        QStringLiteral("T:") + fixedText(static_cast<double>(time), 2) + QStringLiteral("us"),
        QStringLiteral("A:") +
            fixedText(static_cast<double>(amplitudeMillivolts(input, waveformIndex)), 2) +
            QStringLiteral("mv"),
        QStringLiteral("V:") + fixedText(static_cast<double>(velocity), 3) + QStringLiteral("km/s"),
        QStringLiteral("当前测距:") + fixedText(static_cast<double>(input.distance), 1) +
            QStringLiteral("mm")};
    if (input.suggestionIndex) {
        const float suggested =
            static_cast<float>(static_cast<std::int64_t>(*input.suggestionIndex) + input.shift) *
                input.dt +
            input.delay;
        texts << QStringLiteral("建议初至:") + fixedText(static_cast<double>(suggested), 2) +
                     QStringLiteral("us");
    }
    if (input.filterDelay) {
        texts << QStringLiteral("滤波延时:") +
                     fixedText(static_cast<double>(*input.filterDelay), 2) + QStringLiteral("us");
    }
    return texts;
}

QStringList spectrumReadouts(const SpectrumInput& input, std::int32_t bin) {
    const auto k = static_cast<std::size_t>(std::clamp(bin, 0, std::int32_t{kSpectrumBins - 1}));
    const auto p = static_cast<std::size_t>(
        std::clamp(input.spectrum.peak, 0, std::int32_t{kSpectrumBins - 1}));
    const float peak = input.spectrum.bins[p];
    // A constant waveform has no power at all: its relative power is undefined, not 0.
    const double relative = peak > 0.0f ? static_cast<double>(input.spectrum.bins[k] / peak)
                                        : std::numeric_limits<double>::quiet_NaN();
    const double kHz = spectrumBinKHz(static_cast<double>(k), input.refine, input.dt)
                           .value_or(std::numeric_limits<double>::quiet_NaN());
    return {QStringLiteral("PT:") + fixedText(relative, 2),
            QStringLiteral("Freq:") + fixedText(kHz, 2) + QStringLiteral("kHz"),
            QStringLiteral("频谱细化倍数:") +
                QString::number(std::clamp(input.refine, kMinRefine, kMaxRefine))};
}

std::vector<PlacedText> layoutReadouts(const QRectF& titleBar, const QStringList& texts,
                                       const QFont& font) {
    std::vector<PlacedText> placed;
    const int slotCount = std::max(kReadoutSlots, static_cast<int>(texts.size()));
    const double slot = titleBar.width() / slotCount;
    for (qsizetype k = 0; k < texts.size() && k < slotCount; ++k) {
        const double left = titleBar.left() + (k == 0 ? std::min(kFirstReadoutX, slot)
                                                      : slot * static_cast<double>(k));
        const double right = titleBar.left() + slot * static_cast<double>(k + 1) - kReadoutGap;
        const QRectF box(left, titleBar.top(), std::max(right - left, 0.0), titleBar.height());
        PlacedText text{box, fittedFont(font, texts[k], box.width()), texts[k]};
        const QFontMetricsF metrics(text.font);
        if (metrics.horizontalAdvance(text.text) > box.width()) {
            text.text = metrics.elidedText(text.text, Qt::ElideRight, box.width());
        }
        placed.push_back(std::move(text));
    }
    return placed;
}

} // namespace crackdepth::draw
