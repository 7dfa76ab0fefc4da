#include "app/views/line_tab_bar.h"

#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"

namespace crackdepth::app {

LineTabBar::LineTabBar(Document& document, QWidget* parent) : QTabBar(parent), document_(document) {
    setExpanding(false);
    setDrawBase(true);
    setFixedHeight(28);
    connect(this, &QTabBar::currentChanged, this, &LineTabBar::onCurrentChanged);
}

void LineTabBar::rebuild() {
    rebuilding_ = true;
    const std::vector<std::string> labels = tabLabels(document_.data());
    while (count() > static_cast<int>(labels.size())) {
        removeTab(count() - 1);
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const QString label = QString::fromStdString(labels[i]);
        if (static_cast<int>(i) < count()) {
            setTabText(static_cast<int>(i), label);
        } else {
            addTab(label);
        }
    }
    if (count() > 0) {
        setCurrentIndex(std::clamp(document_.data().currentTab, 0, count() - 1));
    }
    colourLabels();
    rebuilding_ = false;
}

void LineTabBar::colourLabels() {
    for (int i = 0; i < count(); ++i) {
        setTabTextColor(i, i == currentIndex() ? QColor(255, 0, 0)
                                               : palette().color(QPalette::WindowText));
    }
}

void LineTabBar::onCurrentChanged(int index) {
    colourLabels();
    if (rebuilding_ || index < 0) {
        return;
    }
    document_.SelectTab(index);
}

} // namespace crackdepth::app
