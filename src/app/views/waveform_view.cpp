#include "app/views/waveform_view.h"

#include "core/analysis/transit_time.h"
#include "core/document/document.h"
#include "core/document/picking.h"
#include "core/signal/spectrum.h"
#include "draw/waveform_ticks.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSlider>

namespace crackdepth::app {

WaveformView::WaveformView(Document& document, QWidget* parent)
    : QWidget(parent), document_(document), slider_(new QSlider(Qt::Vertical, this)),
      zoomPosition_(draw::kZoomSliderStart),
      refinement_(draw::refinementAt(draw::kRefineSliderStart)) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumHeight(120);
    slider_->setTickPosition(QSlider::TicksBothSides);
    connect(slider_, &QSlider::valueChanged, this, &WaveformView::onSliderMoved);
    followMode();
}

QRectF WaveformView::displayRect() const {
    return QRectF(0, 0, std::max(0, width() - kSliderWidth), height());
}

void WaveformView::resizeEvent(QResizeEvent*) {
    slider_->setGeometry(width() - kSliderWidth, 0, kSliderWidth, height());
}

// The slider zooms the amplitude of the trace, or sets the refinement of the spectrum; each
// mode keeps its own position.
void WaveformView::followMode() {
    showingTime_ = document_.timeDomain;
    const QSignalBlocker blocker(slider_);
    if (showingTime_) {
        slider_->setRange(draw::kZoomSliderMinimum, draw::kZoomSliderMaximum);
        slider_->setTickInterval(draw::kZoomSliderTickInterval);
        slider_->setValue(zoomPosition_);
        slider_->setToolTip(QStringLiteral("波形幅度缩放"));
    } else {
        slider_->setRange(draw::kRefineSliderMinimum, draw::kRefineSliderMaximum);
        slider_->setTickInterval(draw::kRefineSliderTickInterval);
        slider_->setValue(draw::refineSliderPositionOf(refinement_));
        slider_->setToolTip(QStringLiteral("频谱细化倍数"));
    }
}

void WaveformView::onSliderMoved(int position) {
    if (showingTime_) {
        zoomPosition_ = position;
    } else {
        refinement_ = draw::refinementAt(position);
        spectrumCursor_.reset();
    }
    update();
}

MeasuringPoint* WaveformView::currentPoint() const {
    PointList* line = document_.data().shownList;
    if (line == nullptr || line->empty()) {
        return nullptr;
    }
    const std::int32_t index = line->currentIndex;
    return index >= 0 && static_cast<std::size_t>(index) < line->size()
               ? &(*line)[static_cast<std::size_t>(index)]
               : nullptr;
}

draw::TraceInput WaveformView::traceInput(const MeasuringPoint& point) const {
    const DocumentData& held = document_.data();
    draw::TraceInput input;
    input.samples = point.samples;
    input.sampleCount = held.shownParameters().sampleCount;
    input.dt = point.record.samplingInterval();
    input.delay = point.delay;
    input.gain = point.gain;
    input.arrivalIndex = point.arrivalIndex;
    input.amplitudeIndex = point.amplitudeIndex;
    input.shift = transitTime(point, held.lineCorrection(), held.correctionAll).shift;
    input.distance = point.distance;
    input.amplitudeZoom = draw::amplitudeZoomAt(zoomPosition_);
    input.crossingLine = !held.showingNonCrossing;
    input.hoverX = hoverX_;
    return input;
}

void WaveformView::paintEvent(QPaintEvent*) {
    if (showingTime_ != document_.timeDomain) {
        followMode();
    }
    QPainter painter(this);
    draw::DisplayStyle style;
    style.panelColor = palette().color(QPalette::Button);
    MeasuringPoint* point = currentPoint();
    if (point == nullptr) {
        painter.fillRect(displayRect(), draw::kPaperColor);
        return;
    }
    // A point shown for the first time with no gain gets the gain a table would give it.
    if (point->gain == 0.0f) {
        point->gain = 100.0f;
    }
    const auto trace = traceInput(*point);
    if (point != cursorPoint_) {
        spectrumCursor_.reset();
        cursorPoint_ = point;
    }
    if (document_.timeDomain) {
        drawTrace(painter, displayRect(), trace, style);
        point->arrivalIndex = std::max(point->arrivalIndex, 0);
    } else {
        draw::SpectrumInput input;
        input.spectrum = Spectrum(point->samples, trace.sampleCount, trace.dt, refinement_);
        input.refine = refinement_;
        input.dt = trace.dt;
        input.crossingLine = trace.crossingLine;
        input.cursorBin = spectrumCursor_;
        input.hoverX = hoverX_;
        drawSpectrum(painter, displayRect(), input, style);
        point->arrivalIndex = std::max(point->arrivalIndex, 1);
    }
}

void WaveformView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = event->position();
    const std::optional<double> hover = draw::overPlot(displayRect(), position)
                                            ? std::optional<double>(position.x())
                                            : std::nullopt;
    if (hover != hoverX_) {
        hoverX_ = hover;
        update();
    }
}

void WaveformView::leaveEvent(QEvent*) {
    hoverX_.reset();
    update();
}

void WaveformView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !draw::overPlot(displayRect(), event->position())) {
        return;
    }
    MeasuringPoint* point = currentPoint();
    if (point == nullptr) {
        return;
    }
    if (document_.timeDomain) {
        const auto input = traceInput(*point);
        const draw::TraceGeometry geometry = draw::traceGeometry(displayRect(), input);
        if (const auto sample = draw::traceSampleAtX(geometry, input, event->position().x())) {
            PickArrival(document_, *sample);
            document_.RefreshAllViews();
        }
    } else {
        spectrumCursor_ =
            draw::spectrumBinAtX(draw::spectrumGeometry(displayRect()), event->position().x());
        update();
    }
}

} // namespace crackdepth::app
