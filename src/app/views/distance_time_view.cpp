#include "app/views/distance_time_view.h"

#include "app/frame/analysis_cache.h"
#include "core/document/commands/picking.h"
#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"
#include "draw/row_zoom.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace crackdepth::app {

DistanceTimeView::DistanceTimeView(Document& document, AnalysisCache& analysis, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document), analysis_(analysis) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::ClickFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
}

draw::PlotInput DistanceTimeView::plotInput() {
    const DocumentData& held = document_.data();
    if (!held.nonCrossingList) {
        return {};
    }
    draw::PlotInput input =
        draw::plotInputOf(*held.nonCrossingList, held.nonCrossingParameters,
                          held.nonCrossingCorrections(), analysis_.current().fit);
    if (fitRows_ && viewport()->height() > 0) {
        rowHeight_ = draw::fitPlotRowHeight(viewport()->height(), input.axis);
        fittedHeight_ = rowHeight_;
        fitRows_ = false;
        shownCurrent_ = -1; // scroll to the current point of the new line
    }
    input.rowHeight = rowHeight_;
    input.scroll = verticalScrollBar()->value();
    return input;
}

void DistanceTimeView::updateScrollRange(const draw::PlotInput& input) {
    const int content = input.axis.usable() ? draw::plotContentHeight(input.axis, rowHeight_) : 0;
    const QSignalBlocker blocker(verticalScrollBar());
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void DistanceTimeView::keepCurrentInView(const draw::PlotInput& input, bool always) {
    if (!always && input.currentIndex == shownCurrent_) {
        return;
    }
    shownCurrent_ = input.currentIndex;
    const auto y = draw::plotPointY(input, input.currentIndex);
    if (!y) {
        return;
    }
    // The current point's circle and a row's worth around it.
    const int reach = static_cast<int>(std::ceil(std::max(input.rowHeight, 12.0)));
    const int top = static_cast<int>(std::floor(*y)) - reach;
    const int bottom = static_cast<int>(std::ceil(*y)) + reach;
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker blocker(bar);
    if (top < bar->value()) {
        bar->setValue(top);
    } else if (bottom > bar->value() + viewport()->height()) {
        bar->setValue(bottom - viewport()->height());
    }
}

void DistanceTimeView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    draw::PlotInput input = plotInput();
    updateScrollRange(input);
    keepCurrentInView(input, false);
    input.scroll = verticalScrollBar()->value();
    if (!document_.data().nonCrossingList) {
        painter.fillRect(viewport()->rect(), draw::kPaperColor);
        return;
    }
    draw::drawDistanceTimePlot(painter, viewport()->rect(), input, draw::DisplayStyle{});
}

void DistanceTimeView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) {
        return;
    }
    rowHeight_ = draw::plotRowHeightAfterWheel(rowHeight_, notches, fittedHeight_);
    const draw::PlotInput input = plotInput();
    updateScrollRange(input);
    const int content = input.axis.usable() ? draw::plotContentHeight(input.axis, rowHeight_) : 0;
    verticalScrollBar()->setValue(draw::scrollAfterRowHeightChange(verticalScrollBar()->value(),
                                                                   content, viewport()->height()));
    // The point the operator works on stays in sight however the rows change.
    keepCurrentInView(plotInput(), true);
    viewport()->update();
}

void DistanceTimeView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !document_.data().nonCrossingList) {
        return;
    }
    const draw::PlotInput input = plotInput();
    const auto point =
        draw::plotPointAt(event->position().y(), input, currentMethod(document_.data()));
    if (point) {
        ShowNonCrossingPoint(document_, *point);
    }
}

} // namespace crackdepth::app
