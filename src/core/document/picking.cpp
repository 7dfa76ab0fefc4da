#include "core/document/picking.h"

#include "core/analysis/transit_time.h"
#include "core/common/conversions.h"
#include "core/document/document.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace crackdepth {

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
