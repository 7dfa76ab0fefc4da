#include "app/views/line_table_delegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace crackdepth::app {

void LineTableDelegate::install(QAbstractItemView& view) {
    QPalette palette = view.palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, QColor::fromRgb(kLineTableHighlight));
        palette.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    view.setPalette(palette);
    view.setItemDelegate(new LineTableDelegate(&view));
}

void LineTableDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // The style draws a selected cell's text in the highlighted-text colour; the cell's own
    // colour carries meaning (crossing data, reversal rows), so it stays.
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (foreground.canConvert<QBrush>()) {
        option->palette.setBrush(QPalette::HighlightedText, qvariant_cast<QBrush>(foreground));
    }
}

bool LineTableDelegate::isTruncated(const QAbstractItemView& view, const QModelIndex& index) {
    const auto* delegate = qobject_cast<const LineTableDelegate*>(view.itemDelegateForIndex(index));
    if (delegate == nullptr || !index.isValid()) {
        return false;
    }
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.rect = view.visualRect(index);
    delegate->initStyleOption(&option, index);
    // The cells carry neither icon nor check box: the text has the cell's width less the
    // margins the style keeps on either side when it draws it.
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    const int room = option.rect.width() - 2 * margin;
    return option.fontMetrics.horizontalAdvance(option.text) > room;
}

bool LineTableDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    if (isTruncated(*view, index)) {
        QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(),
                           view->viewport(), option.rect);
    } else {
        QToolTip::hideText();
    }
    return true;
}

} // namespace crackdepth::app
