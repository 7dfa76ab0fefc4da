#include "core/document/commands/waveform_commands.h"

#include "core/document/model/points_edit.h"
#include "core/signal/filter.h"
#include "core/signal/filter_delay.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace crackdepth {
namespace {

constexpr Sample kFullScale = 4096;
constexpr float kShiftLimit = 200.0f; // us, either way

// The number of samples the commands work on: the shown header's count, never more than
// either waveform holds (a point pasted from a longer line must not be overrun).
std::size_t workingLength(std::int32_t declared, const MeasuringPoint& point) {
    const std::size_t n = declared > 0 ? static_cast<std::size_t>(declared) : 0;
    return std::min({n, point.samples.size(), point.originalSamples.size()});
}

Sample inverted(Sample value) {
    return value > kFullScale ? Sample{0} : static_cast<Sample>(kFullScale - value);
}

struct CurrentRef {
    LineId line;
    std::size_t index;
};

std::optional<CurrentRef> currentRef(const DocumentData& data) {
    const auto id = data.shownId();
    const PointList* line = data.shownList();
    if (!id || line == nullptr || line->empty()) {
        return std::nullopt;
    }
    const auto last = static_cast<std::int32_t>(line->size()) - 1;
    return CurrentRef{*id, static_cast<std::size_t>(std::clamp(line->currentIndex, 0, last))};
}

using PointChange = std::function<void(MeasuringPoint&, std::int32_t sampleCount)>;

// An edit of the current point made by `change`; none without a current point.
std::unique_ptr<Edit> currentPointEdit(const DocumentData& data, const char* name,
                                       std::string mergeKey, PointChange change) {
    const auto at = currentRef(data);
    if (!at) {
        return nullptr;
    }
    const std::int32_t sampleCount = data.shownParameters().sampleCount;
    return std::make_unique<PointsEdit>(
        name, DocumentChange{0, at->line, static_cast<std::int32_t>(at->index)},
        std::vector<PointRef>{{at->line, at->index}},
        [at = *at, sampleCount, change = std::move(change)](DocumentData& held) {
            change((*held.line(at.line))[at.index], sampleCount);
        },
        std::move(mergeKey));
}

// Performs an edit of the current point made by `change`.
void editCurrentPoint(Document& doc, const char* name, std::string mergeKey, PointChange change) {
    if (auto edit = currentPointEdit(doc.data(), name, std::move(mergeKey), std::move(change))) {
        doc.perform(std::move(edit));
    }
}

std::string pointKey(const char* name, const DocumentData& data) {
    const auto at = currentRef(data);
    if (!at) {
        return {};
    }
    return std::string(name) + ":" + std::to_string(static_cast<int>(at->line.kind)) + ":" +
           std::to_string(at->line.entry) + ":" + std::to_string(at->index);
}

} // namespace

const MeasuringPoint* currentPoint(const DocumentData& data) {
    const auto at = currentRef(data);
    return at ? &(*data.line(at->line))[at->index] : nullptr;
}

std::optional<float> pointFilterDelayUs(const MeasuringPoint& point, std::int32_t sampleCount) {
    const float highFlag = point.record.highPassOn();
    const float lowFlag = point.record.lowPassOn();
    const bool highOn = highFlag != 0;
    const bool lowOn = lowFlag != 0;
    if (!highOn && !lowOn) {
        return std::nullopt;
    }
    if ((!highOn || highFlag == kZeroPhaseFilterFlag) &&
        (!lowOn || lowFlag == kZeroPhaseFilterFlag)) {
        return 0.0f;
    }
    const float dt = point.record.samplingInterval();
    const auto frequency = mainFrequencyHz(point.originalSamples, sampleCount, dt);
    if (!frequency) {
        return std::nullopt;
    }
    return filterPhaseDelayUs(dt, highOn, point.record.highPassCut() * 1000.0f, lowOn,
                              point.record.lowPassCut() * 1000.0f, *frequency);
}

std::unique_ptr<Edit> makeRefilterEdit(const Document& doc, const FilterSettings& settings) {
    return currentPointEdit(
        doc.data(), kFilterName, {}, [settings](MeasuringPoint& point, std::int32_t sampleCount) {
            const auto& [highCut, lowCut, highOn, lowOn, zeroPhase] = settings;
            if (point.samples.empty()) {
                return;
            }
            const std::size_t n = workingLength(sampleCount, point);
            const auto working = std::span<Sample>(point.samples).first(n);
            std::copy_n(point.originalSamples.begin(), n, working.begin());
            std::vector<Sample> filtered(n);
            const bool twoWay = zeroPhase && settings.anyOn();
            FilterWaveform(working, filtered, point.record.samplingInterval(), highOn,
                           highCut * 1000.0f, lowOn, lowCut * 1000.0f, twoWay);
            std::copy(filtered.begin(), filtered.end(), working.begin());
            const float applied = twoWay ? kZeroPhaseFilterFlag : 1.0f;
            point.record.setHighPassOn(highOn ? applied : 0.0f);
            point.record.setLowPassOn(lowOn ? applied : 0.0f);
            point.record.setHighPassCut(highCut);
            point.record.setLowPassCut(lowCut);
        });
}

void RefilterCurrentPoint(Document& doc, const FilterSettings& settings) {
    if (auto edit = makeRefilterEdit(doc, settings)) {
        doc.perform(std::move(edit));
    }
}

void InvertCurrentPoint(Document& doc) {
    editCurrentPoint(doc, kInvertName, {}, [](MeasuringPoint& point, std::int32_t sampleCount) {
        const std::size_t n = workingLength(sampleCount, point);
        for (std::size_t i = 0; i < n; ++i) {
            // A working sample above full scale clears both waveforms; a backup sample above
            // it (left by filtering) is cleared the same way rather than wrapping round 16 bits.
            if (point.samples[i] > kFullScale) {
                point.samples[i] = 0;
                point.originalSamples[i] = 0;
            } else {
                point.samples[i] = inverted(point.samples[i]);
                point.originalSamples[i] = inverted(point.originalSamples[i]);
            }
        }
    });
}

void PreviousPoint(Document& doc) {
    const auto id = doc.data().shownId();
    const PointList* line = doc.data().shownList();
    if (!id || line == nullptr) {
        return;
    }
    const std::int32_t index = line->currentIndex;
    if (index == 0) {
        doc.prompts().message(kFirstPointMessage);
    } else if (index > 0 && index < line->pointCount()) {
        doc.SelectPoint(*id, index - 1);
    } else {
        doc.SelectPoint(*id, 0);
    }
}

void NextPoint(Document& doc) {
    const auto id = doc.data().shownId();
    const PointList* line = doc.data().shownList();
    if (!id || line == nullptr) {
        return;
    }
    const std::int32_t index = line->currentIndex;
    const std::int32_t last = line->pointCount() - 1;
    if (index == last) {
        doc.prompts().message(kLastPointMessage);
    } else if (index < 0 || index >= last) {
        doc.SelectPoint(*id, 0);
    } else {
        doc.SelectPoint(*id, index + 1);
    }
}

HotKeyOutcome ApplyArrowHotKey(Document& doc, ArrowHotKey key, bool contentViewActive,
                               const ViewState& view) {
    HotKeyOutcome outcome;
    const auto at = contentViewActive ? currentRef(doc.data()) : std::nullopt;
    if (!at) {
        return outcome;
    }
    const PointList& line = *doc.data().line(at->line);
    switch (key) {
    case ArrowHotKey::Up:
    case ArrowHotKey::Down: {
        // Down moves on through the table; a wave train is drawn bottom up, so there the
        // keys swap.
        const bool forward = (key == ArrowHotKey::Down) == (view.waveTrainMode == 0);
        const std::int64_t moved = std::int64_t{line.currentIndex} + (forward ? 1 : -1);
        const std::int64_t last = std::int64_t{line.pointCount()} - 1;
        doc.SelectPoint(at->line,
                        static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, 0, last)));
        outcome.tableRow = doc.data().line(at->line)->currentIndex + 1;
        break;
    }
    case ArrowHotKey::Left:
    case ArrowHotKey::Right: {
        const std::int64_t step = key == ArrowHotKey::Right ? 1 : -1;
        editCurrentPoint(doc, kMoveArrivalName, pointKey(kMoveArrivalName, doc.data()),
                         [step](MeasuringPoint& point, std::int32_t sampleCount) {
                             // The count itself is allowed: the cursor may sit just past the
                             // last sample.
                             const std::int64_t limit = std::max(0, sampleCount);
                             point.arrivalIndex = static_cast<std::int32_t>(
                                 std::clamp<std::int64_t>(point.arrivalIndex + step, 0, limit));
                             // The amplitude is read at the arrival, as after a click.
                             point.amplitudeIndex = point.arrivalIndex;
                         });
        break;
    }
    case ArrowHotKey::CtrlLeft:
    case ArrowHotKey::CtrlRight: {
        const bool later = key == ArrowHotKey::CtrlRight;
        editCurrentPoint(doc, kShiftTimeName, pointKey(kShiftTimeName, doc.data()),
                         [later](MeasuringPoint& point, std::int32_t) {
                             const float dt = point.record.samplingInterval();
                             const float moved =
                                 later ? point.timeShift + dt : point.timeShift - dt;
                             if (!std::isnan(moved)) {
                                 point.timeShift = std::clamp(moved, -kShiftLimit, kShiftLimit);
                             }
                         });
        break;
    }
    }
    outcome.acted = true;
    return outcome;
}

} // namespace crackdepth
