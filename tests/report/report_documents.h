// Documents for the report tests and benchmarks: a result file loaded as the command-line tool
// loads it, the demo measurement with many long cracks, and a document without crossing lines.
#pragma once

#include "core/data/measurement_file.h"
#include "core/document/model/document_data.h"
#include "core/document/model/line_loading.h"

#include <memory>
#include <string>
#include <vector>

namespace crackdepth::report::testing {

// Empty when the file cannot be read.
inline DocumentData loadResultDocument(const std::string& path) {
    MeasurementFile file;
    OpenFailure failure;
    DocumentData data;
    if (openMeasurementFile(path, file, failure)) {
        LoadResultLines(data, {std::move(file.lines), std::move(file.projectBlock)}, path);
    }
    return data;
}

// `data` with its crossing lines replaced by `cracks` lines of `points` points, each a copy of
// its first crossing line repeated at ever larger distances.
inline DocumentData withManyCracks(DocumentData data, std::size_t cracks, std::size_t points) {
    const PointList& model = *data.crossingLists.front();
    std::vector<std::unique_ptr<PointList>> lines;
    for (std::size_t c = 0; c < cracks; ++c) {
        auto line = std::make_unique<PointList>();
        line->sampleCount = model.sampleCount;
        for (std::size_t k = 0; k < points; ++k) {
            const MeasuringPoint& source = model[k % model.size()];
            line->Append(source.samples, 50.0f * static_cast<float>(k + 1));
            MeasuringPoint& copy = *line->cursor();
            const float distance = copy.distance;
            copy = source;
            copy.distance = distance;
        }
        lines.push_back(std::move(line));
    }
    const TestParameters header = data.crossingParameters.front();
    data.crossingLists = std::move(lines);
    data.crossingParameters.assign(cracks, header);
    data.crossingCorrections.assign(cracks, 0.0f);
    return data;
}

// `data` with its non-crossing line alone, shown.
inline DocumentData withoutCrossingLines(DocumentData data) {
    data.crossingLists.clear();
    data.crossingParameters.clear();
    data.crossingCorrections.clear();
    data.currentTab = 0;
    data.shown = ShownLine::NonCrossing;
    return data;
}

} // namespace crackdepth::report::testing
