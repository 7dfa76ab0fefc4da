#include "views/waveform_view.h"

#include "document/document.h"

namespace crackdepth::app {

WaveformView::WaveformView(Document& document, QWidget* parent)
    : QWidget(parent), document_(document) {}

} // namespace crackdepth::app
