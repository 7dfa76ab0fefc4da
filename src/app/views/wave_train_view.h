// The wave-train layout of the line view: every point's waveform stacked by distance, the
// current point in red; a click selects a point, the wheel changes the row height.
#pragma once

#include "core/document/commands/point_editing.h"
#include "draw/wave_train.h"

#include <QAbstractScrollArea>

namespace crackdepth {
class Document;
}

namespace crackdepth::app {

class WaveTrainView final : public QAbstractScrollArea {
    Q_OBJECT

public:
    WaveTrainView(Document& document, PointClipboard& clipboard, QWidget* parent = nullptr);
    // The rows are fitted to the height at the next paint (a file was opened).
    void fitRows() { fitRows_ = true; }
    std::int32_t rowHeight() const { return rowHeight_; }
    // The point menu beside the current point's row, as the keyboard opens it.
    void showMenuAtCurrent();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::int32_t pointCount() const;
    void updateScrollRange();
    void showMenu(const QPoint& position);

    Document& document_;
    PointClipboard& clipboard_;
    std::int32_t rowHeight_ = draw::kInitialRowHeight;
    bool fitRows_ = false;
};

} // namespace crackdepth::app
