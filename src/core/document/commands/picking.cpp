#include "core/document/commands/picking.h"

#include "core/analysis/transit_time.h"
#include "core/common/conversions.h"
#include "core/document/commands/suggested_picks.h"
#include "core/document/model/document.h"
#include "core/document/model/points_edit.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace crackdepth {

void PickArrival(Document& document, std::int32_t sampleIndex) {
    const DocumentData& data = document.data();
    const auto id = data.shownId();
    const PointList* line = data.shownList();
    if (!id || line == nullptr || line->empty()) {
        return;
    }
    const auto index = static_cast<std::size_t>(
        std::clamp(line->currentIndex, 0, static_cast<std::int32_t>(line->size()) - 1));
    const std::int32_t shift =
        transitTime((*line)[index], data.lineCorrection(), data.correctionAll).shift;
    const auto arrival = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(static_cast<std::int64_t>(sampleIndex) - shift, 0, INT32_MAX));
    document.perform(std::make_unique<PointsEdit>(
        kPickArrivalName, DocumentChange{0, *id, static_cast<std::int32_t>(index)},
        std::vector<PointRef>{{*id, index}}, [id = *id, index, arrival](DocumentData& held) {
            setPick((*held.line(id))[index], arrival);
        }));
}

void ShowNonCrossingPoint(Document& document, std::int32_t index) {
    const PointList* line = document.data().nonCrossingList.get();
    if (line == nullptr || index < 0 || static_cast<std::size_t>(index) >= line->size()) {
        return;
    }
    document.SelectPoint(kNonCrossingLine, index);
    document.ShowLine(ShownLine::NonCrossing);
}

bool ClickTableRow(Document& document, std::int32_t row) {
    const auto id = document.data().shownId();
    const PointList* line = document.data().shownList();
    if (row <= 0 || !id || line == nullptr || line->empty()) {
        return false;
    }
    document.SelectPoint(*id, row - 1);
    return true;
}

} // namespace crackdepth
