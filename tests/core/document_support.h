// Shared by the tests of the document: a listener that records every announced change, and
// the document's data in one byte sequence, to show that reading changes nothing and that
// undo brings back exactly what was there.
#pragma once

#include "core/data/line_block.h"
#include "core/data/measurement_file.h"
#include "core/document/model/document.h"
#include "core/document/model/line_loading.h"

#include <cstdint>
#include <vector>

namespace crackdepth::testing {

struct EventLog final : DocumentListener {
    std::vector<DocumentChange> changes;

    void documentChanged(const DocumentChange& change) override { changes.push_back(change); }
    bool saw(DocumentChange::Flag flag) const {
        for (const DocumentChange& change : changes) {
            if (change.has(flag)) {
                return true;
            }
        }
        return false;
    }
};

enum class Selection { Included, Left };

// Every line block as the files store it, then the corrections, the selection (unless left
// out: selections are not edits) and the project information: whatever a document holds that
// a save or a view could show.
inline std::vector<std::uint8_t> serialise(const DocumentData& data,
                                           Selection selection = Selection::Included) {
    std::vector<std::uint8_t> bytes;
    const auto put = [&bytes](const void* from, std::size_t size) {
        const auto* begin = static_cast<const std::uint8_t*>(from);
        bytes.insert(bytes.end(), begin, begin + size);
    };
    const auto line = [&](const TestParameters& header, const PointList* points) {
        if (points == nullptr) {
            put("-", 1);
            return;
        }
        WriteLineBlock(bytes, header, *points);
        for (std::size_t i = 0; i < points->size(); ++i) {
            // What a block does not store: the working waveform beside the backup, the
            // per-point shift and the keep flag of the session.
            const MeasuringPoint& point = (*points)[i];
            put(point.originalSamples.data(), point.originalSamples.size() * sizeof(Sample));
            put(&point.timeShift, sizeof point.timeShift);
            put(&point.amplitudeIndex, sizeof point.amplitudeIndex);
        }
        if (selection == Selection::Included) {
            put(&points->currentIndex, sizeof points->currentIndex);
        }
    };
    line(data.nonCrossingParameters, data.nonCrossingList.get());
    for (std::size_t k = 0; k < data.crossingLists.size(); ++k) {
        line(data.crossingParameters[k], data.crossingLists[k].get());
        put(&data.crossingCorrections[k], sizeof(float));
    }
    line(data.rawCrossingParameters, data.rawCrossingList.get());
    put(&data.correctionAll, sizeof data.correctionAll);
    put(&data.correctionNonCrossing, sizeof data.correctionNonCrossing);
    if (selection == Selection::Included) {
        put(&data.currentTab, sizeof data.currentTab);
        put(&data.currentCrossingEntry, sizeof data.currentCrossingEntry);
        put(&data.shown, sizeof data.shown);
    }
    for (const std::string& text : data.projectInfo.texts) {
        put(text.data(), text.size());
        put("|", 1);
    }
    put(&data.projectInfo.locked, sizeof data.projectInfo.locked);
    return bytes;
}

// A measurement file's lines as an open leaves them (a raw crossing file after `nonCrossing`),
// for a test to change before a document takes them with Document::Load.
inline DocumentData readDocument(const std::string& path, const std::string& nonCrossing = {}) {
    DocumentData data;
    MeasurementFile file;
    OpenFailure failure;
    if (!nonCrossing.empty() && openMeasurementFile(nonCrossing, file, failure)) {
        LoadNonCrossingLine(data, std::move(file.lines[0]), nonCrossing);
    }
    if (!openMeasurementFile(path, file, failure)) {
        return data;
    }
    switch (file.kind) {
    case FileKind::NonCrossingRaw:
        LoadNonCrossingLine(data, std::move(file.lines[0]), path);
        break;
    case FileKind::CrossingRaw:
        LoadRawCrossingLine(data, std::move(file.lines[0]), path);
        break;
    case FileKind::Result:
        LoadResultLines(data, {std::move(file.lines), std::move(file.projectBlock)}, path);
        break;
    }
    return data;
}

} // namespace crackdepth::testing
