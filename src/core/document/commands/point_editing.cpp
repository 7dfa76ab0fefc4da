#include "core/document/commands/point_editing.h"

#include "core/analysis/crack_evaluation.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/points_edit.h"

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

const MeasuringPoint* shownPoint(const DocumentData& data) {
    const auto at = currentPosition(data.shownList());
    return at ? &(*data.shownList())[*at] : nullptr;
}

// Statuses and reversal points belong to the selected crossing line, never to the non-crossing
// line (whose header slot 12 is the analysis method).
bool crossingLineShown(const DocumentData& data) {
    return data.currentTab > 0 && data.shown == ShownLine::Crossing && data.shownList() != nullptr;
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

// Samples of `from` in a waveform of `count` samples: cut, or continued on the zero line.
std::vector<Sample> fitted(const std::vector<Sample>& from, std::size_t count) {
    std::vector<Sample> samples(count, kZeroLine);
    std::copy_n(from.begin(), std::min(count, from.size()), samples.begin());
    return samples;
}

// An edit of the current point of the shown line.
void editShownPoint(Document& document, const char* name,
                    std::function<void(MeasuringPoint&)> change) {
    const DocumentData& data = document.data();
    const auto id = data.shownId();
    const auto at = currentPosition(data.shownList());
    document.perform(
        std::make_unique<PointsEdit>(name, DocumentChange{0, *id, static_cast<std::int32_t>(*at)},
                                     std::vector<PointRef>{{*id, *at}},
                                     [id = *id, at = *at, change = std::move(change)](
                                         DocumentData& held) { change((*held.line(id))[at]); }));
}

// The reversal fields of a crossing header: the flag (slot 12) and the point.
struct ReversalFields {
    std::int32_t flag = 0;
    std::int32_t index = 0;

    bool operator==(const ReversalFields&) const = default;
};

bool writeReversal(Document& document, bool set) {
    const DocumentData& data = document.data();
    const auto at = currentPosition(data.shownList());
    const auto id = data.shownId();
    if (!crossingLineShown(data) || !at || !id) {
        return false;
    }
    const TestParameters& current = *data.header(*id);
    const bool wasSet = current.reversalSet() != 0;
    if (set ? wasSet && current.reversalIndex == static_cast<std::int32_t>(*at) : !wasSet) {
        return false;
    }
    // Clearing leaves the index as it was.
    const ReversalFields after{set ? 1 : 0,
                               set ? static_cast<std::int32_t>(*at) : current.reversalIndex};
    document.perform(std::make_unique<ValueEdit<ReversalFields>>(
        set ? kSetReversalText : kClearReversalText, DocumentChange{0, *id, std::nullopt},
        [id = *id](const DocumentData& held) {
            const TestParameters& header = *held.header(id);
            return ReversalFields{header.lineFlag, header.reversalIndex};
        },
        [id = *id](DocumentData& held, const ReversalFields& value) {
            TestParameters& header = *held.header(id);
            header.lineFlag = value.flag;
            header.reversalIndex = value.index;
        },
        after));
    return true;
}

bool writeManualMark(Document& document, PointStatus status) {
    const DocumentData& data = document.data();
    const MeasuringPoint* point = shownPoint(data);
    if (!crossingLineShown(data) || point == nullptr ||
        manualStatus(point->record.manualMark()) == status) {
        return false;
    }
    const bool keep = status == PointStatus::ManualKeep;
    editShownPoint(document, keep ? kManualKeepText : kManualExcludeText,
                   [keep](MeasuringPoint& target) {
                       target.record.setManualMark(keep ? kManualKeepMark : kManualExcludeMark);
                       target.kept = keep ? 1 : 0;
                   });
    return true;
}

// "删除测点": the point (kept whole for undo), the header counts, and a crossing line that the
// deletion empties, removed with its header and correction.
class DeletePointEdit final : public Edit {
public:
    DeletePointEdit(LineId line, std::size_t index)
        : Edit(kDeletePointText, DocumentChange{DocumentChange::Selection | DocumentChange::Tabs,
                                                line, std::nullopt}),
          line_(line), index_(index) {}

    void apply(DocumentData& data) override {
        before_ = {data.currentTab, data.currentCrossingEntry, data.shown};
        PointList& line = *data.line(line_);
        TestParameters& header = *data.header(line_);
        headerBefore_ = header;
        currentIndexBefore_ = line.currentIndex;
        point_ = line.TakeAt(index_);
        line.currentIndex = index_ > 0 ? static_cast<std::int32_t>(index_) - 1 : 0;
        adjustHeader(header, index_, line.size());
        if (!line.empty() || line_.kind != LineKind::Crossing || data.crossingLists.size() < 2) {
            return;
        }
        // An emptied crossing line goes with its header and correction; as after opening a
        // result file, the first remaining line is current and the non-crossing tab selected.
        const auto at = static_cast<std::ptrdiff_t>(line_.entry);
        removedLine_ = std::move(data.crossingLists[line_.entry]);
        removedHeader_ = data.crossingParameters[line_.entry];
        removedCorrection_ = data.crossingCorrections[line_.entry];
        data.crossingLists.erase(data.crossingLists.begin() + at);
        data.crossingParameters.erase(data.crossingParameters.begin() + at);
        data.crossingCorrections.erase(data.crossingCorrections.begin() + at);
        lineCountBefore_ = data.nonCrossingParameters.lineCount;
        TestParameters& first = data.nonCrossingParameters;
        first.lineCount = first.lineCount > 1 ? first.lineCount - 1 : 1;
        data.currentCrossingEntry = 0;
        data.currentTab = 0;
        data.shown = ShownLine::NonCrossing;
    }

    void revert(DocumentData& data) override {
        if (removedLine_) {
            const auto at = static_cast<std::ptrdiff_t>(line_.entry);
            data.crossingLists.insert(data.crossingLists.begin() + at, std::move(removedLine_));
            data.crossingParameters.insert(data.crossingParameters.begin() + at, removedHeader_);
            data.crossingCorrections.insert(data.crossingCorrections.begin() + at,
                                            removedCorrection_);
            data.nonCrossingParameters.lineCount = lineCountBefore_;
        }
        PointList& line = *data.line(line_);
        line.InsertAt(index_, std::move(point_));
        line.currentIndex = currentIndexBefore_;
        *data.header(line_) = headerBefore_;
        data.currentTab = before_.currentTab;
        data.currentCrossingEntry = before_.currentCrossingEntry;
        data.shown = before_.shown;
    }

private:
    // The selection the deletion may change.
    struct Selection {
        std::int32_t currentTab = 0;
        std::size_t currentCrossingEntry = 0;
        ShownLine shown = ShownLine::None;
    };

    LineId line_;
    std::size_t index_;
    Selection before_;
    std::int32_t currentIndexBefore_ = 0;
    TestParameters headerBefore_;
    std::unique_ptr<MeasuringPoint> point_;
    std::unique_ptr<PointList> removedLine_;
    TestParameters removedHeader_;
    float removedCorrection_ = 0;
    std::int32_t lineCountBefore_ = 1;
};

} // namespace

PointMenuEnabling pointMenuEnabling(const DocumentData& data, const PointClipboard& clipboard) {
    PointMenuEnabling menu;
    const auto at = currentPosition(data.shownList());
    if (!at) {
        return menu;
    }
    menu.copy = true;
    menu.remove = true;
    menu.paste = clipboard.hasPoint();
    if (crossingLineShown(data)) {
        const std::optional<PointStatus> manual =
            manualStatus((*data.shownList())[*at].record.manualMark());
        menu.setReversal = true;
        menu.clearReversal = data.currentCrossingParameters().reversalSet() != 0;
        menu.manualExclude = manual != PointStatus::ManualExclude;
        menu.manualKeep = manual != PointStatus::ManualKeep;
    }
    return menu;
}

bool CopyPoint(const Document& document, PointClipboard& clipboard) {
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
    if (shownPoint(document.data()) == nullptr || !clipboard.point) {
        return false;
    }
    const MeasuringPoint copy = *clipboard.point;
    editShownPoint(document, kPastePointText, [copy](MeasuringPoint& target) {
        // The distance is saved as the record's two positions, so they stay the target's too;
        // otherwise the pasted point would come back from the saved file at the copy's
        // distance.
        PointRecord record = copy.record;
        record.setStartPosition(target.record.startPosition());
        record.setEndPosition(target.record.endPosition());
        record.setStoredKept(target.record.storedKept());
        target.samples = fitted(copy.samples, target.samples.size());
        target.originalSamples = fitted(copy.originalSamples, target.originalSamples.size());
        target.delay = copy.delay;
        target.timeShift = copy.timeShift;
        target.gain = copy.gain;
        target.arrivalIndex = copy.arrivalIndex;
        target.amplitudeIndex = copy.amplitudeIndex;
        target.record = record;
    });
    return true;
}

bool DeletePoint(Document& document) {
    const DocumentData& data = document.data();
    const PointList* line = data.shownList();
    const auto id = data.shownId();
    const auto at = currentPosition(line);
    if (!at || !id) {
        return false;
    }
    const bool nonCrossing = id->kind == LineKind::NonCrossing;
    if (nonCrossing && line->size() < 3) {
        document.prompts().message(kNonCrossingDeleteLimitMessage);
        return false;
    }
    if (!nonCrossing && crossingTabCount(data) == 1 && line->size() < 3) {
        document.prompts().message(kCrossingDeleteLimitMessage);
        return false;
    }
    document.perform(std::make_unique<DeletePointEdit>(*id, *at));
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
