// The texts of the waveform view: the read-outs in its title bar and the fitting of any
// label into the box it has, so that no text of the displays is clipped or overlaps another.
#pragma once

#include "draw/label_space.h" // fittedFont
#include "draw/number_text.h"
#include "draw/waveform_display.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace crackdepth::draw {

// The five read-outs of the time display: "Amp:%.0f" (gain, 0 shown as 100), "T:%.2fus",
// "A:%.2fmv", "V:%.3fkm/s", "当前测距:%.1fmm". Without a hover sample they describe the
// first arrival (time (arrivalIndex + shift)·dt + delay, amplitude at amplitudeIndex);
// with one they describe screen sample i (time delay + i·dt, amplitude at i − shift).
// An amplitude outside 0 … n−1 is 0; a velocity that cannot be computed reads "--.--".
// With a suggested first arrival a sixth read-out follows, "建议初至:%.2fus" (its time
// (suggestionIndex + shift)·dt + delay, whatever the pointer does). A filtered trace ends
// with "滤波延时:%.2fus", the delay its filter gives it.
QStringList traceReadouts(const TraceInput& input, std::optional<std::int32_t> hoverSample);

// The three read-outs of the frequency display for a bin: "PT:%.2f" (the bin's value over
// the peak's), "Freq:%.2fkHz" (spectrumBinKHz) and "频谱细化倍数:%d".
QStringList spectrumReadouts(const SpectrumInput& input, std::int32_t bin);

// A text with the box and font it is drawn in.
struct PlacedText {
    QRectF box;
    QFont font;
    QString text; // elided if even the smallest font is too wide
};

// The title bar's read-outs: the first starts 15 px from the left, the k-th (k ≥ 1) at k
// fifths of the width (k-th of the count for more than five read-outs); each keeps to its
// slot, its font shrunk to fit.
std::vector<PlacedText> layoutReadouts(const QRectF& titleBar, const QStringList& texts,
                                       const QFont& font);

} // namespace crackdepth::draw
