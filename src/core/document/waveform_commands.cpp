#include "core/document/waveform_commands.h"

#include "core/signal/filter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace crackdepth {
namespace {

constexpr Sample kFullScale = 4096;
constexpr float kShiftLimit = 200.0f; // us, either way

// The number of samples the commands work on: the shown header's count, never more than
// either waveform holds (a point pasted from a longer line must not be overrun).
std::size_t workingLength(const Document& doc, const MeasuringPoint& point) {
    const std::int32_t declared = doc.data().shownParameters().sampleCount;
    const std::size_t n = declared > 0 ? static_cast<std::size_t>(declared) : 0;
    return std::min({n, point.samples.size(), point.originalSamples.size()});
}

Sample inverted(Sample value) {
    return value > kFullScale ? Sample{0} : static_cast<Sample>(kFullScale - value);
}

} // namespace

MeasuringPoint* currentPoint(Document& doc) {
    PointList* line = doc.data().shownList;
    return line != nullptr ? line->PointAt(line->currentIndex) : nullptr;
}

void RefilterCurrentPoint(Document& doc) {
    MeasuringPoint* point = currentPoint(doc);
    if (point != nullptr && !point->samples.empty()) {
        const std::size_t n = workingLength(doc, *point);
        const auto working = std::span<Sample>(point->samples).first(n);
        std::copy_n(point->originalSamples.begin(), n, working.begin());
        std::vector<Sample> filtered(n);
        const float highPassHz = doc.filterHighCut * 1000.0f;
        const float lowPassHz = doc.filterLowCut * 1000.0f;
        FilterWaveform(working, filtered, point->record.samplingInterval(), doc.filterHighOn,
                       highPassHz, doc.filterLowOn, lowPassHz);
        std::copy(filtered.begin(), filtered.end(), working.begin());
        point->record.setHighPassOn(doc.filterHighOn ? 1.0f : 0.0f);
        point->record.setLowPassOn(doc.filterLowOn ? 1.0f : 0.0f);
        point->record.setHighPassCut(doc.filterHighCut);
        point->record.setLowPassCut(doc.filterLowCut);
    }
    doc.SetModified(true);
}

void InvertCurrentPoint(Document& doc, bool contentViewActive) {
    MeasuringPoint* point = currentPoint(doc);
    if (point == nullptr) {
        return;
    }
    const std::size_t n = workingLength(doc, *point);
    for (std::size_t i = 0; i < n; ++i) {
        // A working sample above full scale clears both waveforms; a backup sample above it
        // (left by filtering) is cleared the same way rather than wrapping round 16 bits.
        if (point->samples[i] > kFullScale) {
            point->samples[i] = 0;
            point->originalSamples[i] = 0;
        } else {
            point->samples[i] = inverted(point->samples[i]);
            point->originalSamples[i] = inverted(point->originalSamples[i]);
        }
    }
    if (contentViewActive) {
        doc.RepaintContentViews();
    }
}

void PreviousPoint(Document& doc) {
    PointList* line = doc.data().shownList;
    if (line == nullptr) {
        return;
    }
    std::int32_t& index = line->currentIndex;
    if (index == 0) {
        doc.prompts().message(kFirstPointMessage);
    } else if (index > 0 && index < line->pointCount()) {
        --index;
    } else {
        index = 0;
    }
    doc.RefreshAllViews();
}

void NextPoint(Document& doc) {
    PointList* line = doc.data().shownList;
    if (line == nullptr) {
        return;
    }
    std::int32_t& index = line->currentIndex;
    const std::int32_t last = line->pointCount() - 1;
    if (index == last) {
        doc.prompts().message(kLastPointMessage);
    } else if (index < 0 || index >= last) {
        index = 0;
    } else {
        ++index;
    }
    doc.RefreshAllViews();
}

void ToggleWaveTrain(Document& doc) {
    const std::int32_t onMode = doc.data().currentTab != 0 ? 1 : 2;
    doc.waveTrainMode = doc.waveTrainMode == 0 ? onMode : 0;
    doc.RefreshAllViews();
}

void ToggleTimeDomain(Document& doc) {
    if (doc.data().shownList == nullptr) {
        return;
    }
    doc.timeDomain = !doc.timeDomain;
    doc.RepaintContentViews();
}

HotKeyOutcome ApplyArrowHotKey(Document& doc, ArrowHotKey key, bool contentViewActive) {
    HotKeyOutcome outcome;
    MeasuringPoint* point = contentViewActive ? currentPoint(doc) : nullptr;
    if (point == nullptr) {
        return outcome;
    }
    PointList& line = *doc.data().shownList;
    switch (key) {
    case ArrowHotKey::Up:
    case ArrowHotKey::Down: {
        // Down moves on through the table; a wave train is drawn bottom up, so there the
        // keys swap.
        const bool forward = (key == ArrowHotKey::Down) == (doc.waveTrainMode == 0);
        const std::int64_t moved = std::int64_t{line.currentIndex} + (forward ? 1 : -1);
        const std::int64_t last = std::int64_t{line.pointCount()} - 1;
        line.currentIndex = static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, 0, last));
        outcome.tableRow = line.currentIndex + 1;
        break;
    }
    case ArrowHotKey::Left:
    case ArrowHotKey::Right: {
        const std::int64_t step = key == ArrowHotKey::Right ? 1 : -1;
        // The count itself is allowed: the cursor may sit just past the last sample.
        const std::int64_t limit = std::max(0, doc.data().shownParameters().sampleCount);
        point->arrivalIndex = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{point->arrivalIndex} + step, 0, limit));
        break;
    }
    case ArrowHotKey::CtrlLeft:
    case ArrowHotKey::CtrlRight: {
        const float dt = point->record.samplingInterval();
        const float moved =
            key == ArrowHotKey::CtrlRight ? point->timeShift + dt : point->timeShift - dt;
        if (!std::isnan(moved)) {
            point->timeShift = std::clamp(moved, -kShiftLimit, kShiftLimit);
        }
        break;
    }
    }
    outcome.acted = true;
    doc.RepaintContentViews();
    return outcome;
}

} // namespace crackdepth
