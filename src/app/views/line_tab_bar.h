// The strip of line tabs above the line view: the non-crossing line first, then one tab per
// crossing line; the selected tab's label is red.
#pragma once

#include <QTabBar>

namespace crackdepth {
class Document;
}

namespace crackdepth::app {

class LineTabBar final : public QTabBar {
    Q_OBJECT

public:
    explicit LineTabBar(Document& document, QWidget* parent = nullptr);

    // Refills the tabs from the document and selects its current tab.
    void rebuild();

private:
    void onCurrentChanged(int index);
    void colourLabels();

    Document& document_;
    bool rebuilding_ = false;
};

} // namespace crackdepth::app
