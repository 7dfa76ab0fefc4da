#include "app/views/line_view.h"

#include "app/frame/analysis_cache.h"
#include "app/views/line_table_delegate.h"
#include "app/views/suggestion_actions.h"
#include "app/views/wave_train_view.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/point_editing.h"
#include "core/document/model/document.h"
#include "core/document/model/view_state.h"

#include <QAction>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QTableWidget>
#include <functional>

namespace crackdepth::app {
namespace {

QColor qtColour(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The keys of the point menu's entries, in menu order, shown beside them: the clipboard keys
// and Delete for the point itself, R and Shift+R for the reversal point, X (cross out) and K
// for the manual decisions.
const std::array<QKeySequence, 7> kPointKeys{
    QKeySequence(Qt::CTRL | Qt::Key_C),
    QKeySequence(Qt::CTRL | Qt::Key_V),
    QKeySequence(Qt::Key_Delete),
    QKeySequence(Qt::Key_R),
    QKeySequence(Qt::SHIFT | Qt::Key_R),
    QKeySequence(Qt::Key_X),
    QKeySequence(Qt::Key_K),
};
// The wave train offers the first five entries, the table all seven.
constexpr std::size_t kTrainEntries = 5;

} // namespace

LineView::LineView(Document& document, AnalysisCache& analysis, const ViewState& view,
                   QWidget* parent)
    : QStackedWidget(parent), document_(document), analysis_(analysis), view_(view),
      table_(new QTableWidget), waveTrain_(nullptr) {
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->horizontalHeader()->setMinimumSectionSize(70);
    table_->verticalHeader()->setVisible(false);
    table_->setShowGrid(true);
    table_->setStyleSheet(QStringLiteral("QTableWidget { gridline-color: #d8d8d8; }"));
    LineTableDelegate::install(*table_);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_, &QTableWidget::customContextMenuRequested, this, &LineView::showContextMenu);
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (!filling_) {
            ClickTableRow(document_, row + 1);
        }
    });
    waveTrain_ = new WaveTrainView(document_, clipboard_);
    addWidget(table_);
    addWidget(waveTrain_);
    bindPointKeys();
}

void LineView::bindPointKeys() {
    for (std::size_t i = 0; i < kPointKeys.size(); ++i) {
        // While the table or the wave train has the focus, not elsewhere: Ctrl+C in a text
        // field of the information panel copies text.
        QWidget* owner = i < kTrainEntries ? static_cast<QWidget*>(this) : table_;
        auto* action = new QAction(owner);
        action->setShortcut(kPointKeys[i]);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, [this, i] { runPointCommand(i); });
        owner->addAction(action);
    }
}

bool LineView::runPointCommand(std::size_t entry) {
    switch (entry) {
    case 0:
        return CopyPoint(document_, clipboard_);
    case 1:
        return PastePoint(document_, clipboard_);
    case 2:
        return DeletePoint(document_);
    case 3:
        return SetReversalPoint(document_);
    case 4:
        return ClearReversalPoint(document_);
    case 5:
        return MarkManualExclude(document_);
    case 6:
        return MarkManualKeep(document_);
    default:
        return false;
    }
}

void LineView::showPointMenuAtCurrent() {
    if (currentWidget() == waveTrain_) {
        waveTrain_->showMenuAtCurrent();
        return;
    }
    if (table_->rowCount() == 0) {
        return;
    }
    const QModelIndexList selected = table_->selectionModel()->selectedRows();
    const int row = selected.isEmpty() ? std::max(table_->currentRow(), 0) : selected.first().row();
    const QModelIndex index = table_->model()->index(row, 0);
    table_->scrollTo(index);
    showContextMenu(table_->visualRect(index).center());
}

void LineView::refresh() {
    if (view_.waveTrainMode == 0) {
        setCurrentWidget(table_);
        fillTable();
    } else {
        setCurrentWidget(waveTrain_);
        waveTrain_->viewport()->update();
    }
}

void LineView::fillTable() {
    filling_ = true;
    const PointTable& table = analysis_.current().screenTable;
    // The same columns and rows: only the cells that changed are written, so that a step or a
    // re-pick on a long line touches a row, not the whole table.
    const bool sameShape = table.headers == filled_.headers &&
                           table.rows.size() == filled_.rows.size() &&
                           table_->rowCount() == static_cast<int>(table.rows.size());
    if (!sameShape) {
        table_->clear();
        table_->setColumnCount(static_cast<int>(table.headers.size()));
        table_->setRowCount(static_cast<int>(table.rows.size()));
        QStringList headers;
        for (const std::string& header : table.headers) {
            headers << QString::fromStdString(header);
        }
        table_->setHorizontalHeaderLabels(headers);
    }
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        if (sameShape && table.rows[r] == filled_.rows[r]) {
            continue;
        }
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            const TableCell& cell = table.rows[r][c];
            QTableWidgetItem* item = table_->item(static_cast<int>(r), static_cast<int>(c));
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignCenter);
                table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
            }
            item->setText(QString::fromStdString(cell.text));
            item->setForeground(qtColour(cell.textColour));
            item->setBackground(qtColour(cell.background));
        }
    }
    filled_ = table;
    if (table.currentRow >= 0) {
        table_->selectRow(table.currentRow);
    }
    filling_ = false;
}

void LineView::selectRow(int row) {
    if (row >= 1 && row <= table_->rowCount()) {
        filling_ = true;
        table_->selectRow(row - 1);
        filling_ = false;
    }
}

void LineView::showContextMenu(const QPoint& position) {
    const QModelIndex index = table_->indexAt(position);
    if (!index.isValid()) {
        return; // outside the cells: nothing
    }
    ClickTableRow(document_, index.row() + 1);
    selectRow(index.row() + 1);
    std::array<QAction*, 7> actions{};
    const auto menu = pointMenu(actions);
    runMenuChoice(menu->exec(table_->viewport()->mapToGlobal(position)), actions);
}

std::unique_ptr<QMenu> LineView::pointMenu(std::array<QAction*, 7>& actions) {
    const PointMenuEnabling enabling = pointMenuEnabling(document_.data(), clipboard_);
    auto menu = std::make_unique<QMenu>(this);
    std::size_t entry = 0;
    const auto add = [&menu, &entry](const char* text, bool enabled) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setEnabled(enabled);
        action->setShortcut(kPointKeys[entry++]);
        action->setShortcutVisibleInContextMenu(true);
        return action;
    };
    actions[0] = add(kCopyPointText, enabling.copy);
    actions[1] = add(kPastePointText, enabling.paste);
    actions[2] = add(kDeletePointText, enabling.remove);
    menu->addSeparator();
    actions[3] = add(kSetReversalText, enabling.setReversal);
    actions[4] = add(kClearReversalText, enabling.clearReversal);
    menu->addSeparator();
    actions[5] = add(kManualExcludeText, enabling.manualExclude);
    actions[6] = add(kManualKeepText, enabling.manualKeep);
    menu->addSeparator();
    addSuggestionActions(*menu, document_);
    return menu;
}

void LineView::runMenuChoice(QAction* chosen, const std::array<QAction*, 7>& actions) {
    if (chosen == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (chosen == actions[i]) {
            runPointCommand(i);
        }
    }
}

} // namespace crackdepth::app
