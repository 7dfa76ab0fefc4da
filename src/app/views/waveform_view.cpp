#include "app/views/waveform_view.h"

#include "app/views/suggestion_actions.h"
#include "core/analysis/transit_time.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/suggested_picks.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/view_state.h"
#include "core/signal/spectrum.h"
#include "draw/waveform_ticks.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>

namespace crackdepth::app {

WaveformView::WaveformView(Document& document, const ViewState& view, QWidget* parent)
    : QWidget(parent), document_(document), view_(view), slider_(new QSlider(Qt::Vertical, this)),
      zoomPosition_(draw::kZoomSliderStart),
      refinement_(draw::refinementAt(draw::kRefineSliderStart)) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumHeight(120);
    slider_->setTickPosition(QSlider::TicksBothSides);
    // The smallest position at the top, as both sliders are laid out: pushing the zoom
    // slider up magnifies the trace, pushing the refinement slider up refines more. Keys
    // and the wheel move the handle the way they point.
    slider_->setInvertedAppearance(true);
    slider_->setInvertedControls(true);
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
    showingTime_ = view_.timeDomain;
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

const MeasuringPoint* WaveformView::currentPoint() const {
    return crackdepth::currentPoint(document_.data());
}

void WaveformView::refresh() {
    suggestion();
    update();
}

std::optional<OnsetSuggestion> WaveformView::suggestion() const {
    if (suggestionRevision_ != document_.revision()) {
        const MeasuringPoint* point = currentPoint();
        suggestion_ = point != nullptr ? suggestionFor(*point) : std::nullopt;
        suggestionRevision_ = document_.revision();
    }
    return suggestion_;
}

std::unique_ptr<QMenu> WaveformView::contextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    addSuggestionActions(*menu, document_);
    return menu;
}

void WaveformView::contextMenuEvent(QContextMenuEvent* event) {
    if (currentPoint() == nullptr) {
        return;
    }
    contextMenu()->exec(event->globalPos());
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
    input.crossingLine = !held.showingNonCrossing();
    input.hoverX = hoverX_;
    if (const auto suggested = suggestion()) {
        input.suggestionIndex = suggested->index;
    }
    input.filterDelay = pointFilterDelayUs(point, input.sampleCount);
    return input;
}

void WaveformView::paintEvent(QPaintEvent*) {
    if (showingTime_ != view_.timeDomain) {
        followMode();
    }
    QPainter painter(this);
    draw::DisplayStyle style;
    style.panelColor = palette().color(QPalette::Button);
    const MeasuringPoint* point = currentPoint();
    if (point == nullptr) {
        painter.fillRect(displayRect(), draw::kPaperColor);
        return;
    }
    const auto trace = traceInput(*point);
    if (point != cursorPoint_) {
        spectrumCursor_.reset();
        cursorPoint_ = point;
    }
    if (view_.timeDomain) {
        drawTrace(painter, displayRect(), trace, style);
    } else {
        draw::SpectrumInput input;
        input.spectrum = Spectrum(point->samples, trace.sampleCount, trace.dt, refinement_);
        input.refine = refinement_;
        input.dt = trace.dt;
        input.crossingLine = trace.crossingLine;
        input.cursorBin = spectrumCursor_;
        input.hoverX = hoverX_;
        drawSpectrum(painter, displayRect(), input, style);
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
    const MeasuringPoint* point = currentPoint();
    if (point == nullptr) {
        return;
    }
    if (view_.timeDomain) {
        const auto input = traceInput(*point);
        const draw::TraceGeometry geometry = draw::traceGeometry(displayRect(), input);
        if (const auto sample = draw::traceSampleAtX(geometry, input, event->position().x())) {
            PickArrival(document_, *sample);
        }
    } else {
        spectrumCursor_ =
            draw::spectrumBinAtX(draw::spectrumGeometry(displayRect()), event->position().x());
        update();
    }
}

} // namespace crackdepth::app
