// The line view below the tab strip: the table of the shown line's points (distance, transit
// time, status, depth, amplitude), or the wave train of the line.
#pragma once

#include "core/document/commands/point_editing.h"
#include "core/document/model/line_table.h"

#include <QStackedWidget>
#include <array>
#include <memory>

class QAction;
class QMenu;
class QTableWidget;

namespace crackdepth::app {
class AnalysisCache;
class WaveTrainView;
} // namespace crackdepth::app

namespace crackdepth {
class Document;
struct ViewState;
} // namespace crackdepth

namespace crackdepth::app {

class LineView final : public QStackedWidget {
    Q_OBJECT

public:
    LineView(Document& document, AnalysisCache& analysis, const ViewState& view,
             QWidget* parent = nullptr);

    // Rebuilds the table from the analysis, or repaints the wave train.
    void refresh();
    // Selects table row `row` (0 is the header row) across all columns.
    void selectRow(int row);
    QTableWidget* table() const { return table_; }
    WaveTrainView* waveTrain() const { return waveTrain_; }

    // Runs the point-menu entry `chosen` (one of `actions`, in menu order); public so that
    // tests can drive the menu without a popup.
    void runMenuChoice(QAction* chosen, const std::array<QAction*, 7>& actions);
    // The table's context menu for the current point: the seven point entries (returned in
    // `actions`, for runMenuChoice), then "采用建议初至" and "本测线全部采用建议初至", which
    // run when triggered.
    std::unique_ptr<QMenu> pointMenu(std::array<QAction*, 7>& actions);
    PointClipboard& clipboard() { return clipboard_; }
    // The point menu (the table's, or the wave train's) at the current point, as Shift+F10
    // and the Menu key open it.
    void showPointMenuAtCurrent();

private:
    void fillTable();
    void showContextMenu(const QPoint& position);
    // Binds the keys of the point commands to the table and the wave train.
    void bindPointKeys();
    bool runPointCommand(std::size_t entry);

    Document& document_;
    AnalysisCache& analysis_;
    const ViewState& view_;
    QTableWidget* table_;
    WaveTrainView* waveTrain_;
    PointClipboard clipboard_; // the copied point, for the whole run
    bool filling_ = false;
    PointTable filled_; // what the table shows
};

} // namespace crackdepth::app
