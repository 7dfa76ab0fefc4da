#pragma once

#include <QWidget>

namespace crackdepth {
class Document;
}

namespace crackdepth::app {

class DistanceTimeView final : public QWidget {
    Q_OBJECT

public:
    DistanceTimeView(Document& document, QWidget* parent = nullptr);

private:
    Document& document_;
};

} // namespace crackdepth::app
