// The waveform view: the current point of the shown line as a time trace with the
// first-arrival cursor, or as its power spectrum; a click re-picks the arrival (or sets the
// spectrum cursor), the pointer shows read-outs, and the slider at the right edge zooms the
// amplitude or sets the spectrum refinement. The suggested first arrival of the point is
// drawn where it differs from the pick, and the context menu adopts it.
#pragma once

#include "core/analysis/onset_picker.h"
#include "draw/waveform_display.h"

#include <QWidget>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>

class QMenu;
class QSlider;

namespace crackdepth {
class Document;
struct MeasuringPoint;
struct ViewState;
} // namespace crackdepth

namespace crackdepth::app {

class WaveformView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSliderWidth = 25;

    WaveformView(Document& document, const ViewState& view, QWidget* parent = nullptr);

    // The drawing rectangle (the client area without the slider column).
    QRectF displayRect() const;
    QSlider* slider() const { return slider_; }
    std::int32_t refinement() const { return refinement_; }

    // Takes the document as it is now (the window calls it after every change): the
    // suggestion of the current point, and a repaint.
    void refresh();
    // The context menu: "采用建议初至" and "本测线全部采用建议初至", each enabled when it
    // would change a pick and run when triggered.
    std::unique_ptr<QMenu> contextMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const MeasuringPoint* currentPoint() const;
    draw::TraceInput traceInput(const MeasuringPoint& point) const;
    void onSliderMoved(int position);
    void followMode();
    // The suggestion of the current point, computed once per change of the document.
    std::optional<OnsetSuggestion> suggestion() const;

    Document& document_;
    const ViewState& view_;
    QSlider* slider_;
    int zoomPosition_;
    std::int32_t refinement_;
    std::optional<double> hoverX_;
    std::optional<std::int32_t> spectrumCursor_;
    const MeasuringPoint* cursorPoint_ = nullptr; // the point the spectrum cursor belongs to
    bool showingTime_ = true;
    mutable std::optional<OnsetSuggestion> suggestion_;
    mutable std::uint64_t suggestionRevision_ = std::numeric_limits<std::uint64_t>::max();
};

} // namespace crackdepth::app
