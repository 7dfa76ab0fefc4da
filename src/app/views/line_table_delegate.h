// How the line table draws and explains its cells: a selected row keeps the colours of its
// texts (orange crossing data, red reversal rows) over a light highlight, and a cell whose
// text does not fit shows the whole text in a tool tip.
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace crackdepth::app {

// The selection colour of the line table: light enough that black, orange and red texts
// stay readable on it.
inline constexpr QRgb kLineTableHighlight = 0xffcce4f7;

class LineTableDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Gives the view the light selection colour, in active and inactive windows alike, and
    // makes this delegate draw its cells.
    static void install(QAbstractItemView& view);

    // True when the cell's text is drawn shortened.
    static bool isTruncated(const QAbstractItemView& view, const QModelIndex& index);

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace crackdepth::app
