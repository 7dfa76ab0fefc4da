#pragma once

#include <QWidget>

namespace crackdepth {
class Document;
}

namespace crackdepth::app {

class WaveformView final : public QWidget {
    Q_OBJECT

public:
    WaveformView(Document& document, QWidget* parent = nullptr);

private:
    Document& document_;
};

} // namespace crackdepth::app
