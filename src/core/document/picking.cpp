#include "core/document/picking.h"

#include "core/analysis/transit_time.h"
#include "core/common/conversions.h"
#include "core/document/document.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace crackdepth {

std::int32_t nearestSampleIndex(double time, float delay, float dt, std::int32_t n) {
    if (!(dt > 0.0f) || !std::isfinite(dt) || n < 1) {
        return 0;
    }
    const double position = (time - static_cast<double>(delay)) / static_cast<double>(dt);
    // Round half up, so that a click exactly between two samples takes the later one.
    const std::int64_t nearest = truncToInt32(std::floor(position + 0.5));
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(nearest, 0, n - 1));
}

void PickArrival(Document& document, std::int32_t sampleIndex) {
    DocumentData& data = document.data();
    if (data.shownList == nullptr || data.shownList->empty()) {
        return;
    }
    MeasuringPoint* point = data.shownList->PointAt(data.shownList->currentIndex);
    const std::int32_t shift = transitTime(*point, data.lineCorrection(), data.correctionAll).shift;
    point->arrivalIndex = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        static_cast<std::int64_t>(sampleIndex) - shift, INT32_MIN, INT32_MAX));
    point->amplitudeIndex = point->arrivalIndex;
    document.SetModified(true);
    document.RepaintContentViews();
}

} // namespace crackdepth

namespace crackdepth {

void ShowNonCrossingPoint(Document& document, std::int32_t index) {
    DocumentData& data = document.data();
    if (!data.nonCrossingList || index < 0 ||
        static_cast<std::size_t>(index) >= data.nonCrossingList->size()) {
        return;
    }
    data.nonCrossingList->currentIndex = index;
    data.shownList = data.nonCrossingList.get();
    data.showingNonCrossing = true;
    document.RepaintContentViews();
}

} // namespace crackdepth
