#include "views/distance_time_view.h"

#include "document/document.h"

namespace crackdepth::app {

DistanceTimeView::DistanceTimeView(Document& document, QWidget* parent)
    : QWidget(parent), document_(document) {}

} // namespace crackdepth::app
