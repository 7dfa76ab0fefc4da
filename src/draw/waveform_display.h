// The two displays of the waveform view: a point's waveform as a time trace with its axes,
// first-arrival cursor and read-outs, or as its relative power spectrum. Each draws into a
// rectangle of any QPainter (widget, image, printer); the geometry helpers below map the
// pointer to samples and bins with exactly the arithmetic the drawing uses.
#pragma once

#include "core/data/measuring_point.h"
#include "core/signal/spectrum.h"
#include "draw/display_style.h"

#include <QPainter>
#include <QRectF>
#include <cstdint>
#include <optional>
#include <span>

namespace crackdepth::draw {

// Layout, in screen pixels of the drawing (device pixels at scale 1). The rectangle holds a
// title bar for the read-outs and below it the framed plot; the view keeps its slider
// outside the rectangle.
inline constexpr double kTitleBarHeight = 20;
inline constexpr double kAxisInset = 25;       // the vertical axis, from the plot's left edge
inline constexpr double kTimeAxisReserve = 37; // plot width not covered by the samples
inline constexpr double kArrowInset = 5;       // arrow tips, from the plot's right edge
inline constexpr double kTraceMargin = 10;     // plot height not covered by the half-waves
// Rectangle width not covered by the 256 bins: they start at the axis and end at the plot's
// right edge, so that they span the view's width less 50 px (the slider takes 25 more).
inline constexpr double kSpectrumReserve = 25;
inline constexpr double kSpectrumBaseInset = 15; // base line, above the plot's bottom edge
inline constexpr double kSpectrumPeakInset = 20; // the peak, below the plot's top edge

// What the time display shows: the current point of the shown line, as plain values.
struct TraceInput {
    std::span<const Sample> samples; // the working waveform; the caller keeps it alive
    std::int32_t sampleCount = 0;    // n of the shown line; indices 0 … n−1 are valid
    float dt = 0;                    // sampling interval, us
    float delay = 0;                 // time of sample 0, us
    float gain = 0;                  // stored gain; 0 is shown and scaled as 100
    std::int32_t arrivalIndex = 0;
    std::int32_t amplitudeIndex = 0;
    std::int32_t shift = 0;     // the pending time corrections in whole samples
    float distance = 0;         // mm
    float amplitudeZoom = 1.0f; // amplitudeZoomAt(slider position)
    bool crossingLine = false;  // orange trace instead of black
    // The pointer's x while it is over the plot: a hover line there, and the title bar reads
    // the sample under it instead of the first arrival.
    std::optional<double> hoverX;
    // The suggested first arrival, a waveform sample index like arrivalIndex (the caller
    // computes it; none without one): a dashed green line where it differs from the pick, and
    // its time in the read-outs.
    std::optional<std::int32_t> suggestionIndex;
    // The delay in us that the filter of a filtered trace gives it at its main frequency
    // (pointFilterDelayUs; 0 after a zero-phase filter): the read-outs state it, since a pick
    // on the delayed trace comes that much late. None for an unfiltered trace.
    std::optional<float> filterDelay;
};

// What the frequency display shows. The view computes `spectrum` with Spectrum(samples, n,
// dt, refine) at every paint.
struct SpectrumInput {
    SpectrumResult spectrum;
    std::int32_t refine = 5; // 1 … 32
    float dt = 0;            // sampling interval, us: gives the frequency of each bin
    bool crossingLine = false;
    // The bin the operator clicked (spectrumBinAtX); none puts the cursor at the peak.
    std::optional<std::int32_t> cursorBin;
    std::optional<double> hoverX; // as in TraceInput
};

// Where the time display puts things inside `rect`.
struct TraceGeometry {
    QRectF titleBar;
    QRectF plot;         // framed; the frame lies on its outermost pixels
    double axisX = 0;    // the amplitude axis, where screen sample 0 lies
    double middle = 0;   // the zero line (a whole pixel row)
    double axisEndX = 0; // tip of the time axis
    double pxPerUs = 0;  // 0 when dt·n is not a positive number: nothing can be placed
};

TraceGeometry traceGeometry(const QRectF& rect, const TraceInput& input);

// x of screen sample i (waveform sample i − shift): axisX + i·dt·pxPerUs.
double traceSampleX(const TraceGeometry& geometry, const TraceInput& input, double screenIndex);

// The time at pointer x, in us (delay at the axis); none without a time scale.
std::optional<double> traceTimeAtX(const TraceGeometry& geometry, const TraceInput& input,
                                   double x);

// The screen sample nearest to the time at pointer x, within 0 … n−1, the later one on a
// tie. A click picks it as the first arrival (PickArrival takes this index); the hover
// read-outs show it. None without a time scale.
std::optional<std::int32_t> traceSampleAtX(const TraceGeometry& geometry, const TraceInput& input,
                                           double x);

// Where the frequency display puts things inside `rect`.
struct SpectrumGeometry {
    QRectF titleBar;
    QRectF plot;
    double curveLeft = 0;  // x of bin 0, on the vertical axis
    double curveWidth = 0; // the 256 bins span this width; below 1 nothing can be placed
    double baseY = 0;      // relative power 0
    double peakY = 0;      // relative power 1
    double axisEndX = 0;   // tip of the frequency axis
};

SpectrumGeometry spectrumGeometry(const QRectF& rect);

// x of bin k: curveLeft + k·curveWidth/256.
double spectrumBinX(const SpectrumGeometry& geometry, double bin);

// The bin at pointer x, ((x − curveLeft + 1)·256) / curveWidth in whole pixels, limited to
// 0 … 255; none when the curve has no width.
std::optional<std::int32_t> spectrumBinAtX(const SpectrumGeometry& geometry, double x);

// The frequency of bin k in kHz, k·1e6 / (512·refine·dt) / 1000 — the frequency the bin
// really stands for, as the command-line spectrum reports it; none for a sampling interval
// that is not positive.
std::optional<double> spectrumBinKHz(double bin, std::int32_t refine, float dt);

// The bin the spectrum cursor marks: the clicked bin (limited to 0 … 255), else the peak.
std::int32_t spectrumCursorBin(const SpectrumInput& input);

// Whether a pointer position lies over the plot, below the title bar: the view follows the
// pointer and takes clicks only there.
bool overPlot(const QRectF& rect, const QPointF& position);

// The x the first-arrival cursor (or, with `index`, another waveform sample index such as the
// suggestion) is drawn at: the sample's screen position after the shift of the pending
// corrections, rounded to a pixel column; none for an index outside the waveform or without a
// time scale.
std::optional<double> traceMarkerX(const TraceGeometry& geometry, const TraceInput& input,
                                   std::int64_t index);

// The time display in `rect` of the painter, at the style's scale (the geometry
// above and the input's positions are in the drawing's screen pixels: the rectangle divided
// by the scale). Leaves the painter's state as it found it and draws nothing outside `rect`.
void drawTrace(QPainter& painter, const QRectF& rect, const TraceInput& input,
               const DisplayStyle& style);

// The frequency display, likewise.
void drawSpectrum(QPainter& painter, const QRectF& rect, const SpectrumInput& input,
                  const DisplayStyle& style);

} // namespace crackdepth::draw
