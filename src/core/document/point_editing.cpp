#include "core/document/point_editing.h"

#include "core/analysis/crack_evaluation.h"
#include "core/document/line_tabs.h"

#include <algorithm>
#include <vector>

namespace crackdepth {
namespace {

// The index of the shown line's current point; none for an empty or missing line.
std::optional<std::size_t> currentPosition(const PointList* line) {
    if (line == nullptr || line->empty()) {
        return std::nullopt;
    }
    const auto last = static_cast<std::int32_t>(line->size()) - 1;
    return static_cast<std::size_t>(std::clamp(line->currentIndex, 0, last));
}

MeasuringPoint* shownPoint(DocumentData& data) {
    const auto at = currentPosition(data.shownList);
    return at ? &(*data.shownList)[*at] : nullptr;
}

// Statuses and reversal points belong to the selected crossing line, never to the non-crossing
// line (whose header slot 12 is the analysis method).
bool crossingLineShown(const DocumentData& data) {
    return data.currentTab > 0 && data.shownList != nullptr &&
           data.shownList == data.currentCrossingList &&
           data.shownList != data.nonCrossingList.get();
}

std::optional<std::size_t> crossingEntry(const DocumentData& data, const PointList* line) {
    for (std::size_t k = 0; k < data.crossingLists.size(); ++k) {
        if (data.crossingLists[k].get() == line) {
            return k;
        }
    }
    return std::nullopt;
}

// Every stored copy of a line's header: a crossing header lives in its entry and, while the
// line is current, in currentCrossingParameters too; both must change together.
std::vector<TestParameters*> headersOf(DocumentData& data, const PointList* line) {
    if (line == data.nonCrossingList.get()) {
        return {&data.nonCrossingParameters};
    }
    std::vector<TestParameters*> headers;
    if (line == data.currentCrossingList) {
        headers.push_back(&data.currentCrossingParameters);
    }
    if (const auto entry = crossingEntry(data, line)) {
        headers.push_back(&data.crossingParameters[*entry]);
    }
    return headers;
}

// The header's counts after point `removed` (0-based) left a line of `remaining` points. The
// reference point keeps naming the same point; when it was the removed one it moves to the
// point before (the last point stays the last), never below point 1.
void adjustHeader(TestParameters& header, std::size_t removed, std::size_t remaining) {
    header.pointCount = static_cast<std::int32_t>(remaining);
    header.countCopy = header.pointCount;
    const auto number = static_cast<std::int64_t>(removed) + 1;
    if (header.referencePoint >= number && header.referencePoint > 1) {
        --header.referencePoint;
    }
}

void removeCrossingLine(DocumentData& data, std::size_t entry) {
    const auto at = static_cast<std::ptrdiff_t>(entry);
    data.crossingLists.erase(data.crossingLists.begin() + at);
    data.crossingParameters.erase(data.crossingParameters.begin() + at);
    data.crossingCorrections.erase(data.crossingCorrections.begin() + at);
    TestParameters& first = data.nonCrossingParameters;
    first.lineCount = first.lineCount > 1 ? first.lineCount - 1 : 1;
    // The current crossing line must never name a freed line; as after opening a result file,
    // it is the first remaining one.
    data.currentCrossingList = data.crossingLists.front().get();
    data.currentCrossingParameters = data.crossingParameters.front();
    data.shownList = data.nonCrossingList.get();
    data.showingNonCrossing = true;
}

void finishEdit(Document& document) {
    document.SetModified(true);
    document.RepaintContentViews();
}

// Samples of `from` in a waveform of `count` samples: cut, or continued on the zero line.
std::vector<Sample> fitted(const std::vector<Sample>& from, std::size_t count) {
    std::vector<Sample> samples(count, kZeroLine);
    std::copy_n(from.begin(), std::min(count, from.size()), samples.begin());
    return samples;
}

bool writeReversal(Document& document, bool set) {
    DocumentData& data = document.data();
    const auto at = currentPosition(data.shownList);
    if (!crossingLineShown(data) || !at) {
        return false;
    }
    const TestParameters& current = data.currentCrossingParameters;
    const bool wasSet = current.reversalSet() != 0;
    if (set ? wasSet && current.reversalIndex == static_cast<std::int32_t>(*at) : !wasSet) {
        return false;
    }
    for (TestParameters* header : headersOf(data, data.shownList)) {
        header->lineFlag = set ? 1 : 0;
        if (set) {
            header->reversalIndex = static_cast<std::int32_t>(*at);
        }
    }
    finishEdit(document);
    return true;
}

bool writeManualMark(Document& document, PointStatus status) {
    DocumentData& data = document.data();
    MeasuringPoint* point = shownPoint(data);
    if (!crossingLineShown(data) || point == nullptr ||
        manualStatus(point->record.manualMark()) == status) {
        return false;
    }
    const bool keep = status == PointStatus::ManualKeep;
    point->record.setManualMark(keep ? kManualKeepMark : kManualExcludeMark);
    point->kept = keep ? 1 : 0;
    finishEdit(document);
    return true;
}

} // namespace

PointMenuEnabling pointMenuEnabling(const DocumentData& data, const PointClipboard& clipboard) {
    PointMenuEnabling menu;
    const auto at = currentPosition(data.shownList);
    if (!at) {
        return menu;
    }
    menu.copy = true;
    menu.remove = true;
    menu.paste = clipboard.hasPoint();
    if (crossingLineShown(data)) {
        const std::optional<PointStatus> manual =
            manualStatus((*data.shownList)[*at].record.manualMark());
        menu.setReversal = true;
        menu.clearReversal = data.currentCrossingParameters.reversalSet() != 0;
        menu.manualExclude = manual != PointStatus::ManualExclude;
        menu.manualKeep = manual != PointStatus::ManualKeep;
    }
    return menu;
}

bool CopyPoint(Document& document, PointClipboard& clipboard) {
    const MeasuringPoint* point = shownPoint(document.data());
    if (point == nullptr) {
        return false;
    }
    clipboard.point = *point;
    clipboard.point->distance = 0;
    clipboard.point->kept = 0;
    return true;
}

bool PastePoint(Document& document, const PointClipboard& clipboard) {
    MeasuringPoint* target = shownPoint(document.data());
    if (target == nullptr || !clipboard.point) {
        return false;
    }
    const MeasuringPoint& copy = *clipboard.point;
    // The distance is saved as the record's two positions, so they stay the target's too;
    // otherwise the pasted point would come back from the saved file at the copy's distance.
    PointRecord record = copy.record;
    record.setStartPosition(target->record.startPosition());
    record.setEndPosition(target->record.endPosition());
    record.setStoredKept(target->record.storedKept());

    target->samples = fitted(copy.samples, target->samples.size());
    target->originalSamples = fitted(copy.originalSamples, target->originalSamples.size());
    target->delay = copy.delay;
    target->timeShift = copy.timeShift;
    target->gain = copy.gain;
    target->arrivalIndex = copy.arrivalIndex;
    target->amplitudeIndex = copy.amplitudeIndex;
    target->record = record;
    finishEdit(document);
    return true;
}

bool DeletePoint(Document& document) {
    DocumentData& data = document.data();
    PointList* line = data.shownList;
    const auto at = currentPosition(line);
    if (!at) {
        return false;
    }
    const bool nonCrossing = line == data.nonCrossingList.get();
    if (nonCrossing && line->size() < 3) {
        document.prompts().message(kNonCrossingDeleteLimitMessage);
        return false;
    }
    if (!nonCrossing && crossingTabCount(data) == 1 && line->size() < 3) {
        document.prompts().message(kCrossingDeleteLimitMessage);
        return false;
    }
    line->RemoveAt(static_cast<std::int32_t>(*at));
    line->currentIndex = *at > 0 ? static_cast<std::int32_t>(*at) - 1 : 0;
    for (TestParameters* header : headersOf(data, line)) {
        adjustHeader(*header, *at, line->size());
    }
    const auto entry = crossingEntry(data, line);
    if (!line->empty() || !entry || data.crossingLists.size() < 2) {
        finishEdit(document);
        return true;
    }
    removeCrossingLine(data, *entry);
    document.SetModified(true);
    SelectTab(document, 0);
    document.notify(DocumentEvent::TabsChanged);
    return true;
}

bool SetReversalPoint(Document& document) {
    return writeReversal(document, true);
}

bool ClearReversalPoint(Document& document) {
    return writeReversal(document, false);
}

bool MarkManualExclude(Document& document) {
    return writeManualMark(document, PointStatus::ManualExclude);
}

bool MarkManualKeep(Document& document) {
    return writeManualMark(document, PointStatus::ManualKeep);
}

} // namespace crackdepth
