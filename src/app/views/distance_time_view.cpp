#include "app/views/distance_time_view.h"

#include "app/frame/analysis_cache.h"
#include "core/document/document.h"
#include "core/document/line_tabs.h"
#include "core/document/picking.h"
#include "draw/row_zoom.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

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
        fitRows_ = false;
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

void DistanceTimeView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const draw::PlotInput input = plotInput();
    updateScrollRange(input);
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
    rowHeight_ = draw::rowHeightAfterWheel(rowHeight_, notches);
    const draw::PlotInput input = plotInput();
    updateScrollRange(input);
    const int content = input.axis.usable() ? draw::plotContentHeight(input.axis, rowHeight_) : 0;
    verticalScrollBar()->setValue(draw::scrollAfterRowHeightChange(verticalScrollBar()->value(),
                                                                   content, viewport()->height()));
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
