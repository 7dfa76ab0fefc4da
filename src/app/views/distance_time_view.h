// The distance–time plot of the non-crossing line: rows that scroll and zoom with the wheel,
// a click on a row selects its point (the two-point method's second point).
#pragma once

#include "draw/distance_time_plot.h"

#include <QAbstractScrollArea>

namespace crackdepth {
class Document;
}
namespace crackdepth::app {
class AnalysisCache;
}

namespace crackdepth::app {

class DistanceTimeView final : public QAbstractScrollArea {
    Q_OBJECT

public:
    DistanceTimeView(Document& document, AnalysisCache& analysis, QWidget* parent = nullptr);

    double rowHeight() const { return rowHeight_; }
    // The plot as it would be drawn now (fitting the rows on the first paint after an open).
    draw::PlotInput plotInput();
    // The rows are fitted to the height at the next paint (a file was opened).
    void fitRows() { fitRows_ = true; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateScrollRange(const draw::PlotInput& input);
    // Scrolls the current point into view when it changed since the last paint, or always.
    void keepCurrentInView(const draw::PlotInput& input, bool always);

    Document& document_;
    AnalysisCache& analysis_;
    double rowHeight_ = draw::kInitialRowHeight;
    double fittedHeight_ = 0; // the rows fitted to the pane at the last open; 0 before
    bool fitRows_ = false;
    std::int32_t shownCurrent_ = -1; // the current point at the last paint
};

} // namespace crackdepth::app
