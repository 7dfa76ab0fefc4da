#include "app/views/wave_train_view.h"

#include "core/document/commands/picking.h"
#include "core/document/model/document.h"
#include "core/document/panel_state/wave_train_menu.h"
#include "draw/row_zoom.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <functional>

namespace crackdepth::app {

WaveTrainView::WaveTrainView(Document& document, PointClipboard& clipboard, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document), clipboard_(clipboard) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
}

std::int32_t WaveTrainView::pointCount() const {
    const PointList* line = document_.data().shownList();
    return line == nullptr ? 0 : static_cast<std::int32_t>(line->size());
}

void WaveTrainView::updateScrollRange() {
    const int content = draw::trainContentHeight(pointCount(), rowHeight_);
    const QSignalBlocker blocker(verticalScrollBar());
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void WaveTrainView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const DocumentData& held = document_.data();
    if (held.shownList() == nullptr) {
        painter.fillRect(viewport()->rect(), draw::kPaperColor);
        return;
    }
    if (fitRows_ && viewport()->height() > 0) {
        rowHeight_ = draw::fitTrainRowHeight(viewport()->height(), pointCount(), rowHeight_);
        fitRows_ = false;
    }
    updateScrollRange();
    draw::WaveTrainInput input = draw::waveTrainInputOf(*held.shownList(), held.tabCorrections(),
                                                        !held.showingNonCrossing());
    input.rowHeight = rowHeight_;
    input.scroll = verticalScrollBar()->value();
    draw::drawWaveTrain(painter, viewport()->rect(), input, draw::DisplayStyle{});
}

void WaveTrainView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) {
        return;
    }
    rowHeight_ = draw::rowHeightAfterWheel(rowHeight_, notches);
    updateScrollRange();
    verticalScrollBar()->setValue(draw::scrollAfterRowHeightChange(
        verticalScrollBar()->value(), draw::trainContentHeight(pointCount(), rowHeight_),
        viewport()->height()));
    viewport()->update();
}

void WaveTrainView::mousePressEvent(QMouseEvent* event) {
    const auto point = draw::trainPointAt(event->position().y(), verticalScrollBar()->value(),
                                          rowHeight_, pointCount());
    if (!point) {
        return;
    }
    ClickTableRow(document_, *point + 1);
    if (event->button() == Qt::RightButton) {
        showMenu(event->position().toPoint());
    }
}

void WaveTrainView::showMenuAtCurrent() {
    const PointList* line = document_.data().shownList();
    if (line == nullptr || line->empty()) {
        return;
    }
    // Point i lies in row n − 1 − i from the top.
    const std::int32_t row = pointCount() - 1 - std::max(line->currentIndex, 0);
    const int y = row * rowHeight_ + rowHeight_ / 2 - verticalScrollBar()->value();
    showMenu(
        QPoint(viewport()->width() / 4, std::clamp(y, 0, std::max(viewport()->height() - 1, 0))));
}

void WaveTrainView::showMenu(const QPoint& position) {
    const std::vector<std::function<bool()>> commands{
        [this] { return CopyPoint(document_, clipboard_); },
        [this] { return PastePoint(document_, clipboard_); },
        [this] { return DeletePoint(document_); },
        [this] { return SetReversalPoint(document_); },
        [this] { return ClearReversalPoint(document_); },
    };
    const auto entries = trainMenuOf(pointMenuEnabling(document_.data(), clipboard_));
    QMenu menu(this);
    std::vector<QAction*> actions;
    for (const auto& entry : entries) {
        if (entry.separatorBefore) {
            menu.addSeparator();
        }
        QAction* action = menu.addAction(QString::fromUtf8(entry.text));
        action->setEnabled(entry.enabled);
        actions.push_back(action);
    }
    QAction* chosen = menu.exec(viewport()->mapToGlobal(position));
    for (std::size_t i = 0; i < actions.size() && i < commands.size(); ++i) {
        if (chosen == actions[i]) {
            commands[i]();
        }
    }
}

} // namespace crackdepth::app
