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

    std::int32_t rowHeight() const { return rowHeight_; }
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

    Document& document_;
    AnalysisCache& analysis_;
    std::int32_t rowHeight_ = draw::kInitialRowHeight;
    bool fitRows_ = false;
};

} // namespace crackdepth::app
