#include "core/document/model/line_loading.h"

#include "core/common/utf.h"
#include "core/data/amplitude.h"
#include "core/data/measurement_file.h"

#include <algorithm>

namespace crackdepth {
namespace {

float firstInterval(const PointList& points) {
    return points.empty() ? 0.0f : points[0].record.samplingInterval();
}

void nameCurrentFile(PathFields& paths, const std::string& name) {
    paths.currentFileName = name;
    paths.currentBaseName = withoutLastUnits(name, 4);
}

} // namespace

void SettleLine(PointList& line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        MeasuringPoint& point = line[i];
        point.gain = effectiveGain(point.gain);
        point.arrivalIndex = std::max(point.arrivalIndex, 0);
    }
}

bool sameLineGeometry(const TestParameters& nonCrossing, const PointList& nonCrossingPoints,
                      const TestParameters& crossing, const PointList& crossingPoints) {
    return nonCrossing.originOffset == crossing.originOffset &&
           nonCrossing.firstSpacing == crossing.firstSpacing &&
           nonCrossing.stepPartA == crossing.stepPartA &&
           nonCrossing.stepPartB == crossing.stepPartB &&
           firstInterval(nonCrossingPoints) == firstInterval(crossingPoints);
}

void LoadNonCrossingLine(DocumentData& data, LineData line, const std::string& path) {
    SettleLine(line.points);
    data.nonCrossingList = std::make_unique<PointList>(std::move(line.points));
    data.nonCrossingParameters = std::move(line.header);
    applyReferenceDistance(data.nonCrossingParameters, *data.nonCrossingList);
    data.shown = ShownLine::NonCrossing;
    const std::string name = fileNameOf(path);
    data.paths.nonCrossingName = name;
    data.paths.nonCrossingPath = path;
    nameCurrentFile(data.paths, name);
}

void LoadRawCrossingLine(DocumentData& data, LineData line, const std::string& path) {
    SettleLine(line.points);
    for (std::size_t i = 0; i < line.points.size(); ++i) {
        line.points[i].kept = 1;
    }
    if (data.crossingLists.empty()) {
        data.rawCrossingList = std::make_unique<PointList>(std::move(line.points));
        data.rawCrossingParameters = std::move(line.header);
        data.currentCrossingEntry = 0;
    } else {
        // Over a result file the line takes the place of the current crossing line only, so
        // that it has a tab among the result's cracks and the other cracks stay.
        const std::size_t entry =
            std::min(data.currentCrossingEntry, data.crossingLists.size() - 1);
        data.crossingLists[entry] = std::make_unique<PointList>(std::move(line.points));
        data.crossingParameters[entry] = std::move(line.header);
        data.crossingCorrections[entry] = 0.0f;
        data.currentCrossingEntry = entry;
    }
    const std::string name = fileNameOf(path);
    data.paths.crossingName = name;
    data.paths.crossingPath = path;
    nameCurrentFile(data.paths, name);
}

void LoadResultLines(DocumentData& data, ResultFileContents contents, const std::string& path) {
    data.clearLines();
    auto& lines = contents.lines;
    for (LineData& line : lines) {
        SettleLine(line.points);
    }
    data.nonCrossingList = std::make_unique<PointList>(std::move(lines[0].points));
    data.nonCrossingList->minDelay = data.nonCrossingList->computeMinDelay();
    data.nonCrossingParameters = std::move(lines[0].header);
    applyReferenceDistance(data.nonCrossingParameters, *data.nonCrossingList);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        auto list = std::make_unique<PointList>(std::move(lines[k].points));
        list->minDelay = list->computeMinDelay();
        data.crossingLists.push_back(std::move(list));
        data.crossingParameters.push_back(std::move(lines[k].header));
        // Starts at 0 like the non-crossing correction, so a saved and reopened file shows
        // the transit times it was saved with.
        data.crossingCorrections.push_back(0.0f);
    }
    data.projectBlock = std::move(contents.projectBlock);
    data.projectBlock.copyInto(data.projectInfo);
    data.shown = ShownLine::NonCrossing;
    data.currentTab = 0;
    data.currentCrossingEntry = 0;
    data.correctionAll = 0;
    data.correctionNonCrossing = 0;
    const std::string name = fileNameOf(path);
    data.paths = {name, path, name, path, name, withoutLastUnits(name, 4)};
}

} // namespace crackdepth
